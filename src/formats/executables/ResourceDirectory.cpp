// The PE resource walk over bytes in memory. Offsets inside the directory are
// relative to its root and tested against the section's stored bytes with
// SectionPlace before any read; file offsets are tested against the file.
#include "formats/executables/ResourceDirectory.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"

namespace {

const uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
const uint16_t kPe32Magic = 0x10B;
const uint16_t kPe32PlusMagic = 0x20B;
const uint32_t kResourceDirectory = 2;
const size_t kSectionHeaderBytes = 40;
const size_t kDirectoryBytes = 16;
const size_t kEntryBytes = 8;
const size_t kDataEntryBytes = 16;
const uint32_t kHighBit = 0x80000000u;

// One section's place in memory and in the file.
struct SectionSpan {
    uint32_t address;
    uint32_t rawSize;
    uint32_t rawOffset;
};

bool ReadSection(const uint8_t* base, size_t size, size_t table, uint32_t index,
                 SectionSpan* span) {
    const size_t at = table + static_cast<size_t>(index) * kSectionHeaderBytes;
    if (table > size || index > (size - table) / kSectionHeaderBytes)
        return false;
    return ReadU32(base, size, at + 12, &span->address) &&
           ReadU32(base, size, at + 16, &span->rawSize) &&
           ReadU32(base, size, at + 20, &span->rawOffset);
}

// The section whose stored bytes hold rva, and how far into them it lies.
bool FindSection(const uint8_t* base, size_t size, size_t table, uint32_t count, uint32_t rva,
                 SectionSpan* span, uint32_t* into) {
    for (uint32_t i = 0; i < count; ++i) {
        if (!ReadSection(base, size, table, i, span))
            return false;
        if (rva >= span->address && rva - span->address < span->rawSize) {
            *into = rva - span->address;
            return true;
        }
    }
    return false;
}

// The file offset of place bytes relative to the root, when need bytes from
// there lie inside the section's stored bytes.
bool SectionPlace(const PeResourceSection& s, uint32_t place, size_t need, size_t* at) {
    const size_t room = s.end - s.directory;
    if (place > room || need > room - place)
        return false;
    *at = s.directory + place;
    return true;
}

bool ReadKey(const PeResourceSection& s, uint32_t field, ResourceKey* key) {
    key->text = nullptr;
    key->length = 0;
    key->id = static_cast<uint16_t>(field);
    if (!(field & kHighBit))
        return true;
    size_t at = 0;
    if (!SectionPlace(s, field & ~kHighBit, 2, &at))
        return false;
    const uint16_t length = PeekU16(s.base + at);
    if (!SectionPlace(s, field & ~kHighBit, 2 + size_t{length} * 2, &at))
        return false;
    key->text = s.base + at + 2;
    key->length = length;
    key->id = 0;
    return true;
}

// The first entry of the directory at place and how many entries of it lie
// whole inside the section.
bool ReadDirectory(const PeResourceSection& s, uint32_t place, size_t* first, uint32_t* count) {
    size_t at = 0;
    if (!SectionPlace(s, place, kDirectoryBytes, &at))
        return false;
    const uint32_t listed = uint32_t{PeekU16(s.base + at + 12)} + PeekU16(s.base + at + 14);
    *first = at + kDirectoryBytes;
    const size_t fit = (s.end - *first) / kEntryBytes;
    *count = listed < fit ? listed : static_cast<uint32_t>(fit);
    return true;
}

struct Walk {
    const PeResourceSection* section;
    ResourceLeafCallback callback;
    void* user;
    uint32_t entries;
    uint32_t leaves;
    bool capped;
    bool stopped;
};

// The next entry of a directory, or false when the walk is over.
bool NextEntry(Walk* walk, size_t at, uint32_t* nameField, uint32_t* valueField) {
    if (walk->entries >= kMaxResourceEntries) {
        walk->capped = true;
        return false;
    }
    ++walk->entries;
    *nameField = PeekU32(walk->section->base + at);
    *valueField = PeekU32(walk->section->base + at + 4);
    return true;
}

void PlaceData(const PeResourceSection& s, ResourceLeaf* leaf) {
    SectionSpan span;
    uint32_t into = 0;
    leaf->fileOffset = 0;
    leaf->dataInFile = false;
    if (!FindSection(s.base, s.size, s.sectionTable, s.sectionCount, leaf->dataRva, &span, &into))
        return;
    const uint64_t offset = uint64_t{span.rawOffset} + into;
    if (leaf->size > span.rawSize - into || offset > s.size || leaf->size > s.size - offset)
        return;
    leaf->fileOffset = offset;
    leaf->dataInFile = true;
}

void WalkLanguages(Walk* walk, ResourceLeaf* leaf, uint32_t place) {
    const PeResourceSection& s = *walk->section;
    size_t at = 0;
    uint32_t count = 0;
    if (!ReadDirectory(s, place, &at, &count))
        return;
    for (uint32_t i = 0; i < count; ++i, at += kEntryBytes) {
        uint32_t nameField = 0;
        uint32_t valueField = 0;
        if (!NextEntry(walk, at, &nameField, &valueField))
            return;
        size_t data = 0;
        if ((nameField & kHighBit) || (valueField & kHighBit) ||
            !SectionPlace(s, valueField, kDataEntryBytes, &data)) {
            continue;
        }
        leaf->language = static_cast<uint16_t>(nameField);
        leaf->dataRva = PeekU32(s.base + data);
        leaf->size = PeekU32(s.base + data + 4);
        leaf->codePage = PeekU32(s.base + data + 8);
        PlaceData(s, leaf);
        if (walk->leaves >= kMaxResourceLeaves) {
            walk->capped = true;
            return;
        }
        ++walk->leaves;
        if (!walk->callback(*leaf, walk->user)) {
            walk->stopped = true;
            return;
        }
    }
}

void WalkNames(Walk* walk, ResourceLeaf* leaf, uint32_t place) {
    const PeResourceSection& s = *walk->section;
    size_t at = 0;
    uint32_t count = 0;
    if (!ReadDirectory(s, place, &at, &count))
        return;
    for (uint32_t i = 0; i < count && !walk->stopped && !walk->capped; ++i, at += kEntryBytes) {
        uint32_t nameField = 0;
        uint32_t valueField = 0;
        if (!NextEntry(walk, at, &nameField, &valueField))
            return;
        if (!(valueField & kHighBit) || !ReadKey(s, nameField, &leaf->name))
            continue;
        WalkLanguages(walk, leaf, valueField & ~kHighBit);
    }
}

}  // namespace

