// Saved files copy the target's bytes; what is made here are the directories
// and headers, from sizes counted over exactly the bytes that will be copied.
#include "formats/output/SavedFiles.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"
#include "formats/images/DibLayout.h"
#include "formats/images/GroupDirectory.h"

namespace {

const uint64_t kMaxFileBytes = 0x7FFFFFFF;
const size_t kIconDirBytes = 6;
const size_t kIconDirEntryBytes = 16;
const size_t kHotSpotBytes = 4;
const uint16_t kIconType = 1;
const uint16_t kCursorType = 2;

// What the file stores of a member: a cursor's image after its hot spot, cut
// to the image's own size where the stored length may hold padding (an image
// whose header cannot be read keeps every byte). A null data pointer when
// there is nothing to store.
MemberBytes StoredImage(const SavedIconGroup& group, const MemberBytes& member) {
    const size_t skip = group.cursor ? kHotSpotBytes : 0;
    if (member.data == nullptr || member.size <= skip)
        return MemberBytes{nullptr, 0};
    MemberBytes image = {member.data + skip, member.size - skip};
    MemberImageLayout layout;
    if (group.paddedLengths && ReadMemberImageLayout(image.data, image.size, true, &layout))
        image.size = layout.imageBytes;
    return image;
}

// Directory bytes hold 8-bit sides, where 0 stands for 256.
uint8_t SideByte(uint32_t side) {
    return side >= 256 ? 0 : static_cast<uint8_t>(side);
}

bool PlanEntries(const SavedIconGroup& group, const MemberBytes* members, uint32_t first,
                 uint32_t count, IconFilePlan* plan) {
    *plan = IconFilePlan{};
    uint64_t imageBytes = 0;
    uint32_t written = 0;
    for (uint32_t k = 0; k < count; ++k) {
        MemberBytes image = StoredImage(group, members[k]);
        if (image.data == nullptr)
            continue;
        // Capped one by one, at most kMaxGroupEntries of them stay far inside 64 bits.
        if (image.size > kMaxFileBytes)
            return false;
        imageBytes += image.size;
        ++written;
    }
    uint64_t fileBytes = kIconDirBytes + uint64_t{written} * kIconDirEntryBytes + imageBytes;
    if (written == 0 || fileBytes > kMaxFileBytes)
        return false;
    *plan = IconFilePlan{first, count, written, static_cast<uint32_t>(fileBytes)};
    return true;
}

}  // namespace

bool PlanGroupFile(const SavedIconGroup& group, const MemberBytes* members, uint32_t memberCount,
                   IconFilePlan* plan) {
    uint32_t count = GroupEntryCount(group.directory, group.directorySize);
    return PlanEntries(group, members, 0, memberCount < count ? memberCount : count, plan);
}

bool PlanMemberFile(const SavedIconGroup& group, uint32_t entry, const MemberBytes* member,
                    IconFilePlan* plan) {
    *plan = IconFilePlan{};
    if (entry >= GroupEntryCount(group.directory, group.directorySize))
        return false;
    return PlanEntries(group, member, entry, 1, plan);
}

void WriteIconFile(const SavedIconGroup& group, const MemberBytes* members,
                   const IconFilePlan& plan, uint8_t* out) {
    PokeU16(out, 0);
    PokeU16(out + 2, group.cursor ? kCursorType : kIconType);
    PokeU16(out + 4, static_cast<uint16_t>(plan.written));
    uint8_t* entry = out + kIconDirBytes;
    size_t offset = kIconDirBytes + size_t{plan.written} * kIconDirEntryBytes;
    for (uint32_t k = 0; k < plan.entryCount; ++k) {
        MemberBytes image = StoredImage(group, members[k]);
        if (image.data == nullptr)
            continue;
        // The plan has placed these entries inside the directory.
        const uint8_t* from =
            group.directory + kGroupHeaderBytes + size_t{plan.firstEntry + k} * kGroupEntryBytes;
        if (group.cursor) {
            // The directory's height counts the mask's rows, and the image's
            // own header is the better witness of both sides.
            MemberImageLayout layout;
            uint32_t width = PeekU16(from);
            uint32_t height = PeekU16(from + 2) / 2;
            if (ReadMemberImageLayout(image.data, image.size, true, &layout)) {
                width = layout.width;
                height = layout.height;
            }
            entry[0] = SideByte(width);
            entry[1] = SideByte(height);
            entry[2] = 0;
            memcpy(entry + 4, members[k].data, kHotSpotBytes);
        } else {
            memcpy(entry, from, 3);
            memcpy(entry + 4, from + 4, 4);
        }
        entry[3] = 0;
        PokeU32(entry + 8, static_cast<uint32_t>(image.size));
        PokeU32(entry + 12, static_cast<uint32_t>(offset));
        memcpy(out + offset, image.data, image.size);
        offset += image.size;
        entry += kIconDirEntryBytes;
    }
}

