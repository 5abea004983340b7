#include "catalogue/PickedLanguage.h"

namespace {

struct Pick {
    HRSRC found;
    uint16_t language;
    bool matched;
};

BOOL CALLBACK MatchLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language,
                            LONG_PTR user) {
    Pick* pick = reinterpret_cast<Pick*>(user);
    if (FindResourceExA(module, type, name, language) != pick->found)
        return TRUE;
    pick->language = language;
    pick->matched = true;
    return FALSE;
}

}  // namespace

bool PickedLanguage(HMODULE module, LPCSTR type, LPCSTR name, HRSRC found, uint16_t* language) {
    Pick pick = {found, 0, false};
    if (found != nullptr)
        EnumResourceLanguagesA(module, type, name, MatchLanguage,
                               reinterpret_cast<LONG_PTR>(&pick));
    if (pick.matched)
        *language = pick.language;
    return pick.matched;
}
