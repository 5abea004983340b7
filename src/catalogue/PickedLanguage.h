// Which language the platform's own lookup picked for a resource: it says
// which resource it found, never in which language.
#pragma once

#include <windows.h>

#include <cstdint>

// The language of found among name's languages of type in module; false when
// none of them is found.
bool PickedLanguage(HMODULE module, LPCSTR type, LPCSTR name, HRSRC found, uint16_t* language);
