// A record's name slot read without trusting it to end inside its store: an
// item value that points into the middle of a record still yields a name that
// stays within the bytes counted.
#pragma once

#include <cstddef>
#include <cstdint>

struct BoundedName {
    bool isText;
    uint16_t id;       // identifiers only
    const char* text;  // texts only: length bytes, not necessarily NUL-terminated
    uint32_t length;
};

// Reads the slot at slot, of which available bytes belong to the store. False
// when fewer than the 4 bytes of the smallest slot are available. A text that
// finds no NUL within available bytes ends there.
bool ReadBoundedName(const uint8_t* slot, size_t available, BoundedName* name);
