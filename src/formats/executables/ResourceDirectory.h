// The resource directory of a 32-bit or 64-bit PE image (PE32 or PE32+), read
// from the file's bytes in memory as a caller that maps the file has them. The
// directory has three levels, type, name and language, whose leaves describe
// each resource's data. Every offset, size and count the file gives is tested
// against the resource section's stored bytes before it is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/bytes/ResName.h"

// Sections past this many are not looked at: the oldest loaders refuse such
// images anyway, and it bounds the cost of placing each leaf's data.
constexpr uint32_t kMaxResourceSections = 96;
// The walk offers at most this many leaves and reads at most this many
// directory entries: directories that share subdirectories multiply, and a
// real file holds a few tens of thousands at the very most.
constexpr uint32_t kMaxResourceLeaves = 262144;
constexpr uint32_t kMaxResourceEntries = 1048576;

// Where the resource section lies in the file's bytes.
struct PeResourceSection {
    const uint8_t* base;  // file offset 0
    size_t size;          // bytes of the file in memory
    size_t directory;     // file offset of the root directory
    size_t end;           // one past the section's last stored byte, at most size
    size_t sectionTable;  // file offset of the section table
    uint32_t sectionCount;
};

// A type or name as the directory stores it: a number, or a text of UTF-16LE
// units (not aligned, not terminated) inside the section.
struct ResourceKey {
    const uint8_t* text;  // null for a number
    uint32_t length;      // units of text
    uint16_t id;          // the number when text is null: the entry's low 16 bits,
                          // all the platform's lookup compares
};

struct ResourceLeaf {
    ResourceKey type;
    ResourceKey name;
    uint16_t language;  // low 16 bits, as for an id
    uint32_t dataRva;
    uint32_t size;
    uint32_t codePage;
    // Where the data lies in the file, through the section table; only when
    // every byte of it is stored in one section and in the file (dataInFile).
    // A leaf whose data is elsewhere is offered all the same: the directory
    // names it, reading it is the caller's concern.
    uint64_t fileOffset;
    bool dataInFile;
};

// Finds the resource directory through the optional header (magic 0x10B or
// 0x20B, data directory 2) and the section that stores it. False when the
// bytes hold no PE image, no resource directory, or one no section stores.
bool LocatePeResources(const uint8_t* base, size_t size, PeResourceSection* section);

// Non-zero to go on, 0 to stop. The leaf's texts point into the file's bytes.
typedef int (*ResourceLeafCallback)(const ResourceLeaf& leaf, void* user);

// Offers every leaf in directory order (types, then each type's names, then
// each name's languages). What cannot be read soundly is passed over with
// everything below it: an entry or directory outside the section (a directory
// cut by the section's end gives the entries that fit whole), a text name
// outside it, a subdirectory where a leaf belongs or a leaf where a
// subdirectory belongs, and a text where a language number belongs. A
// subdirectory that points back to the root or to its own parent offers no
// leaves (its entries are subdirectories where leaves belong); the depth is
// fixed at three, so no chain runs longer, and directories that share
// subdirectories are held by the caps. Returns 0 when the walk ended
// (also when the callback stopped it), -1 when the root cannot be read, -2
// when a cap ended it early.
int WalkPeResources(const PeResourceSection& section, ResourceLeafCallback callback, void* user);

// Whether key is the wanted type or name: an integer ResName matches the same
// number, a narrow text matches a text of the same ASCII letters in either
// case (as the platform's lookup upper-cases both); no other byte matches.
bool ResourceKeyMatches(const ResourceKey& key, ResName wanted);

// How many leaves of one of the listed types hold one language.
struct TypeLanguage {
    uint32_t type;  // index into the listed types
    uint16_t language;
    uint32_t count;
};

// One walk: for each listed type, the languages its leaves hold and how many
// leaves each, ordered by type index, then language. Every entry of a type
// that the directory lists twice counts. Returns 0, -1 when the root cannot be
// read, or -2 when a cap ended the walk or out had too few places (then out
// holds the pairs met first, in order); *found is how many out holds.
int CountTypeLanguages(const PeResourceSection& section, const ResName* types, uint32_t typeCount,
                       TypeLanguage* out, uint32_t capacity, uint32_t* found);

// The distinct languages of pairs (any order), ascending, as many as fit in
// languages; returns how many it wrote.
uint32_t DistinctLanguages(const TypeLanguage* pairs, uint32_t count, uint16_t* languages,
                           uint32_t capacity);
