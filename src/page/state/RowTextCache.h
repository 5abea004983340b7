// The texts of a window of the string list's rows, read with one opening of
// the file when a row outside the window is asked for: rows read one by one
// through messages (a screen reader, an automation client) then cost about
// what a paint costs per row. Texts only, never the file; the cache is
// emptied when the file changes or the lists are filled again.
#pragma once

#include <cstdint>

#include "catalogue/ResourceSource.h"
#include "page/state/PageState.h"

// Rows read together, and the longest text kept: a longer row is read on its
// own each time it is asked for, so that the cache stays within a few hundred
// rows of a few kilobytes.
const int32_t kCachedRows = 256;
const int32_t kLongestCachedText = 4096;

enum CachedRow { kRowNotCached, kRowText, kRowAbsent };

// Row's text when the cache holds it (kRowText, with text and length), or
// that the file has no text for it (kRowAbsent).
CachedRow CachedRowText(const PageState* page, int32_t row, const char** text, int32_t* length);

// Reads the texts of row's window from the open source into the cache.
void FillRowTexts(PageState* page, const ResourceSource& source, int32_t row);

void ClearRowTexts(PageState* page);
