// The languages a 32-bit or 64-bit target's resources come in, from one walk
// of its resource directory in a read-only view of the file, and how many
// entries each holds of one kind.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/TargetPath.h"

// The distinct languages of the resources of every kind, ascending, as many as
// fit. -1 when the file cannot be viewed or holds no PE resource directory (a
// 16-bit file); else 0, with *count set.
int FindTargetLanguages(const TargetPath& path, uint16_t* languages, uint32_t capacity,
                        uint32_t* count);

// For each of languages, the entries of kind it holds: groups, bitmaps or
// clips one each, a string block its non-empty strings, a message table its
// messages. counts has count places. False when the file cannot be viewed.
bool CountKindEntries(const TargetPath& path, int kind, const uint16_t* languages, uint32_t count,
                      uint32_t* counts);
