// The names of the file's languages (PageState::languages), made the first
// time one is shown or asked for. The platform is asked once per language,
// which on a file of dozens of languages is a good part of the page's
// opening, while most openings never show a name but the selected entry's.
#pragma once

#include <cstdint>

#include "page/state/PageState.h"

// Names every language the page holds, where that has not been done since
// they were read; false when there was no room for the names.
bool NameLanguages(PageState* page);

// The name of language (as a path takes it, 0x10000 | number) among the
// page's languages, named first where needed; null where it is none of
// them or cannot be named.
const char* NamedLanguage(PageState* page, uint32_t language);
