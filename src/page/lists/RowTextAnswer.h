// What the string list and the message list share for a row's text: drawing
// it in its own letters with control characters as C escapes, widening the
// text column for it, and answering an asker's buffer with it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>

// Draws units of text from (x, y) with control characters as C escapes, at
// most room units of the escaped text; a row drawn wider than the list's
// text column widens it once the paint is over (wanted keeps the widest
// asked for, so that it is asked once).
void DrawEscapedRowText(HWND list, HDC dc, int x, int y, const wchar_t* text, int32_t units,
                        size_t room, int32_t* wanted);

// A row's text (units, no terminator) into the asker's buffer of an
// LVN_GETDISPINFO answer: wide, never half a surrogate pair; narrow, whole
// characters of the system's code page. Cut to the buffer, always ended.
void AnswerRowText(LVITEMA* item, bool wide, const wchar_t* text, int32_t units);
