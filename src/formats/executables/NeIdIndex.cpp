// One walk of the table fills the index; every later look-up is a binary
// search. The index lives in the caller's block, so nothing here allocates.
#include "formats/executables/NeIdIndex.h"

#include <algorithm>

namespace {

struct CountWalk {
    uint32_t count;
};

int CountIntegerNamed(ResName name, const uint8_t*, uint32_t, void* user) {
    CountWalk* walk = static_cast<CountWalk*>(user);
    if (IsIntResName(name))
        ++walk->count;
    return 1;
}

struct FillWalk {
    NeIdEntry* entries;
    uint32_t capacity;
    uint32_t stored;
    uint32_t order;  // position in the type's table, text names included
};

int StoreIntegerNamed(ResName name, const uint8_t* data, uint32_t size, void* user) {
    FillWalk* walk = static_cast<FillWalk*>(user);
    uint32_t order = walk->order++;
    if (!IsIntResName(name))
        return 1;
    if (walk->stored == walk->capacity)
        return 0;
    walk->entries[walk->stored] = NeIdEntry{ResNameId(name), order, data, size};
    ++walk->stored;
    return 1;
}

bool ComesBefore(const NeIdEntry& a, const NeIdEntry& b) {
    if (a.id != b.id)
        return a.id < b.id;
    return a.order < b.order;
}

bool IdBelow(const NeIdEntry& entry, uint16_t id) {
    return entry.id < id;
}

}  // namespace

uint32_t CountNeIdResources(const MappedNeImage& image, ResName type) {
    CountWalk walk = {0};
    EnumNeResources(image, type, CountIntegerNamed, &walk);
    return walk.count;
}

uint32_t FillNeIdIndex(const MappedNeImage& image, ResName type, NeIdEntry* entries,
                       uint32_t capacity) {
    if (entries == nullptr || capacity == 0)
        return 0;
    FillWalk walk = {entries, capacity, 0, 0};
    EnumNeResources(image, type, StoreIntegerNamed, &walk);
    std::sort(entries, entries + walk.stored, ComesBefore);
    return walk.stored;
}

const NeIdEntry* FindNeId(const NeIdEntry* entries, uint32_t count, uint16_t id) {
    if (entries == nullptr)
        return nullptr;
    const NeIdEntry* end = entries + count;
    const NeIdEntry* found = std::lower_bound(entries, end, id, IdBelow);
    if (found == end || found->id != id)
        return nullptr;
    return found;
}
