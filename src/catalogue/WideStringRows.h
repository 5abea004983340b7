// A 32-bit file's string as it stores it, in UTF-16: the row text of the
// string list where the system takes texts in their own letters.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/RecordStore.h"
#include "catalogue/ResourceSource.h"

// The text of string id up to its first NUL unit, from the block the platform
// picks (as LoadStringA finds it), in text's buffer with its units; null for a
// 16-bit file, a string the file does not have, or when memory ran out.
const wchar_t* ReadWideStringRowText(const ResourceSource& source, uint16_t id,
                                     const TextBuffer& text, int32_t* units);
