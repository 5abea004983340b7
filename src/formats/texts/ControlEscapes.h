// A row's text as a list draws it: control characters written as C escapes,
// so that a line break or a tab inside a string shows as "\n" or "\t" rather
// than as a box. Copies and saves keep the real characters; only drawing
// uses this. Works on UTF-16 units; platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes text (length units) into out (capacity units, the terminator
// included) with CR, LF and TAB as \r, \n and \t and every other control
// character (U+0000-U+001F, U+007F-U+009F) as \x and two upper-case hex
// digits. A backslash stays as it is: paths in strings draw as before. What
// does not fit is cut off before the first escape or surrogate pair that
// would be split. Always terminated (capacity 0 writes nothing); returns the
// units written without the terminator.
size_t EscapeControls(const uint16_t* text, size_t length, uint16_t* out, size_t capacity);

// How many units EscapeControls writes for the whole of text, terminator
// excluded: the room a caller needs.
size_t EscapedLength(const uint16_t* text, size_t length);
