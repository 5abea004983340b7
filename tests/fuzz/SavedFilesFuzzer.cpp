// Any group directory and member bytes, any bitmap, any string block: each
// saved file is written into a block of exactly its planned size, so that
// AddressSanitizer catches a write past it, and its directory must describe
// the file: offsets in order and inside it, the count matching, each image the
// member's own bytes.
//
// Input: a flag byte (cursor, 16-bit file), a 16-bit directory length, the
// directory, then per entry a 16-bit member length (top bit: not readable)
// and the member's bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/images/GroupDirectory.h"
#include "formats/output/SavedFiles.h"
#include "formats/texts/StringBlock.h"

namespace {

void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

bool SameBytes(const uint8_t* a, const uint8_t* b, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

// Plans and writes; checks the file against the members it was made from.
void SaveIcons(const SavedIconGroup& group, const MemberBytes* members, uint32_t count,
               int single) {
    const size_t skip = group.cursor ? 4 : 0;
    uint32_t readable = 0;
    for (uint32_t k = 0; k < count; ++k)
        readable += members[k].data != nullptr && members[k].size > skip;
    IconFilePlan plan;
    // The group form is handed one image more than there are entries: that one
    // is never looked at.
    bool planned = single < 0
                       ? PlanGroupFile(group, members, count + 1, &plan)
                       : PlanMemberFile(group, static_cast<uint32_t>(single), members, &plan);
    // Inputs this small never reach 2 GB: a refusal means nothing to save.
    Require(planned == (readable != 0));
    if (!planned)
        return;
    Require(plan.written == readable);
    std::vector<uint8_t> file(plan.fileBytes);
    WriteIconFile(group, members, plan, file.data());
    Require(PeekU16(&file[0]) == 0 && PeekU16(&file[2]) == (group.cursor ? 2 : 1));
    Require(PeekU16(&file[4]) == readable);
    size_t next = 6 + size_t{readable} * 16;
    const uint8_t* entry = &file[6];
    for (uint32_t k = 0; k < count; ++k) {
        if (members[k].data == nullptr || members[k].size <= skip)
            continue;
        // With padded lengths an image may be cut to its own size, never grown.
        uint32_t size = PeekU32(entry + 8);
        Require(PeekU32(entry + 12) == next && size <= members[k].size - skip && size != 0);
        Require(group.paddedLengths || size == members[k].size - skip);
        Require(BytesInside(file.size(), next, size));
        Require(SameBytes(&file[next], members[k].data + skip, size));
        Require(entry[3] == 0 && (!group.cursor || entry[2] == 0));
        next += size;
        entry += 16;
    }
    Require(next == file.size());
}

// Any bytes but none make a file; with a padded length it may be shorter.
void SaveBitmap(const uint8_t* data, size_t size, bool paddedLength) {
    BmpFilePlan plan;
    Require(PlanBmpFile(data, size, paddedLength, &plan) == (size != 0));
    if (size == 0)
        return;
    std::vector<uint8_t> file(plan.fileBytes);
    WriteBmpFile(data, plan, file.data());
    Require(file[0] == 'B' && file[1] == 'M' && PeekU32(&file[2]) == file.size());
    Require(plan.bitsOffset <= file.size() && PeekU32(&file[10]) == plan.bitsOffset);
    Require(plan.resourceBytes <= size && (paddedLength || plan.resourceBytes == size));
    Require(SameBytes(&file[14], data, plan.resourceBytes));
}

void SaveStrings(const uint8_t* data, size_t size, bool neFile) {
    StoredString strings[kStringsPerBlock];
    uint32_t read =
        neFile ? ReadNeStringBlock(data, size, strings) : ReadPeStringBlock(data, size, strings);
    StringRow rows[kStringsPerBlock];
    uint32_t planned = StringTextStartBytes(neFile);
    for (uint32_t i = 0; i < read; ++i) {
        // Identifiers of one to five digits.
        rows[i] =
            StringRow{static_cast<uint16_t>(i * 4369), data + strings[i].offset, strings[i].length};
        Require(PlanStringRow(neFile, rows[i], &planned));
    }
    std::vector<uint8_t> file(planned);
    size_t at = WriteStringTextStart(neFile, file.data());
    for (uint32_t i = 0; i < read; ++i)
        at = WriteStringRow(neFile, rows[i], file.data(), at);
    Require(at == planned);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SaveBitmap(data, size, false);
    SaveBitmap(data, size, true);
    SaveStrings(data, size, false);
    SaveStrings(data, size, true);

    uint8_t flags = 0;
    uint16_t directoryBytes = 0;
    if (!ReadU8(data, size, 0, &flags) || !ReadU16(data, size, 1, &directoryBytes))
        return 0;
    size_t at = 3;
    size_t directorySize = directoryBytes < size - at ? directoryBytes : size - at;
    SavedIconGroup group = {data + at, directorySize, (flags & 1) != 0, (flags & 2) != 0};
    at += directorySize;
    uint32_t count = GroupEntryCount(group.directory, group.directorySize);
    std::vector<MemberBytes> members(count + 1, MemberBytes{nullptr, 0});
    for (uint32_t k = 0; k < count; ++k) {
        uint16_t word = 0;
        if (!ReadU16(data, size, at, &word))
            break;
        at += 2;
        size_t length = word & 0x7FFF;
        if (length > size - at)
            length = size - at;
        if ((word & 0x8000) == 0)
            members[k] = MemberBytes{data + at, length};
        at += length;
    }
    uint8_t extra = 0;
    members[count] = MemberBytes{&extra, 1};
    SaveIcons(group, members.data(), count, -1);
    for (uint32_t k = 0; k <= count; ++k) {
        IconFilePlan plan;
        if (k == count)
            Require(!PlanMemberFile(group, k, &members[k], &plan));
        else
            SaveIcons(group, &members[k], 1, static_cast<int>(k));
    }
    return 0;
}
