#include "page/state/RowTextCache.h"

#include <cstring>

#include "catalogue/MessageRows.h"
#include "catalogue/StringRows.h"
#include "formats/texts/RowTexts.h"
#include "page/state/PageStores.h"

namespace {

// Per row: where its text starts in the block and its bytes, or its state;
// the texts follow, each ended by two zero bytes and starting at an even
// offset, so that narrow and UTF-16 texts are kept alike.
struct RowPlace {
    uint32_t offset;
    uint32_t bytes;
};
const uint32_t kTooLong = 0xFFFFFFFF;
const uint32_t kAbsent = 0xFFFFFFFE;

RowPlace* Places(uint8_t* block) {
    return reinterpret_cast<RowPlace*>(block);
}

CachedRow CachedBytes(const RowTextCache& cache, int32_t row, const uint8_t** text,
                      uint32_t* bytes) {
    if (cache.block == nullptr || row < cache.first || row - cache.first >= cache.count)
        return kRowNotCached;
    const RowPlace place = Places(cache.block)[row - cache.first];
    if (place.offset == kAbsent)
        return kRowAbsent;
    if (place.offset == kTooLong)
        return kRowNotCached;
    *text = cache.block + place.offset;
    *bytes = place.bytes;
    return kRowText;
}

void ClearCache(RowTextCache* cache) {
    if (cache->block != nullptr)
        GlobalFree(cache->block);
    *cache = RowTextCache{};
}

// Reads the window of rows around row with read(row, &bytes), which gives
// a row's text or null, into cache; texts over longest bytes are left to be
// read on their own.
template <typename Read>
void FillCache(RowTextCache* cache, int32_t rowCount, int32_t row, uint32_t longest, Read read) {
    ClearCache(cache);
    const RowWindow window = RowWindowAround(row, rowCount, kCachedRows);
    if (window.count <= 0)
        return;
    const size_t placesEnd = static_cast<size_t>(window.count) * sizeof(RowPlace);
    SIZE_T room = placesEnd + static_cast<SIZE_T>(window.count) * 64;
    uint8_t* block = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, room));
    if (block == nullptr)
        return;
    size_t used = placesEnd;
    for (int32_t i = 0; i < window.count; ++i) {
        uint32_t bytes = 0;
        const void* text = read(window.first + i, &bytes);
        if (text == nullptr || bytes > longest) {
            Places(block)[i] = RowPlace{text == nullptr ? kAbsent : kTooLong, 0};
            continue;
        }
        const size_t needed = used + bytes + 2;
        if (needed > room) {
            const SIZE_T grown = room * 2 > needed ? room * 2 : needed;
            uint8_t* bigger = static_cast<uint8_t*>(GlobalReAlloc(block, grown, GMEM_MOVEABLE));
            if (bigger == nullptr) {
                // What was read so far stays; the rest is read when asked for.
                for (int32_t rest = i; rest < window.count; ++rest)
                    Places(block)[rest] = RowPlace{kTooLong, 0};
                break;
            }
            block = bigger;
            room = grown;
        }
        memcpy(block + used, text, bytes);
        block[used + bytes] = 0;
        block[used + bytes + 1] = 0;
        Places(block)[i] = RowPlace{static_cast<uint32_t>(used), bytes};
        used = (needed + 1) & ~static_cast<size_t>(1);
    }
    *cache = RowTextCache{block, window.first, window.count};
}

}  // namespace

CachedRow CachedRowText(const PageState* page, int32_t row, const char** text, int32_t* length) {
    const uint8_t* bytes = nullptr;
    uint32_t count = 0;
    const CachedRow cached = CachedBytes(page->rowTexts, row, &bytes, &count);
    if (cached == kRowText) {
        *text = reinterpret_cast<const char*>(bytes);
        *length = lstrlenA(*text);
    }
    return cached;
}

void FillRowTexts(PageState* page, const ResourceSource& source, int32_t row) {
    if (page->stringRows == nullptr) {
        ClearCache(&page->rowTexts);
        return;
    }
    FillCache(&page->rowTexts, page->stringRowCount, row, kLongestCachedText,
              [&](int32_t at, uint32_t* bytes) -> const void* {
                  uint16_t id = 0;
                  int32_t length = 0;
                  if (!StringRowId(page->stringRows, page->stringRowCount, at, &id))
                      return nullptr;
                  const char* text = ReadStringRowText(source, id, TextBufferOfPage(page), &length);
                  *bytes = static_cast<uint32_t>(length);
                  return text;
              });
}

CachedRow CachedMessageText(const PageState* page, int32_t row, const wchar_t** text,
                            int32_t* units) {
    const uint8_t* bytes = nullptr;
    uint32_t count = 0;
    const CachedRow cached = CachedBytes(page->messageTexts, row, &bytes, &count);
    if (cached == kRowText) {
        *text = reinterpret_cast<const wchar_t*>(bytes);
        *units = static_cast<int32_t>(count / sizeof(wchar_t));
    }
    return cached;
}

void FillMessageTexts(PageState* page, const ResourceSource& source, int32_t row) {
    const MessageRowArray rows = MessageRowsOfPage(page);
    FillCache(&page->messageTexts, page->messageRowCount, row, kLongestCachedText * sizeof(wchar_t),
              [&](int32_t at, uint32_t* bytes) -> const void* {
                  int32_t units = 0;
                  const wchar_t* text =
                      ReadMessageRowText(source, rows, at, false, TextBufferOfPage(page), &units);
                  *bytes = static_cast<uint32_t>(units) * sizeof(wchar_t);
                  return text;
              });
}

void ClearRowTexts(PageState* page) {
    ClearCache(&page->rowTexts);
    ClearMessageTexts(page);
}

void ClearMessageTexts(PageState* page) {
    ClearCache(&page->messageTexts);
}
