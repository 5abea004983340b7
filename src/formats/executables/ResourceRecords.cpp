// Name slots and store arithmetic of the list records.
#include "formats/executables/ResourceRecords.h"

#include <cstring>

uint32_t ResNameSlotSize(ResName name) {
    if (IsIntResName(name))
        return 4;
    size_t length = strlen(name);
    if (length + 1 <= 4)
        return 4;
    // The text and its NUL, rounded up: (length with the two low bits cleared) + 4.
    return static_cast<uint32_t>((length & ~size_t{3}) + 4);
}

void StoreResName(uint8_t* slot, ResName name) {
    if (IsIntResName(name)) {
        PokeU16(slot, 0);
        PokeU16(slot + 2, ResNameId(name));
        return;
    }
    size_t length = strlen(name);
    if (length == 0) {
        // A bare NUL would read back as an identifier: mark the empty text.
        slot[0] = 0;
        slot[1] = 1;
        return;
    }
    memcpy(slot, name, length + 1);
}

ResName ReadResName(const uint8_t* slot) {
    if (slot[0] != 0)
        return reinterpret_cast<ResName>(slot);
    if (slot[1] == 1)
        return "";
    return MakeIntResName(PeekU16(slot + 2));
}

int64_t StoreGrowthSize(uint64_t blockSize, int32_t used, uint32_t recordSize, int32_t slack) {
    int64_t needed = int64_t{used} + recordSize;
    if (blockSize >= static_cast<uint64_t>(needed))
        return 0;
    int64_t grown = needed + slack;
    if (grown > INT32_MAX)
        return -1;
    return grown;
}

int32_t TextNameBufferBytes(ResName name) {
    if (IsIntResName(name))
        return 0;
    size_t length = strlen(name);
    if (length > static_cast<size_t>(INT32_MAX - 3))
        return INT32_MAX;
    return static_cast<int32_t>(length + 3);
}

int64_t MemberArrayBytes(int32_t count) {
    int64_t bytes = int64_t{count} * static_cast<int64_t>(sizeof(GroupMember));
    if (count < 0 || bytes > INT32_MAX)
        return -1;
    return bytes;
}
