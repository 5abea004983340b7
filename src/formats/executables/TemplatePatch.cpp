#include "formats/executables/TemplatePatch.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"

namespace {

// "MS UI Gothic" and its terminator, the typeface the page's template is built with.
const uint16_t kStoredTypeface[] = {0x004D, 0x0053, 0x0020, 0x0055, 0x0049, 0x0020, 0x0047,
                                    0x006F, 0x0074, 0x0068, 0x0069, 0x0063, 0x0000};

// "ＭＳ Ｐゴシック" and its terminator, as UTF-16 code units: the typeface the
// older Japanese systems carry in place of "MS UI Gothic".
const uint16_t kLegacyTypeface[] = {0xFF2D, 0xFF33, 0x0020, 0xFF30, 0x30B4,
                                    0x30B7, 0x30C3, 0x30AF, 0x0000};

bool WordIs(const uint8_t* data, uint32_t size, uint32_t offset, uint16_t expected) {
    uint16_t value = 0;
    return ReadU16(data, size, offset, &value) && value == expected;
}

bool HasPageShape(const uint8_t* source, uint32_t size) {
    if (size < kTemplateItemsOffset)
        return false;
    // Extended template: version 1, signature 0xFFFF.
    if (!WordIs(source, size, 0, 1) || !WordIs(source, size, 2, 0xFFFF))
        return false;
    // No menu, no class, empty title: three zero words before the font fields.
    if (!WordIs(source, size, 26, 0) || !WordIs(source, size, 28, 0) ||
        !WordIs(source, size, 30, 0)) {
        return false;
    }
    for (uint32_t i = 0; i < sizeof(kStoredTypeface) / sizeof(kStoredTypeface[0]); ++i) {
        if (!WordIs(source, size, kTemplateTypefaceOffset + 2 * i, kStoredTypeface[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool PatchTemplateTypeface(const uint8_t* source, uint32_t sourceSize, uint8_t* destination,
                           uint32_t destinationSize) {
    if (source == nullptr || destination == nullptr)
        return false;
    if (!HasPageShape(source, sourceSize) || destinationSize < sourceSize)
        return false;
    std::memcpy(destination, source, kTemplateTypefaceOffset);
    for (uint32_t i = 0; i < sizeof(kLegacyTypeface) / sizeof(kLegacyTypeface[0]); ++i) {
        PokeU16(destination + kTemplateTypefaceOffset + 2 * i, kLegacyTypeface[i]);
    }
    // The two bytes after the new typeface only pad the items to 4 bytes.
    destination[54] = 0;
    destination[55] = 0;
    std::memmove(destination + kPatchedItemsOffset, source + kTemplateItemsOffset,
                 sourceSize - kTemplateItemsOffset);
    return true;
}