bool LocatePeResources(const uint8_t* base, size_t size, PeResourceSection* section) {
    uint16_t mz = 0;
    uint32_t newAt = 0;
    uint32_t signature = 0;
    if (!ReadU16(base, size, 0, &mz) || mz != 0x5A4D || !ReadU32(base, size, 0x3C, &newAt) ||
        !ReadU32(base, size, newAt, &signature) || signature != kPeSignature) {
        return false;
    }
    const size_t fileHeader = size_t{newAt} + 4;
    const size_t optional = fileHeader + 20;
    uint16_t sectionCount = 0;
    uint16_t optionalSize = 0;
    uint16_t magic = 0;
    if (!ReadU16(base, size, fileHeader + 2, &sectionCount) ||
        !ReadU16(base, size, fileHeader + 16, &optionalSize) ||
        !ReadU16(base, size, optional, &magic)) {
        return false;
    }
    if (magic != kPe32Magic && magic != kPe32PlusMagic)
        return false;
    // The directory count and the resource entry must lie inside the optional
    // header as its size declares it, not merely inside the file.
    const size_t countAt = optional + (magic == kPe32PlusMagic ? 108 : 92);
    const size_t entryAt = countAt + 4 + kResourceDirectory * 8;
    uint32_t directories = 0;
    uint32_t rva = 0;
    if (entryAt + 8 > optional + optionalSize || !ReadU32(base, size, countAt, &directories) ||
        directories <= kResourceDirectory || !ReadU32(base, size, entryAt, &rva) || rva == 0) {
        return false;
    }
    const size_t table = optional + optionalSize;
    const uint32_t count =
        sectionCount < kMaxResourceSections ? sectionCount : kMaxResourceSections;
    SectionSpan span;
    uint32_t into = 0;
    if (!FindSection(base, size, table, count, rva, &span, &into))
        return false;
    const uint64_t directory = uint64_t{span.rawOffset} + into;
    const uint64_t stored = uint64_t{span.rawOffset} + span.rawSize;
    if (directory >= size)
        return false;
    section->base = base;
    section->size = size;
    section->directory = static_cast<size_t>(directory);
    section->end = stored < size ? static_cast<size_t>(stored) : size;
    section->sectionTable = table;
    section->sectionCount = count;
    return true;
}

