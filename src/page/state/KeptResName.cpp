#include "page/state/KeptResName.h"

#include <cstring>

bool KeepResName(ResName name, KeptResName* kept) {
    *kept = KeptResName{};
    if (IsIntResName(name)) {
        kept->id = ResNameId(name);
        return true;
    }
    const size_t bytes = static_cast<size_t>(lstrlenA(name)) + 1;
    kept->text = static_cast<char*>(GlobalAlloc(GMEM_FIXED, bytes));
    if (kept->text == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    memcpy(kept->text, name, bytes);
    return true;
}

ResName KeptResNameOf(const KeptResName& kept) {
    return kept.text != nullptr ? kept.text : MakeIntResName(kept.id);
}

void FreeKeptResName(KeptResName* kept) {
    if (kept->text != nullptr)
        GlobalFree(kept->text);
    *kept = KeptResName{};
}
