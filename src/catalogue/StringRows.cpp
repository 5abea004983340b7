#include "catalogue/StringRows.h"

#include <cstring>

#include "catalogue/ResourceKinds.h"
#include "formats/texts/RowTexts.h"
#include "formats/texts/SortedPlaces.h"
#include "formats/texts/StringBlock.h"

namespace {

struct RowWalk {
    const ResourceSource* source;
    StringRowArray rows;
    int32_t room;
    WidestRows* widest;
    int32_t failed;
};

// Keeps the row among the widest guesses when it beats the narrowest of them.
void ConsiderWidth(WidestRows* widest, uint16_t id, uint32_t guess) {
    int32_t slot = widest->count;
    if (slot == kWidestRowsMeasured) {
        slot = 0;
        for (int32_t i = 1; i < widest->count; ++i) {
            if (widest->guesses[i] < widest->guesses[slot])
                slot = i;
        }
        if (widest->guesses[slot] >= guess)
            return;
    } else {
        ++widest->count;
    }
    widest->ids[slot] = id;
    widest->guesses[slot] = guess;
}

bool AddRow(RowWalk* walk, uint16_t id) {
    if (*walk->rows.count == walk->room) {
        // Doubling keeps the number of moves small; a table has at most 65,536
        // strings.
        const int32_t room = walk->room < 64 ? 64 : walk->room * 2;
        HGLOBAL grown =
            *walk->rows.block == nullptr
                ? GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(room) * 2)
                : GlobalReAlloc(*walk->rows.block, static_cast<SIZE_T>(room) * 2, GMEM_MOVEABLE);
        if (grown == nullptr) {
            walk->failed = 1;
            return false;
        }
        *walk->rows.block = static_cast<uint8_t*>(grown);
        walk->room = room;
    }
    reinterpret_cast<uint16_t*>(*walk->rows.block)[(*walk->rows.count)++] = id;
    return true;
}

// One block's rows; false when memory ran out.
bool AddBlock(RowWalk* walk, ResName name, const uint8_t* data, uint32_t size, bool ne) {
    uint16_t firstId = 0;
    if (!StringBlockFirstId(name, &firstId))
        return true;
    StoredString strings[kStringsPerBlock];
    const uint32_t read =
        ne ? ReadNeStringBlock(data, size, strings) : ReadPeStringBlock(data, size, strings);
    for (uint32_t i = 0; i < read; ++i) {
        if (strings[i].length == 0)
            continue;
        const uint16_t id = static_cast<uint16_t>(firstId + i);
        if (!AddRow(walk, id))
            return false;
        ConsiderWidth(walk->widest, id,
                      ne ? strings[i].length
                         : PeStringWidthGuess(data + strings[i].offset, strings[i].length));
    }
    return true;
}

BOOL CALLBACK ModuleBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR user) {
    RowWalk* walk = reinterpret_cast<RowWalk*>(user);
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!FindResourceBytes(*walk->source, ResourceKindType(kKindString), name, &data, &size) ||
        !ResourceBytesReadable(data, size)) {
        return TRUE;
    }
    return AddBlock(walk, name, data, size, false);
}

int NeBlock(ResName name, const uint8_t* data, uint32_t size, void* user) {
    return AddBlock(static_cast<RowWalk*>(user), name, data, size, true);
}

int ById(uint32_t placed, uint32_t added, void* context) {
    const uint16_t* ids = static_cast<const uint16_t*>(context);
    return ids[placed] < ids[added] ? -1 : (ids[placed] > ids[added] ? 1 : 0);
}

bool Sorted(const uint16_t* ids, int32_t count) {
    for (int32_t i = 1; i < count; ++i) {
        if (ids[i - 1] > ids[i])
            return false;
    }
    return true;
}

// A 32-bit file lists its blocks in order; a 16-bit file's table may not.
bool SortRows(const StringRowArray& rows) {
    uint16_t* ids = reinterpret_cast<uint16_t*>(*rows.block);
    const int32_t count = *rows.count;
    if (Sorted(ids, count))
        return true;
    uint32_t* order =
        static_cast<uint32_t*>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(count) * 6));
    if (order == nullptr)
        return false;
    uint16_t* copy = reinterpret_cast<uint16_t*>(order + count);
    memcpy(copy, ids, static_cast<size_t>(count) * 2);
    PlaceLikeSortedList(order, static_cast<uint32_t>(count), ById, copy);
    for (int32_t i = 0; i < count; ++i)
        ids[i] = copy[order[i]];
    GlobalFree(order);
    return true;
}

