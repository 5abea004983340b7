#include "formats/executables/TargetCheck.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/NeTableRule.h"

namespace {

const uint32_t kDosHeaderSize = 64;
const uint32_t kNewHeaderSize = 248;  // signature + file header + PE32 optional header
const uint32_t kSectionHeaderSize = 40;

const uint16_t kMzMagic = 0x5A4D;
const uint16_t kNeSignature = 0x454E;
const uint32_t kPeSignature = 0x00004550;
const uint16_t kPe32Magic = 0x10B;
const uint16_t kPe32OptionalHeaderSize = 224;
const uint16_t kPe32PlusMagic = 0x20B;
const uint16_t kPe32PlusOptionalHeaderSize = 240;
// A PE32+ optional header runs this far past the block read for a PE32 one.
const uint32_t kPe32PlusExtraBytes = kPe32PlusOptionalHeaderSize - kPe32OptionalHeaderSize;

// Reads count bytes at the current position. Whatever a short file does not
// deliver reads as zero, so no later test rests on stale buffer contents.
bool ReadBlock(const TargetByteSource& source, uint8_t* buffer, uint32_t count) {
    uint32_t delivered = 0;
    if (!source.read(source.context, buffer, count, &delivered))
        return false;
    if (delivered < count)
        memset(buffer + delivered, 0, count - delivered);
    return true;
}

// The section name is 8 bytes padded with zeros; a name of 8 characters has no
// terminator, so the comparison never looks past the field.
bool IsResourceSectionName(const uint8_t* name) {
    static const uint8_t kRsrc[6] = {'.', 'r', 's', 'r', 'c', 0};
    return memcmp(name, kRsrc, sizeof(kRsrc)) == 0;
}

bool CheckNeHeader(const uint8_t* header, uint64_t size, uint64_t newHeaderOffset) {
    // The NE reader asks the same question of the same fields, so a file that
    // passes here never gets a page that lists nothing for want of a table.
    return NeResourceTableInFile(size, newHeaderOffset, PeekU16(header + kNeResourceTableField));
}

// The bytes between the block already read and the section table: none for
// PE32, the rest of the optional header for PE32+. -1 for any other header,
// and for one whose magic and size disagree.
int32_t OptionalHeaderRemainder(const uint8_t* header, PeImageWidths widths) {
    const uint16_t optionalSize = PeekU16(header + 0x14);
    const uint16_t magic = PeekU16(header + 0x18);
    if (optionalSize == kPe32OptionalHeaderSize && magic == kPe32Magic)
        return 0;
    if (widths == kPe32AndPe32Plus && optionalSize == kPe32PlusOptionalHeaderSize &&
        magic == kPe32PlusMagic) {
        return static_cast<int32_t>(kPe32PlusExtraBytes);
    }
    return -1;
}

bool CheckPeHeader(const TargetByteSource& source, const uint8_t* header, uint64_t size,
                   uint64_t newHeaderOffset, PeImageWidths widths) {
    const int32_t remainder = OptionalHeaderRemainder(header, widths);
    if (remainder < 0)
        return false;
    uint16_t sectionCount = PeekU16(header + 0x06);
    // The whole section table lies inside the file, even when the wanted section
    // comes early in it. At most 65535 × 40 bytes: no 64-bit sum can wrap.
    const uint64_t tableOffset = newHeaderOffset + kNewHeaderSize + uint64_t(remainder);
    if (size < tableOffset + uint64_t{kSectionHeaderSize} * sectionCount)
        return false;
    if (sectionCount == 0)
        return false;
    // Reads stay sequential: the rest of the optional header is read past, not
    // sought over.
    uint8_t skipped[kPe32PlusExtraBytes];
    if (remainder > 0 && !ReadBlock(source, skipped, static_cast<uint32_t>(remainder)))
        return false;
    uint8_t section[kSectionHeaderSize];
    for (uint32_t i = 0; i < sectionCount; ++i) {
        if (!ReadBlock(source, section, kSectionHeaderSize))
            return false;
        if (IsResourceSectionName(section))
            return true;
    }
    return false;
}

}  // namespace

bool CheckTargetHeaders(const TargetByteSource& source, PeImageWidths widths) {
    // Sums are taken in 64 bits: an e_lfanew near 4 GiB must not wrap past the
    // size tests.
    const uint64_t size = source.size;
    if (size < kDosHeaderSize)
        return false;

    uint8_t dosHeader[kDosHeaderSize];
    if (!ReadBlock(source, dosHeader, kDosHeaderSize))
        return false;
    if (PeekU16(dosHeader) != kMzMagic)
        return false;

    const uint32_t newHeaderOffset = PeekU32(dosHeader + 0x3C);
    if (size < uint64_t{newHeaderOffset} + 4)
        return false;
    // The move is a signed distance from the start: the top bit set is a failed
    // move whatever the source would make of it.
    if (newHeaderOffset > 0x7FFFFFFFu)
        return false;
    if (!source.seek(source.context, static_cast<int32_t>(newHeaderOffset)))
        return false;

    uint8_t newHeader[kNewHeaderSize];
    if (!ReadBlock(source, newHeader, kNewHeaderSize))
        return false;

    if (PeekU16(newHeader) == kNeSignature) {
        return CheckNeHeader(newHeader, size, newHeaderOffset);
    }
    if (PeekU32(newHeader) == kPeSignature) {
        return CheckPeHeader(source, newHeader, size, newHeaderOffset, widths);
    }
    return false;
}
