// What a screen reader is told about the entries of the picture lists and
// the member list, and about the play button: the texts the page draws, as
// narrow strings of the ANSI code page.
#pragma once

#include <windows.h>

#include <cstddef>

#include "page/state/PageState.h"

// The name of item index of list (1004, 1005, 1006, 1008 or 1010): a picture
// entry's name or number as drawn, without the quotes of a text name; a
// member's size and depth, the texts its row is told apart by. False when the
// index names no entry of the page. An empty text name keeps its quotes.
bool EntryName(HWND list, PageState* page, int index, char* buffer, size_t size);

// What is drawn below or beside the entry's name: a bitmap's size and depth,
// a clip's frame size and length, a cursor member's hot spot after the
// column's caption. Empty where nothing more is drawn (groups, icon members);
// false when the index names no entry.
bool EntryDescription(HWND list, PageState* page, int index, char* buffer, size_t size);

// The play button's name: what pressing it does now.
const char* PlayButtonName(const PageState* page);

// A control's own name: for a list its caption as spoken, "アイコン一覧" for
// the icon list, "文字列一覧" for the string list, whichever kind is shown
// (the caption above the lists names the shown one only), the member
// caption's text for the member list; the language drop-down's label as
// spoken; the ID display's text with the entry's language as it draws it.
// False for another control.
bool ControlName(HWND control, PageState* page, char* buffer, size_t size);

// What doing an entry's default action does: for a clip "再生", or "停止"
// while that clip plays; null for the entries of other lists.
const char* EntryDefaultAction(HWND list, const PageState* page, int index);
