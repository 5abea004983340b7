#include "catalogue/WideStringRows.h"

#include <cstring>

#include "catalogue/ResourceKinds.h"
#include "formats/texts/StringBlock.h"

const wchar_t* ReadWideStringRowText(const ResourceSource& source, uint16_t id,
                                     const TextBuffer& text, int32_t* units) {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    const ResName block = MakeIntResName(static_cast<uint16_t>(id / kStringsPerBlock + 1));
    if (source.isNeImage ||
        !FindResourceBytes(source, ResourceKindType(kKindString), block, &data, &size) ||
        !ResourceBytesReadable(data, size)) {
        return nullptr;
    }
    StoredString strings[kStringsPerBlock];
    const uint32_t slot = id % kStringsPerBlock;
    if (slot >= ReadPeStringBlock(data, size, strings) || strings[slot].length == 0)
        return nullptr;
    const uint8_t* stored = data + strings[slot].offset;
    uint32_t length = 0;
    while (length < strings[slot].length &&
           (stored[2 * length] != 0 || stored[2 * length + 1] != 0))
        ++length;
    if (GrowTextBuffer(text, static_cast<int32_t>(length + 1) * 2) != 0)
        return nullptr;
    wchar_t* out = reinterpret_cast<wchar_t*>(*text.block);
    memcpy(out, stored, length * 2);
    out[length] = L'\0';
    *units = static_cast<int32_t>(length);
    return out;
}
