// Group directories built by hand: the writers' own GroupEntry record shares
// its name with the catalogue's, so they stay out of this file.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/images/GroupDirectory.h"

namespace {

// A cursor group: entries of width, height (with the mask),
// planes, bit count, image size and id, 16 bits each but the 32-bit size.
std::vector<uint8_t> CursorGroup(uint16_t claimed, uint16_t entries) {
    std::vector<uint8_t> bytes(6 + 14 * size_t{entries}, 0);
    PokeU16(&bytes[2], 2);
    PokeU16(&bytes[4], claimed);
    for (uint16_t k = 0; k < entries; ++k) {
        uint8_t* entry = &bytes[6 + 14 * k];
        PokeU16(entry, 32);
        PokeU16(entry + 2, static_cast<uint16_t>(0x8000 + k));
        PokeU16(entry + 4, 1);
        PokeU16(entry + 6, 1);
        PokeU32(entry + 8, 0x100 + k);
        PokeU16(entry + 12, static_cast<uint16_t>(40 + k));
    }
    return bytes;
}

TEST(GroupDirectory, OnlyEntriesWhollyInsideAreCountedAndRead) {
    std::vector<uint8_t> group = CursorGroup(3, 3);
    EXPECT_EQ(3u, GroupEntryCount(group.data(), group.size()));
    GroupEntry entry = {};
    ASSERT_TRUE(ReadGroupEntry(group.data(), group.size(), 2, &entry));
    EXPECT_EQ(0x102u, entry.imageBytes);
    EXPECT_EQ(42, entry.imageId);
    // The last entry cut by one byte; a count claiming more than is there.
    EXPECT_EQ(2u, GroupEntryCount(group.data(), group.size() - 1));
    EXPECT_FALSE(ReadGroupEntry(group.data(), group.size() - 1, 2, &entry));
    EXPECT_EQ(42, entry.imageId);
    PokeU16(&group[4], 0xFFFF);
    EXPECT_EQ(3u, GroupEntryCount(group.data(), group.size()));
    EXPECT_EQ(0u, GroupEntryCount(group.data(), 5));

    std::vector<uint8_t> huge = CursorGroup(0xFFFF, 2000);
    EXPECT_EQ(kMaxGroupEntries, GroupEntryCount(huge.data(), huge.size()));
    EXPECT_FALSE(ReadGroupEntry(huge.data(), huge.size(), kMaxGroupEntries, &entry));
}

TEST(GroupDirectory, LookupDirectoryOfACursorGroup) {
    // Whichever file it comes from, a cursor entry's height already counts
    // the mask: every entry passes as it is, type 2.
    std::vector<uint8_t> group = CursorGroup(2, 2);
    std::vector<uint8_t> out(LookupDirectoryBytes(2), 0xEE);
    WriteLookupDirectory(group.data(), group.size(), 2, true, out.data());
    EXPECT_EQ(0, PeekU16(&out[0]));
    EXPECT_EQ(2, PeekU16(&out[2]));
    EXPECT_EQ(2, PeekU16(&out[4]));
    EXPECT_EQ(0, memcmp(&group[6], &out[6], 28));

    // An icon group passes as it is, type 1.
    WriteLookupDirectory(group.data(), group.size(), 2, false, out.data());
    EXPECT_EQ(1, PeekU16(&out[2]));
    EXPECT_EQ(0, memcmp(&group[6], &out[6], 28));

    // More asked for than the bytes hold: only what exists, and the count says so.
    std::vector<uint8_t> big(LookupDirectoryBytes(5), 0xEE);
    WriteLookupDirectory(group.data(), group.size(), 5, true, big.data());
    EXPECT_EQ(2, PeekU16(&big[4]));
    EXPECT_EQ(0xEE, big[6 + 28]);
}

}  // namespace
