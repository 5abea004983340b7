#include "formats/bytes/BoundedName.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"

bool ReadBoundedName(const uint8_t* slot, size_t available, BoundedName* name) {
    if (available < 4)
        return false;
    *name = BoundedName{};
    if (slot[0] == 0) {
        // 0x00 0x01 marks the empty text; 0x00 0x00 an identifier.
        name->isText = slot[1] == 1;
        name->text = reinterpret_cast<const char*>(slot);
        name->id = name->isText ? 0 : PeekU16(slot + 2);
        return true;
    }
    const void* end = memchr(slot, 0, available);
    size_t length =
        end != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(end) - slot) : available;
    name->isText = true;
    name->text = reinterpret_cast<const char*>(slot);
    name->length = length > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(length);
    return true;
}
