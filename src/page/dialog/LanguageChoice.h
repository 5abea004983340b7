// The language drop-down 1016: its first item "既定" lets the platform pick
// each resource's language, the others list every language the file's
// resources come in, each with how many entries of the shown kind it holds
// (counted when it opens) and with 0x10000 | the language's number as its
// item data.
// A chosen language stays the language of every list until the sheet closes
// or the file no longer holds it.
#pragma once

#include <windows.h>

#include "formats/bytes/ResName.h"
#include "page/state/PageState.h"

// Reads the file's languages again into the drop-down, keeping the chosen one
// or going back to "既定" where the file no longer holds it (before the lists
// are filled). Shows the drop-down and its label only for more than one
// language.
void RefreshLanguages(HWND dialog, PageState* page);

// WM_COMMAND from 1016: its count made when it opens, a choice refilling the
// lists in the chosen language.
void OnLanguageCommand(HWND dialog, PageState* page, int code);

// After the ID display 1002 shows an entry of kind: while the drop-down is
// shown, the display draws the entry's language after its name.
void ShowEntryLanguage(HWND dialog, PageState* page, int kind, ResName name);

void FreeLanguages(PageState* page);

// The drop-down's hook: the items beyond "既定" are made when something first
// needs them; otherwise as the page's other spoken controls.
LRESULT CALLBACK LanguageDropDownHook(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
