// Whether a file is an executable image that can carry resources, decided from
// its headers alone. Platform-free: the file is reached through a byte source
// that reads sequentially and can be repositioned once.
#pragma once

#include <cstdint>

struct TargetByteSource {
    void* context;
    uint32_t size;  // low 32 bits of the file size
    // Reads up to count bytes at the current position into buffer; false when
    // the read fails. Fewer bytes than asked for are not a failure.
    bool (*read)(void* context, uint8_t* buffer, uint32_t count, uint32_t* delivered);
    // Moves to offset from the start (a signed distance); false when that fails.
    bool (*seek)(void* context, int32_t offset);
};

// Which PE images get a page. The 64-bit library sits in 64-bit shells, whose
// files are mostly PE32+ images; the 32-bit one keeps to PE32.
enum PeImageWidths { kPe32Only, kPe32AndPe32Plus };

// A PE image of the accepted widths with a ".rsrc" section, or an NE image
// whose header names a resource table.
bool CheckTargetHeaders(const TargetByteSource& source, PeImageWidths widths);
