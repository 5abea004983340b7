#include "formats/texts/StringBlock.h"

#include "formats/bytes/LittleEndian.h"

namespace {

// unitBytes 1: length byte and 8-bit text; 2: length word and UTF-16 text.
uint32_t ReadCountedStrings(const uint8_t* data, size_t size, size_t unitBytes,
                            StoredString strings[kStringsPerBlock]) {
    for (uint32_t i = 0; i < kStringsPerBlock; ++i)
        strings[i] = StoredString{0, 0};
    size_t at = 0;
    uint32_t read = 0;
    for (; read < kStringsPerBlock; ++read) {
        uint32_t length = 0;
        if (unitBytes == 1) {
            uint8_t byteLength = 0;
            if (!ReadU8(data, size, at, &byteLength))
                break;
            length = byteLength;
        } else {
            uint16_t wordLength = 0;
            if (!ReadU16(data, size, at, &wordLength))
                break;
            length = wordLength;
        }
        size_t text = at + unitBytes;
        if (!BytesInside(size, text, length * unitBytes))
            break;
        strings[read] = StoredString{text, length};
        at = text + length * unitBytes;
    }
    return read;
}

}  // namespace

bool StringBlockFirstId(ResName name, uint16_t* firstId) {
    if (!IsIntResName(name))
        return false;
    uint32_t block = ResNameId(name);
    if (block < 1 || block > kLastStringBlock)
        return false;
    *firstId = static_cast<uint16_t>((block - 1) * kStringsPerBlock);
    return true;
}

uint32_t ReadNeStringBlock(const uint8_t* data, size_t size,
                           StoredString strings[kStringsPerBlock]) {
    return ReadCountedStrings(data, size, 1, strings);
}

uint32_t ReadPeStringBlock(const uint8_t* data, size_t size,
                           StoredString strings[kStringsPerBlock]) {
    return ReadCountedStrings(data, size, 2, strings);
}

uint32_t PeStringWidthGuess(const uint8_t* text, uint32_t length) {
    uint32_t width = 0;
    for (uint32_t i = 0; i < length; ++i)
        width += PeekU16(text + 2 * i) < 0x80 ? 1 : 2;
    return width;
}