// A 16-bit file's bytes are shown unconverted, and one may end in half a
// double-byte character, which would take the CR of a copied row as its
// second half: it is replaced by what the code page makes of it on its own,
// as a list keeping the text itself did.
const char* ReplaceLoneLeadByte(const TextBuffer& text, int32_t* length) {
    CPINFO info = {};
    LeadBytes lead = {};
    if (GetCPInfo(CP_ACP, &info))
        memcpy(lead.ranges, info.LeadByte, sizeof(lead.ranges));
    if (!EndsInLoneLeadByte(*text.block, static_cast<size_t>(*length), lead))
        return *text.block;
    wchar_t unit = 0;
    char replaced[8] = "?";
    int bytes = 1;
    if (MultiByteToWideChar(CP_ACP, 0, *text.block + *length - 1, 1, &unit, 1) == 1) {
        const int made = WideCharToMultiByte(CP_ACP, 0, &unit, 1, replaced, sizeof(replaced) - 1,
                                             nullptr, nullptr);
        bytes = made > 0 ? made : 1;
        if (made <= 0)
            replaced[0] = '?';
    }
    if (GrowTextBuffer(text, *length + bytes) != 0)
        return nullptr;
    memcpy(*text.block + *length - 1, replaced, static_cast<size_t>(bytes));
    *length += bytes - 1;
    (*text.block)[*length] = '\0';
    return *text.block;
}

}  // namespace

int32_t AnsiBytesPerUnit() {
    CPINFO info = {};
    if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 2)
        return static_cast<int32_t>(info.MaxCharSize);
    return 2;
}

int ReadStringRows(const ResourceSource& source, const StringRowArray& rows, WidestRows* widest) {
    *widest = WidestRows{};
    *rows.count = 0;
    RowWalk walk = {&source, rows, 0, widest, 0};
    if (*rows.block != nullptr)
        walk.room = static_cast<int32_t>(GlobalSize(*rows.block) / 2);
    if (source.module != nullptr) {
        EnumResourceNamesA(source.module, ResourceKindType(kKindString), ModuleBlock,
                           reinterpret_cast<LONG_PTR>(&walk));
    } else if (source.isNeImage) {
        EnumNeResources(source.image, ResourceKindType(kKindString), NeBlock, &walk);
    }
    if (walk.failed || !SortRows(rows)) {
        *rows.count = 0;
        *widest = WidestRows{};
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return -1;
    }
    return 0;
}

namespace {

// units UTF-16LE units (not aligned) up to the first NUL, in the ANSI code
// page, as LoadStringA converts them.
const char* ConvertStoredString(const uint8_t* stored, uint32_t units, const TextBuffer& text,
                                int32_t* length) {
    uint32_t count = 0;
    while (count < units && (stored[2 * count] != 0 || stored[2 * count + 1] != 0))
        ++count;
    HGLOBAL aligned = GlobalAlloc(GMEM_FIXED, (count + 1) * sizeof(wchar_t));
    if (aligned == nullptr)
        return nullptr;
    memcpy(aligned, stored, count * sizeof(wchar_t));
    const wchar_t* wide = static_cast<const wchar_t*>(aligned);
    const int bytes = count == 0 ? 0
                                 : WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(count),
                                                       nullptr, 0, nullptr, nullptr);
    const char* result = nullptr;
    if (bytes > 0 && GrowTextBuffer(text, bytes + 1) == 0) {
        WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(count), *text.block, bytes, nullptr,
                            nullptr);
        (*text.block)[bytes] = '\0';
        *length = bytes;
        result = *text.block;
    }
    GlobalFree(aligned);
    return result;
}

}  // namespace

const char* ReadStringRowText(const ResourceSource& source, uint16_t id, const TextBuffer& text,
                              int32_t* length) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    const ResName block = MakeIntResName(static_cast<uint16_t>(id / kStringsPerBlock + 1));
    if (!FindResourceBytes(source, ResourceKindType(kKindString), block, &data, &size) ||
        !ResourceBytesReadable(data, size)) {
        return nullptr;
    }
    StoredString strings[kStringsPerBlock];
    const uint32_t slot = id % kStringsPerBlock;
    const uint32_t read = source.isNeImage ? ReadNeStringBlock(data, size, strings)
                                           : ReadPeStringBlock(data, size, strings);
    if (slot >= read || strings[slot].length == 0)
        return nullptr;
    if (source.isNeImage) {
        if (GrowTextBuffer(text, static_cast<int32_t>(strings[slot].length) + 1) != 0)
            return nullptr;
        memcpy(*text.block, data + strings[slot].offset, strings[slot].length);
        (*text.block)[strings[slot].length] = '\0';
        // A row shows its text up to a zero byte, as the list kept it.
        *length = lstrlenA(*text.block);
        return ReplaceLoneLeadByte(text, length);
    }
    // A chosen language's string is converted from the block it stores,
    // which the platform's loader would not pick.
    if (source.language != 0)
        return ConvertStoredString(data + strings[slot].offset, strings[slot].length, text, length);
    // The stored length sizes the buffer, so that one call loads the string
    // whole, as the list's fill always did.
    const int32_t limit = static_cast<int32_t>(strings[slot].length) * AnsiBytesPerUnit() + 1;
    if (GrowTextBuffer(text, limit) != 0)
        return nullptr;
    (*text.block)[0] = '\0';
    const int loaded = LoadStringA(source.module, id, *text.block, limit);
    if (loaded <= 0)
        return nullptr;
    *length = lstrlenA(*text.block);
    return *text.block;
}
