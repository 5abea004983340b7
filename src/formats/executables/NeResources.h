// The resource table of a 16-bit NE image, read from its bytes in memory. Every
// position the file gives is tested against the end of the bytes before use.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/bytes/ResName.h"

// A target mapped read-only (MapNeImage fills it; the two handles are Win32
// handles, kept as plain pointers so that the walk builds without windows.h).
struct MappedNeImage {
    void* file;
    void* mapping;
    const uint8_t* base;           // file offset 0
    const uint8_t* end;            // one past the last byte
    const uint8_t* resourceTable;  // inside [base, end)
};

// The header checks of MapNeImage over bytes already in memory: true when the
// NE header and the resource table position pass, with base, end and
// resourceTable filled (the handles are left alone).
bool LocateNeResourceTable(const uint8_t* base, size_t size, MappedNeImage* image);

// Non-zero to go on, 0 to stop. A text name points into the walk's own buffer
// and is valid only during the call.
typedef int (*NeResourceCallback)(ResName name, const uint8_t* data, uint32_t size, void* user);

// Calls back for each resource of the first type entry that matches type, in
// table order, until the callback stops or an entry fails a bounds check.
void EnumNeResources(const MappedNeImage& image, ResName type, NeResourceCallback callback,
                     void* user);

struct ResourceLookup {
    ResName wantedName;
    const uint8_t* foundData;  // preset to null to tell a miss from a find
    uint32_t foundSize;
};

// An NeResourceCallback whose user data is a ResourceLookup: stops at the
// resource whose name equals the wanted one.
int FindNamedResource(ResName name, const uint8_t* data, uint32_t size, void* lookup);
