// The texts of a window of the string list's rows, and of the message list's,
// each read with one opening of the file when a row outside the window is
// asked for: rows read one by one through messages (a screen reader, an
// automation client) then cost about what a paint costs per row. Texts only,
// never the file; the caches are emptied when the file changes or the lists
// are filled again, and a kept text is given only while the file is
// confirmed to be the one it was read from.
#pragma once

#include <cstdint>

#include "catalogue/ResourceSource.h"
#include "page/state/PageState.h"

// Rows read together, and the longest text kept (in bytes, or UTF-16 units
// for messages): a longer row is read on its own each time it is asked for,
// so that a cache stays within a few hundred rows of a few kilobytes.
const int32_t kCachedRows = 256;
const int32_t kLongestCachedText = 4096;

enum CachedRow { kRowNotCached, kRowText, kRowAbsent };

// Row's text when the cache holds it (kRowText, with text and length), or
// that the file has no text for it (kRowAbsent).
CachedRow CachedRowText(const PageState* page, int32_t row, const char** text, int32_t* length);

// Reads the texts of row's window from the open source into the cache.
void FillRowTexts(PageState* page, const ResourceSource& source, int32_t row);

// The same for the message list's rows: their texts as drawn, without the
// break that ends them.
CachedRow CachedMessageText(const PageState* page, int32_t row, const wchar_t** text,
                            int32_t* units);
void FillMessageTexts(PageState* page, const ResourceSource& source, int32_t row);

// Both lists' kept texts, or the message list's alone.
void ClearRowTexts(PageState* page);
void ClearMessageTexts(PageState* page);
