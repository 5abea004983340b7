#include "page/state/LanguageNaming.h"

#include <windows.h>

#include "common/TargetPath.h"
#include "formats/texts/LanguageNames.h"

namespace {

void NameLanguage(uint16_t language, char* out, size_t capacity) {
    if (FixedLanguageName(language, out, capacity))
        return;
    if (GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT), LOCALE_SLANGUAGE, out,
                       static_cast<int>(capacity)) <= 0)
        UnnamedLanguage(language, out, capacity);
}

}  // namespace

bool NameLanguages(PageState* page) {
    if (page->languageNames != nullptr || page->languageCount <= 0)
        return page->languageNames != nullptr;
    const uint32_t count = static_cast<uint32_t>(page->languageCount);
    LanguageName* names =
        static_cast<LanguageName*>(GlobalAlloc(GMEM_FIXED, count * sizeof(LanguageName)));
    if (names == nullptr)
        return false;
    const uint16_t* languages = reinterpret_cast<const uint16_t*>(page->languages);
    for (uint32_t i = 0; i < count; ++i) {
        names[i].language = languages[i];
        NameLanguage(languages[i], names[i].name, sizeof(names[i].name));
    }
    DistinguishLanguageNames(names, count);
    page->languageNames = reinterpret_cast<uint8_t*>(names);
    return true;
}

const char* NamedLanguage(PageState* page, uint32_t language) {
    if (language == 0 || !NameLanguages(page))
        return nullptr;
    const LanguageName* names = reinterpret_cast<const LanguageName*>(page->languageNames);
    for (int32_t i = 0; i < page->languageCount; ++i) {
        if (TargetLanguage(names[i].language) == language)
            return names[i].name;
    }
    return nullptr;
}