bool PlanBmpFile(const uint8_t* data, size_t size, bool paddedLength, BmpFilePlan* plan) {
    *plan = BmpFilePlan{};
    if (size == 0 || size > kMaxFileBytes - kBmpFileHeaderBytes)
        return false;
    // The extent lies inside size, so every sum below stays under 2 GB.
    BitmapExtent extent = ReadBitmapExtent(data, size);
    plan->bitsOffset = kBmpFileHeaderBytes + extent.bitsOffset;
    plan->resourceBytes = paddedLength ? extent.ownBytes : static_cast<uint32_t>(size);
    plan->fileBytes = kBmpFileHeaderBytes + plan->resourceBytes;
    return true;
}

void WriteBmpFile(const uint8_t* data, const BmpFilePlan& plan, uint8_t* out) {
    out[0] = 'B';
    out[1] = 'M';
    PokeU32(out + 2, plan.fileBytes);
    PokeU32(out + 6, 0);
    PokeU32(out + 10, plan.bitsOffset);
    memcpy(out + kBmpFileHeaderBytes, data, plan.resourceBytes);
}

uint32_t ClipFileBytes(const uint8_t* data, size_t size, bool paddedLength) {
    const uint32_t whole = static_cast<uint32_t>(size);
    uint32_t formBytes = 0;
    if (!paddedLength || size < 8 || memcmp(data, "RIFF", 4) != 0 ||
        !ReadU32(data, size, 4, &formBytes) || formBytes > size - 8) {
        return whole;
    }
    return formBytes + 8;
}

namespace {

// The characters around a row's text: tab, CR, LF.
const uint32_t kRowMarks = 3;

uint32_t DecimalDigits(uint32_t value) {
    uint32_t digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// One character of a row in the file's unit: a byte, or a UTF-16LE unit.
void WriteChar(uint32_t c, size_t unitBytes, uint8_t* out, size_t* offset) {
    out[*offset] = static_cast<uint8_t>(c);
    if (unitBytes == 2)
        out[*offset + 1] = 0;
    *offset += unitBytes;
}

// The digits go in from the last one, so that no buffer is needed.
void WriteDecimal(uint32_t value, size_t unitBytes, uint8_t* out, size_t* offset) {
    const size_t end = *offset + size_t{DecimalDigits(value)} * unitBytes;
    for (size_t at = end; at > *offset; value /= 10) {
        at -= unitBytes;
        size_t digit = at;
        WriteChar('0' + value % 10, unitBytes, out, &digit);
    }
    *offset = end;
}

}  // namespace

uint32_t StringTextStartBytes(bool neFile) {
    return neFile ? 0 : 2;
}

uint64_t StringRowBytes(bool neFile, const StringRow& row) {
    const uint64_t unitBytes = neFile ? 1 : 2;
    return (uint64_t{DecimalDigits(row.id)} + kRowMarks + row.length) * unitBytes;
}

bool PlanStringRow(bool neFile, const StringRow& row, uint32_t* fileBytes) {
    uint64_t total = *fileBytes + StringRowBytes(neFile, row);
    if (total > kMaxFileBytes)
        return false;
    *fileBytes = static_cast<uint32_t>(total);
    return true;
}

size_t WriteStringTextStart(bool neFile, uint8_t* file) {
    if (!neFile) {
        file[0] = 0xFF;
        file[1] = 0xFE;
    }
    return StringTextStartBytes(neFile);
}

size_t WriteStringRow(bool neFile, const StringRow& row, uint8_t* file, size_t offset) {
    const size_t unitBytes = neFile ? 1 : 2;
    WriteDecimal(row.id, unitBytes, file, &offset);
    WriteChar('\t', unitBytes, file, &offset);
    memcpy(file + offset, row.text, size_t{row.length} * unitBytes);
    offset += size_t{row.length} * unitBytes;
    WriteChar('\r', unitBytes, file, &offset);
    WriteChar('\n', unitBytes, file, &offset);
    return offset;
}
