#include "formats/texts/RowTexts.h"

int32_t FindRowOfId(const uint16_t* ids, int32_t count, int32_t start, uint32_t id, bool wrap) {
    if (ids == nullptr || count <= 0 || start < -1)
        return -1;
    int32_t first = start + 1;
    if (first >= count) {
        if (!wrap)
            return -1;
        first = 0;
    }
    for (int32_t row = first; row < count; ++row) {
        if (ids[row] == id)
            return row;
    }
    // The wrapped search ends with the start row itself.
    const int32_t last = start < count ? start : count - 1;
    for (int32_t row = 0; wrap && row < first && row <= last; ++row) {
        if (ids[row] == id)
            return row;
    }
    return -1;
}

int32_t FindRowOfSortedId(const uint16_t* ids, int32_t count, uint32_t id) {
    if (ids == nullptr || count <= 0)
        return -1;
    int32_t low = 0;
    int32_t high = count;
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (ids[middle] < id)
            low = middle + 1;
        else
            high = middle;
    }
    return low < count && ids[low] == id ? low : -1;
}

RowWindow RowWindowAround(int32_t row, int32_t rowCount, int32_t windowRows) {
    if (row < 0 || row >= rowCount || windowRows <= 0)
        return RowWindow{0, 0};
    const int32_t before = windowRows / 4;
    int32_t first = row > before ? row - before : 0;
    if (rowCount - first < windowRows)
        first = rowCount > windowRows ? rowCount - windowRows : 0;
    const int32_t count = rowCount - first < windowRows ? rowCount - first : windowRows;
    return RowWindow{first, count};
}

bool IsLeadByteOf(const LeadBytes& lead, uint8_t byte) {
    for (size_t i = 0; i + 1 < sizeof(lead.ranges); i += 2) {
        if (lead.ranges[i] == 0 && lead.ranges[i + 1] == 0)
            return false;
        if (byte >= lead.ranges[i] && byte <= lead.ranges[i + 1])
            return true;
    }
    return false;
}

size_t WholeCharacterPrefix(const char* text, size_t length, size_t maxBytes, size_t maxCharacters,
                            const LeadBytes& lead) {
    size_t kept = 0;
    size_t characters = 0;
    while (kept < length && characters < maxCharacters) {
        const bool pair =
            IsLeadByteOf(lead, static_cast<uint8_t>(text[kept])) && length - kept >= 2;
        const size_t step = pair ? 2 : 1;
        if (step > maxBytes - kept)
            break;
        kept += step;
        ++characters;
    }
    return kept;
}

bool EndsInLoneLeadByte(const char* text, size_t length, const LeadBytes& lead) {
    size_t at = 0;
    while (at < length) {
        const bool isLead = IsLeadByteOf(lead, static_cast<uint8_t>(text[at]));
        if (isLead && at + 1 == length)
            return true;
        at += isLead ? 2 : 1;
    }
    return false;
}
