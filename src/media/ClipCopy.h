// A clip's first frame and whole sound track as clipboard blocks, read from the
// clip's bytes in memory through the AVI file layer.
#pragma once

#include <windows.h>

#include <cstdint>

struct ClipCopy {
    HGLOBAL frame;      // CF_DIB block, or null
    HGLOBAL wave;       // CF_WAVE block, or null
    DWORD systemError;  // non-zero: an allocation failed with this code
    HRESULT aviError;   // non-zero: an AVI call failed with this code
};

// Fills copy with what the clip offers; the caller owns the blocks. A clip
// without video gives no frame and one without sound no wave, neither an
// error; a frame the system cannot decode is left out without an error too.
void ReadClipCopy(const uint8_t* data, uint32_t size, ClipCopy* copy);
