// A file held in memory, served to the target check as its byte source: reads
// deliver what lies at the position and nothing past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "formats/executables/TargetCheck.h"

struct MemoryTargetFile {
    const uint8_t* data;
    size_t size;
    size_t position;
};

inline bool ReadMemoryTargetFile(void* context, uint8_t* buffer, uint32_t count,
                                 uint32_t* delivered) {
    MemoryTargetFile& file = *static_cast<MemoryTargetFile*>(context);
    size_t available = file.position < file.size ? file.size - file.position : 0;
    size_t n = count < available ? count : available;
    if (n > 0)
        memcpy(buffer, file.data + file.position, n);
    file.position += n;
    *delivered = static_cast<uint32_t>(n);
    return true;
}

inline bool SeekMemoryTargetFile(void* context, int32_t offset) {
    if (offset < 0)
        return false;
    static_cast<MemoryTargetFile*>(context)->position = static_cast<size_t>(offset);
    return true;
}

// claimedSize is the size the check is told; it may differ from the bytes held.
inline TargetByteSource MemoryTargetSource(MemoryTargetFile* file, uint32_t claimedSize) {
    TargetByteSource source;
    source.context = file;
    source.size = claimedSize;
    source.read = ReadMemoryTargetFile;
    source.seek = SeekMemoryTargetFile;
    return source;
}
