#include "page/state/RowTextCache.h"

#include <cstring>

#include "catalogue/StringRows.h"
#include "formats/texts/RowTexts.h"
#include "page/state/PageStores.h"

namespace {

// Per row: the offset of its text in the block and its state; the texts, each
// with its terminator, follow.
const uint32_t kTooLong = 0xFFFFFFFF;
const uint32_t kAbsent = 0xFFFFFFFE;

uint32_t* RowOffsets(uint8_t* block) {
    return reinterpret_cast<uint32_t*>(block);
}

size_t TextsStart(int32_t count) {
    return static_cast<size_t>(count) * sizeof(uint32_t);
}

}  // namespace

CachedRow CachedRowText(const PageState* page, int32_t row, const char** text, int32_t* length) {
    const RowTextCache& cache = page->rowTexts;
    if (cache.block == nullptr || row < cache.first || row - cache.first >= cache.count)
        return kRowNotCached;
    const uint32_t offset = RowOffsets(cache.block)[row - cache.first];
    if (offset == kAbsent)
        return kRowAbsent;
    if (offset == kTooLong)
        return kRowNotCached;
    *text = reinterpret_cast<const char*>(cache.block + offset);
    *length = lstrlenA(*text);
    return kRowText;
}

void ClearRowTexts(PageState* page) {
    if (page->rowTexts.block != nullptr)
        GlobalFree(page->rowTexts.block);
    page->rowTexts = RowTextCache{};
}

void FillRowTexts(PageState* page, const ResourceSource& source, int32_t row) {
    ClearRowTexts(page);
    const RowWindow window = RowWindowAround(row, page->stringRowCount, kCachedRows);
    if (window.count <= 0 || page->stringRows == nullptr)
        return;
    SIZE_T room = TextsStart(window.count) + static_cast<SIZE_T>(window.count) * 64;
    uint8_t* block = static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, room));
    if (block == nullptr)
        return;
    size_t used = TextsStart(window.count);
    for (int32_t i = 0; i < window.count; ++i) {
        uint16_t id = 0;
        int32_t length = 0;
        const char* text = nullptr;
        if (StringRowId(page->stringRows, page->stringRowCount, window.first + i, &id))
            text = ReadStringRowText(source, id, TextBufferOfPage(page), &length);
        if (text == nullptr || length > kLongestCachedText) {
            RowOffsets(block)[i] = text == nullptr ? kAbsent : kTooLong;
            continue;
        }
        const size_t needed = used + static_cast<size_t>(length) + 1;
        if (needed > room) {
            const SIZE_T grown = room * 2 > needed ? room * 2 : needed;
            uint8_t* bigger = static_cast<uint8_t*>(GlobalReAlloc(block, grown, GMEM_MOVEABLE));
            if (bigger == nullptr) {
                // What was read so far stays; the rest is read when asked for.
                RowOffsets(block)[i] = kTooLong;
                for (int32_t rest = i + 1; rest < window.count; ++rest)
                    RowOffsets(block)[rest] = kTooLong;
                break;
            }
            block = bigger;
            room = grown;
        }
        memcpy(block + used, text, static_cast<size_t>(length) + 1);
        RowOffsets(block)[i] = static_cast<uint32_t>(used);
        used = needed;
    }
    page->rowTexts = RowTextCache{block, window.first, window.count};
}
