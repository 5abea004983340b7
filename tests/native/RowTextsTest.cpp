// Rows found by identifier as a list with rows of its own finds them, the
// window of rows read together, and texts cut at whole double-byte characters.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/texts/RowTexts.h"

namespace {

const LeadBytes kShiftJis = {{0x81, 0x9F, 0xE0, 0xFC, 0, 0}};
const uint16_t kIds[] = {5, 7, 9, 7};

TEST(RowTextsTest, FindsAfterTheStartRowAndWrapsBackToIt) {
    EXPECT_EQ(FindRowOfId(kIds, 4, -1, 5, false), 0);
    // The start row itself is not a match: the search begins after it.
    EXPECT_EQ(FindRowOfId(kIds, 4, 0, 5, false), -1);
    EXPECT_EQ(FindRowOfId(kIds, 4, 1, 7, false), 3);
    EXPECT_EQ(FindRowOfId(kIds, 4, 3, 7, false), -1);
    // Wrapping goes round to the start row, which it reaches last.
    EXPECT_EQ(FindRowOfId(kIds, 4, 3, 7, true), 1);
    EXPECT_EQ(FindRowOfId(kIds, 4, 0, 5, true), 0);
    EXPECT_EQ(FindRowOfId(kIds, 4, 2, 9, true), 2);
    // A start past the last row finds nothing unless the search wraps.
    EXPECT_EQ(FindRowOfId(kIds, 4, 10, 9, false), -1);
    EXPECT_EQ(FindRowOfId(kIds, 4, 10, 9, true), 2);
    EXPECT_EQ(FindRowOfId(kIds, 4, -1, 8, true), -1);
    EXPECT_EQ(FindRowOfId(kIds, 4, -2, 5, true), -1);
    EXPECT_EQ(FindRowOfId(nullptr, 0, -1, 5, true), -1);
}

TEST(RowTextsTest, SortedRowsFindEveryIdAndNoMissingOne) {
    const uint16_t sorted[] = {1, 4, 9, 200, 65535};
    for (int32_t row = 0; row < 5; ++row)
        EXPECT_EQ(FindRowOfSortedId(sorted, 5, sorted[row]), row);
    for (uint32_t missing : {0u, 2u, 10u, 65534u, 65536u})
        EXPECT_EQ(FindRowOfSortedId(sorted, 5, missing), -1);
    EXPECT_EQ(FindRowOfSortedId(sorted, 0, 1), -1);
}

TEST(RowTextsTest, WindowHoldsTheRowAFewBeforeAndTheRestAfter) {
    RowWindow window = RowWindowAround(1000, 10000, 256);
    EXPECT_EQ(window.first, 1000 - 64);
    EXPECT_EQ(window.count, 256);
    window = RowWindowAround(3, 10000, 256);
    EXPECT_EQ(window.first, 0);
    EXPECT_EQ(window.count, 256);
    // At the end the window slides back to stay full.
    window = RowWindowAround(9999, 10000, 256);
    EXPECT_EQ(window.first, 10000 - 256);
    EXPECT_EQ(window.count, 256);
    window = RowWindowAround(4, 10, 256);
    EXPECT_EQ(window.first, 0);
    EXPECT_EQ(window.count, 10);
    EXPECT_EQ(RowWindowAround(10, 10, 256).count, 0);
    EXPECT_EQ(RowWindowAround(-1, 10, 256).count, 0);
}

TEST(RowTextsTest, CutKeepsWholeDoubleByteCharacters) {
    // "A" then two double-byte characters.
    const char text[] = "A\x82\xA0\x82\xA2";
    EXPECT_EQ(WholeCharacterPrefix(text, 5, 4, 100, kShiftJis), 3u);
    EXPECT_EQ(WholeCharacterPrefix(text, 5, 2, 100, kShiftJis), 1u);
    EXPECT_EQ(WholeCharacterPrefix(text, 5, 5, 100, kShiftJis), 5u);
    EXPECT_EQ(WholeCharacterPrefix(text, 5, 100, 2, kShiftJis), 3u);
    EXPECT_EQ(WholeCharacterPrefix(text, 5, 0, 100, kShiftJis), 0u);
    // Half-width katakana are single bytes.
    EXPECT_EQ(WholeCharacterPrefix("\xB1\xB2\xB3", 3, 2, 100, kShiftJis), 2u);
    // A lone lead byte at the end is one character of its own.
    EXPECT_EQ(WholeCharacterPrefix("A\x82", 2, 2, 100, kShiftJis), 2u);
}

TEST(RowTextsTest, LoneLeadByteOnlyWhereNothingFollowsIt) {
    EXPECT_TRUE(EndsInLoneLeadByte("ab\x82", 3, kShiftJis));
    EXPECT_FALSE(EndsInLoneLeadByte("a\x82\xA0", 3, kShiftJis));
    // The second byte of a pair may fall in the lead range.
    EXPECT_FALSE(EndsInLoneLeadByte("\x82\x82", 2, kShiftJis));
    EXPECT_TRUE(EndsInLoneLeadByte("\x82\x82\x82", 3, kShiftJis));
    EXPECT_FALSE(EndsInLoneLeadByte("", 0, kShiftJis));
    const LeadBytes none = {};
    EXPECT_FALSE(EndsInLoneLeadByte("ab\x82", 3, none));
}

}  // namespace
