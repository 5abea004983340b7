#include "module/SelectedPath.h"

#include "common/ModuleState.h"

namespace {

// Longest name the wide file functions accept; a longer count from the shell is
// not a name any open could reach.
constexpr UINT kLongestWideName = 32767;

void* HeapBlock(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void FreeBlock(void* block) {
    if (block != nullptr)
        HeapFree(GetProcessHeap(), 0, block);
}

bool ReadNarrowName(HDROP drop, void** block, TargetPath* path) {
    UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    char* name = static_cast<char*>(HeapBlock(size_t{length} + 1));
    if (name == nullptr)
        return false;
    DragQueryFileA(drop, 0, name, length + 1);
    name[length] = '\0';
    *block = name;
    path->narrow = name;
    path->wide = nullptr;
    return true;
}

bool SameWideText(const wchar_t* a, const wchar_t* b) {
    while (*a != L'\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The ANSI spelling of wide, in a new block, when there is one that names the
// same file: 1 when *narrow is set, 0 when there is none, -1 when memory ran
// out. Characters outside the code page come back as the default character or
// as a look-alike (best fit); either way the name no longer converts back to
// itself, and only a name that does is exact.
int ExactNarrowName(const wchar_t* wide, char** narrow) {
    *narrow = nullptr;
    int narrowSize = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (narrowSize <= 0)
        return 0;
    char* spelled = static_cast<char*>(HeapBlock(static_cast<size_t>(narrowSize)));
    if (spelled == nullptr)
        return -1;
    int backSize = 0;
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, spelled, narrowSize, nullptr, nullptr) ==
        narrowSize)
        backSize = MultiByteToWideChar(CP_ACP, 0, spelled, -1, nullptr, 0);
    wchar_t* back = nullptr;
    if (backSize > 0) {
        back = static_cast<wchar_t*>(HeapBlock(sizeof(wchar_t) * static_cast<size_t>(backSize)));
        if (back == nullptr) {
            FreeBlock(spelled);
            return -1;
        }
    }
    bool exact = back != nullptr &&
                 MultiByteToWideChar(CP_ACP, 0, spelled, -1, back, backSize) == backSize &&
                 SameWideText(back, wide);
    FreeBlock(back);
    if (!exact) {
        FreeBlock(spelled);
        return 0;
    }
    *narrow = spelled;
    return 1;
}

}  // namespace

bool ReadSelectedPath(HDROP drop, void** block, TargetPath* path) {
    *block = nullptr;
    *path = TargetPath{nullptr, nullptr};
    // Without the wide functions the shell hands over only names the code page
    // can spell, and the narrow query gives them as they are.
    if (theModule.dragQueryFileW == nullptr)
        return ReadNarrowName(drop, block, path);
    UINT length = theModule.dragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0 || length > kLongestWideName)
        return ReadNarrowName(drop, block, path);
    wchar_t* wide = static_cast<wchar_t*>(HeapBlock(sizeof(wchar_t) * (size_t{length} + 1)));
    if (wide == nullptr)
        return false;
    theModule.dragQueryFileW(drop, 0, wide, length + 1);
    wide[length] = L'\0';

    char* narrow = nullptr;
    int spelled = ExactNarrowName(wide, &narrow);
    if (spelled != 0) {
        FreeBlock(wide);
        *block = narrow;
        path->narrow = narrow;
        return spelled > 0;
    }
    *block = wide;
    path->wide = wide;
    return true;
}
