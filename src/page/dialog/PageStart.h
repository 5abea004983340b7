// The page's start (WM_INITDIALOG) and end (WM_DESTROY).
#pragma once

#include <windows.h>

#include "catalogue/ResourceSource.h"
#include "page/state/PageState.h"

// lParam is the sheet's copy of the page description.
void StartPage(HWND dialog, LPARAM description);

void EndPage(HWND dialog);

// Destroys the pictures of the four picture lists (the stores stay).
void DiscardPictureLists(HWND dialog, PageState* page);

// Reads the dialog font's tmHeight and the density it was scaled for into the
// module's values.
void ReadTextHeight(HWND dialog);

// Fills those of the four picture lists whose KindBit is in kinds from an open
// source into the page's stores, selecting each list's last selection again;
// FillResourceLists's result.
int FillPictureLists(HWND dialog, PageState* page, const ResourceSource& source, int32_t kinds);

// Fills the lists of kinds (KindBit each) from an open source and adds them
// to the page's filled kinds; 0, or -1 when memory ran out (reported).
int FillKinds(HWND dialog, PageState* page, const ResourceSource& source, int32_t kinds);

// Gives the string list its columns and its header's hook and fills its rows
// from an open source; FillStringList's result.
int FillPageStringList(HWND dialog, PageState* page, const ResourceSource& source);
