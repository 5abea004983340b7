// A control's caption as a screen reader says it: the label "グループ(&G):"
// names its list "グループ". Platform-free; the texts are Shift-JIS, whose
// trailing bytes are never '(', '&' or ':', so the marks are found bytewise.
#pragma once

#include <cstddef>

// Writes caption without its accelerator: a "(&X)" group goes whole, another
// '&' marks the letter after it and goes ("&&" leaves one '&'); then the
// colon and blanks at the end go. The text is always terminated in buffer
// (size bytes, cut when it does not fit); size 0 writes nothing.
void SpokenCaption(const char* caption, char* buffer, size_t size);
