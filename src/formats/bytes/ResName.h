// A resource name as the platform passes it: an integer identifier travels as a
// pointer value below 0x10000 (MAKEINTRESOURCE), anything else points at a
// NUL-terminated narrow text.
#pragma once

#include <cstdint>

typedef const char* ResName;

inline bool IsIntResName(ResName name) {
    return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

inline uint16_t ResNameId(ResName name) {
    return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
}

inline ResName MakeIntResName(uint16_t id) {
    return reinterpret_cast<ResName>(uintptr_t{id});
}
