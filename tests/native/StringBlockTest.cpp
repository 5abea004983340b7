// Reading string table blocks: which names are blocks, and where each counted
// string lies, for whole and for cut blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/texts/StringBlock.h"
#include "writers/StringBlockWriter.h"

namespace {

// A 32-bit image's block: u16 length then that many UTF-16 units, per string.
std::vector<uint8_t> PeBlock(const std::vector<std::u16string>& strings) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < kStringsPerBlock; ++i) {
        std::u16string text = i < strings.size() ? strings[i] : u"";
        bytes.push_back(static_cast<uint8_t>(text.size()));
        bytes.push_back(static_cast<uint8_t>(text.size() >> 8));
        for (char16_t unit : text) {
            bytes.push_back(static_cast<uint8_t>(unit));
            bytes.push_back(static_cast<uint8_t>(unit >> 8));
        }
    }
    return bytes;
}

std::string NeText(const Bytes& block, const StoredString& s) {
    return std::string(block.begin() + s.offset, block.begin() + s.offset + s.length);
}

TEST(StringBlock, OnlyIntegerBlocksOneTo4096GiveIdentifiers) {
    uint16_t first = 7;
    EXPECT_TRUE(StringBlockFirstId(MakeIntResName(1), &first) && first == 0);
    EXPECT_TRUE(StringBlockFirstId(MakeIntResName(2), &first) && first == 16);
    EXPECT_TRUE(StringBlockFirstId(MakeIntResName(4096), &first) && first == 65520);
    EXPECT_FALSE(StringBlockFirstId(MakeIntResName(0), &first));
    EXPECT_FALSE(StringBlockFirstId(MakeIntResName(4097), &first));
    EXPECT_FALSE(StringBlockFirstId("4", &first));
}

TEST(StringBlock, EmptyStringsKeepTheirSlot) {
    Bytes ne = MakeNeStringBlock({"One", "", "Three"});
    StoredString s[kStringsPerBlock];
    ASSERT_EQ(kStringsPerBlock, ReadNeStringBlock(ne.data(), ne.size(), s));
    EXPECT_EQ(0u, s[1].length);
    EXPECT_EQ("Three", NeText(ne, s[2]));

    std::vector<uint8_t> pe = PeBlock({u"", u"ab", u"", std::u16string(65535, u'x')});
    ASSERT_EQ(kStringsPerBlock, ReadPeStringBlock(pe.data(), pe.size(), s));
    EXPECT_EQ(4u, s[1].offset);
    EXPECT_EQ(65535u, s[3].length);
}

TEST(StringBlock, CutBlockEndsAtTheFirstStringThatDoesNotFit) {
    Bytes ne = MakeNeStringBlock({"One", "Two", "Three"});
    StoredString s[kStringsPerBlock];
    EXPECT_EQ(1u, ReadNeStringBlock(ne.data(), 6, s));  // inside "Two"
    EXPECT_EQ(0u, s[1].length);
    EXPECT_EQ(2u, ReadNeStringBlock(ne.data(), 8, s));  // without the length of "Three"

    std::vector<uint8_t> pe = PeBlock({u"ab", u"cd"});
    EXPECT_EQ(1u, ReadPeStringBlock(pe.data(), 9, s));  // "cd" lacks its text
    EXPECT_EQ(1u, ReadPeStringBlock(pe.data(), 7, s));  // half of "cd"'s length word
    EXPECT_EQ(0u, ReadPeStringBlock(pe.data(), 5, s));  // "ab" lacks its last byte
}

TEST(StringBlock, AFullWidthCharacterGuessesTwiceAsWideAsALatinLetter) {
    const uint8_t text[] = {'A', 0, 0x7F, 0, 0x80, 0, 0xC6, 0x30, 0x42, 0xFF};
    EXPECT_EQ(0u, PeStringWidthGuess(text, 0));
    EXPECT_EQ(2u, PeStringWidthGuess(text, 2));
    EXPECT_EQ(8u, PeStringWidthGuess(text, 5));
}

}  // namespace
