// Any bytes as a string table block of either kind: every string the readers
// deliver is read whole, so a position or length outside the bytes is caught.
#include <cstddef>
#include <cstdint>

#include "formats/texts/StringBlock.h"

namespace {

uint32_t Touch(const uint8_t* data, const StoredString* strings, uint32_t read, size_t unitBytes) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < kStringsPerBlock; ++i) {
        if (i >= read && strings[i].length != 0)
            __builtin_trap();
        for (size_t b = 0; b < strings[i].length * unitBytes; ++b)
            sum += data[strings[i].offset + b];
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StoredString strings[kStringsPerBlock];
    volatile uint32_t sum = 0;
    sum = sum + Touch(data, strings, ReadNeStringBlock(data, size, strings), 1);
    sum = sum + Touch(data, strings, ReadPeStringBlock(data, size, strings), 2);
    uint16_t first = 0;
    if (size >= 2 &&
        StringBlockFirstId(MakeIntResName(static_cast<uint16_t>(data[0] | data[1] << 8)), &first))
        sum = sum + first;
    return 0;
}