int WalkPeResources(const PeResourceSection& section, ResourceLeafCallback callback, void* user) {
    if (section.base == nullptr || section.end > section.size || section.directory >= section.end)
        return -1;
    size_t at = 0;
    uint32_t count = 0;
    if (!ReadDirectory(section, 0, &at, &count))
        return -1;
    Walk walk = {&section, callback, user, 0, 0, false, false};
    ResourceLeaf leaf;
    memset(&leaf, 0, sizeof leaf);
    for (uint32_t i = 0; i < count && !walk.stopped; ++i, at += kEntryBytes) {
        uint32_t nameField = 0;
        uint32_t valueField = 0;
        if (!NextEntry(&walk, at, &nameField, &valueField))
            break;
        if (!(valueField & kHighBit) || !ReadKey(section, nameField, &leaf.type))
            continue;
        WalkNames(&walk, &leaf, valueField & ~kHighBit);
        if (walk.capped)
            break;
    }
    return walk.capped ? -2 : 0;
}

bool ResourceKeyMatches(const ResourceKey& key, ResName wanted) {
    if (IsIntResName(wanted))
        return key.text == nullptr && key.id == ResNameId(wanted);
    if (key.text == nullptr)
        return false;
    for (uint32_t i = 0; i < key.length; ++i) {
        const uint8_t c = static_cast<uint8_t>(wanted[i]);
        const uint16_t unit = PeekU16(key.text + size_t{i} * 2);
        if (c == 0 || c >= 0x80 || unit >= 0x80)
            return false;
        const uint8_t a = (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 32) : c;
        const uint8_t b = (unit >= 'a' && unit <= 'z') ? static_cast<uint8_t>(unit - 32)
                                                       : static_cast<uint8_t>(unit);
        if (a != b)
            return false;
    }
    return wanted[key.length] == '\0';
}

namespace {

struct LanguageTally {
    const ResName* types;
    uint32_t typeCount;
    TypeLanguage* out;
    uint32_t capacity;
    uint32_t found;
    bool full;
};

int TallyLeaf(const ResourceLeaf& leaf, void* user) {
    LanguageTally* tally = static_cast<LanguageTally*>(user);
    uint32_t type = 0;
    while (type < tally->typeCount && !ResourceKeyMatches(leaf.type, tally->types[type]))
        ++type;
    if (type == tally->typeCount)
        return 1;
    // Binary search for the pair's place in (type, language) order.
    uint32_t low = 0;
    uint32_t high = tally->found;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const TypeLanguage& probe = tally->out[middle];
        if (probe.type < type || (probe.type == type && probe.language < leaf.language))
            low = middle + 1;
        else
            high = middle;
    }
    TypeLanguage* place = tally->out + low;
    if (low < tally->found && place->type == type && place->language == leaf.language) {
        ++place->count;
        return 1;
    }
    if (tally->found >= tally->capacity) {
        tally->full = true;
        return 1;
    }
    memmove(place + 1, place, (tally->found - low) * sizeof(TypeLanguage));
    place->type = type;
    place->language = leaf.language;
    place->count = 1;
    ++tally->found;
    return 1;
}

}  // namespace

int CountTypeLanguages(const PeResourceSection& section, const ResName* types, uint32_t typeCount,
                       TypeLanguage* out, uint32_t capacity, uint32_t* found) {
    LanguageTally tally = {types, typeCount, out, capacity, 0, false};
    const int walked = WalkPeResources(section, TallyLeaf, &tally);
    *found = tally.found;
    if (walked != 0)
        return walked;
    return tally.full ? -2 : 0;
}

uint32_t DistinctLanguages(const TypeLanguage* pairs, uint32_t count, uint16_t* languages,
                           uint32_t capacity) {
    uint32_t written = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint16_t language = pairs[i].language;
        uint32_t place = 0;
        while (place < written && languages[place] < language)
            ++place;
        if (place < written && languages[place] == language)
            continue;
        if (written == capacity) {
            // Full: a smaller language still takes the place of the largest.
            if (place == written)
                continue;
            --written;
        }
        memmove(languages + place + 1, languages + place, (written - place) * sizeof(uint16_t));
        languages[place] = language;
        ++written;
    }
    return written;
}
