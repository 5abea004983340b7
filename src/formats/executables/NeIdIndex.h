// The integer-named resources of one type of a 16-bit image, indexed once by
// identifier so that a build looks each one up in O(log n) instead of walking
// the table per look-up.
#pragma once

#include <cstdint>

#include "formats/executables/NeResources.h"

struct NeIdEntry {
    uint16_t id;
    uint32_t order;  // position in table order: the first of equal ids wins
    const uint8_t* data;
    uint32_t size;
};

// Integer-named resources of the first type entry matching type.
uint32_t CountNeIdResources(const MappedNeImage& image, ResName type);

// Fills entries (room for capacity) with the integer-named resources of type
// and sorts them by id, then table order. Returns how many were stored.
uint32_t FillNeIdIndex(const MappedNeImage& image, ResName type, NeIdEntry* entries,
                       uint32_t capacity);

// The first resource (in table order) named id, or null.
const NeIdEntry* FindNeId(const NeIdEntry* entries, uint32_t count, uint16_t id);
