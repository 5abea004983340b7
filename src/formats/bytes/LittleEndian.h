// Little-endian getters over (data, size). Every value a target file gives is
// read through these: the bound is tested before the read, and a failed test
// leaves the output untouched and answers false.
#pragma once

#include <cstddef>
#include <cstdint>

// True when count bytes starting at offset lie inside a block of size bytes.
// Written so that no sum can wrap around.
inline bool BytesInside(size_t size, size_t offset, size_t count) {
    return offset <= size && count <= size - offset;
}

inline uint16_t PeekU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t PeekU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void PokeU16(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline void PokeU32(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
    p[2] = static_cast<uint8_t>(value >> 16);
    p[3] = static_cast<uint8_t>(value >> 24);
}

inline bool ReadU8(const uint8_t* data, size_t size, size_t offset, uint8_t* out) {
    if (!BytesInside(size, offset, 1))
        return false;
    *out = data[offset];
    return true;
}

inline bool ReadU16(const uint8_t* data, size_t size, size_t offset, uint16_t* out) {
    if (!BytesInside(size, offset, 2))
        return false;
    *out = PeekU16(data + offset);
    return true;
}

inline bool ReadU32(const uint8_t* data, size_t size, size_t offset, uint32_t* out) {
    if (!BytesInside(size, offset, 4))
        return false;
    *out = PeekU32(data + offset);
    return true;
}
