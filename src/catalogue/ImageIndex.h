// The member images of icon and cursor groups, found by their integer names.
// A 16-bit file's images are indexed once per build, so that n groups over n
// images cost O(n log n) instead of a table walk per look-up.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/ResourceSource.h"
#include "formats/executables/NeIdIndex.h"

struct ImageIndex {
    NeIdEntry* entries;  // fixed block, or null
    uint32_t count;
};

// Indexes the RT_CURSOR (cursor) or RT_ICON images of a 16-bit source; a data
// module needs no index (the platform finds by name). False when the index
// block could not be allocated (last error from the allocation).
bool BuildImageIndex(const ResourceSource& source, bool cursor, ImageIndex* index);

void FreeImageIndex(ImageIndex* index);

// The bytes of image id through either kind of source. index may be null for
// a data module. False when absent or unreadable.
bool FindGroupImage(const ResourceSource& source, const ImageIndex* index, bool cursor, uint16_t id,
                    const uint8_t** data, uint32_t* size);
