// The order of two names by the platform's string comparison, which not every
// system takes with every flag. The flags are tried in turn, and the bytes'
// order decides when all of them are refused, so that a list is sorted
// whatever the system answers.
#pragma once

#include <cstddef>
#include <cstdint>

// The platform's answer as CompareStringA gives it: 1, 2 or 3 for less than,
// equal to or greater than, and 0 when it refuses the call.
typedef int (*TextComparer)(uint32_t flags, const char* first, int firstLength, const char* second,
                            int secondLength);

// -1, 0 or 1: the first answer compare gives for flagsToTry in turn, or the
// order of the texts' bytes (unsigned, a prefix first) when every flag is
// refused. A refusal is never taken for "equal". Lengths beyond what an int
// holds are handed over cut at INT_MAX.
int OrderTexts(const char* first, uint32_t firstLength, const char* second, uint32_t secondLength,
               const uint32_t* flagsToTry, size_t flagCount, TextComparer compare);
