// Name slots, record layouts and store arithmetic of the list records.
#include <gtest/gtest.h>

#include <string>

#include "formats/executables/ResourceRecords.h"

namespace {

TEST(ResourceRecords, TextSlotsRoundUpWithTheirNul) {
    EXPECT_EQ(4u, ResNameSlotSize("abc"));
    EXPECT_EQ(8u, ResNameSlotSize("abcd"));
    EXPECT_EQ(8u, ResNameSlotSize("abcdefg"));
    EXPECT_EQ(12u, ResNameSlotSize("abcdefgh"));
    EXPECT_EQ(4u, ResNameSlotSize("a"));
    EXPECT_EQ(4u, ResNameSlotSize(""));
    EXPECT_EQ(4u, ResNameSlotSize(MakeIntResName(0xFFFF)));

    uint8_t slot[12];
    memset(slot, 0xCC, sizeof(slot));
    StoreResName(slot, "abcdefgh");
    EXPECT_EQ(0, memcmp(slot, "abcdefgh", 9));
    EXPECT_EQ(0xCC, slot[9]);  // beyond the NUL: left alone
    EXPECT_STREQ("abcdefgh", ReadResName(slot));
}

TEST(ResourceRecords, EmptyTextAndIdentifierZeroStayApart) {
    uint8_t slot[4];
    memset(slot, 0xCC, sizeof(slot));
    StoreResName(slot, "");
    EXPECT_EQ(0, slot[0]);
    EXPECT_EQ(1, slot[1]);
    ResName empty = ReadResName(slot);
    ASSERT_FALSE(IsIntResName(empty));
    EXPECT_STREQ("", empty);

    memset(slot, 0xCC, sizeof(slot));
    StoreResName(slot, MakeIntResName(0));
    EXPECT_EQ(0u, PeekU32(slot));
    ResName zero = ReadResName(slot);
    ASSERT_TRUE(IsIntResName(zero));
    EXPECT_EQ(0, ResNameId(zero));

    StoreResName(slot, MakeIntResName(0x8123));
    EXPECT_EQ(0, PeekU16(slot));
    EXPECT_EQ(0x8123, ResNameId(ReadResName(slot)));
}

TEST(ResourceRecords, ItemValuesCarryTheOffsetUnderTheTopBit) {
    EXPECT_EQ(0x80000000u, ItemValueOf(0));
    EXPECT_EQ(0x80000014u, ItemValueOf(20));
    EXPECT_EQ(20u, ItemOffsetOf(0x80000014u));
    // Item data comes back sign-extended on a 64-bit list: still the offset.
    EXPECT_EQ(20u, ItemOffsetOf(static_cast<uintptr_t>(
                       static_cast<intptr_t>(static_cast<int32_t>(0x80000014u)))));
}

TEST(ResourceRecords, StoresGrowByTheRecordAndTheirSlack) {
    EXPECT_EQ(264, StoreGrowthSize(128, 100, 36, kIconStoreSlack));
    EXPECT_EQ(0, StoreGrowthSize(128, 92, 36, kIconStoreSlack));  // exactly fits
    EXPECT_EQ(0, StoreGrowthSize(1000, 0, 36, kAviStoreSlack));
    EXPECT_EQ(16 + 24 + 448, StoreGrowthSize(20, 16, 24, kAviStoreSlack));
    EXPECT_EQ(-1, StoreGrowthSize(128, INT32_MAX - 10, 36, kIconStoreSlack));

    EXPECT_EQ(0, TextNameBufferBytes(MakeIntResName(7)));
    EXPECT_EQ(3, TextNameBufferBytes(""));
    EXPECT_EQ(258, TextNameBufferBytes(std::string(255, 'x').c_str()));
    EXPECT_FALSE(TextBufferMustGrow(256, 256));
    EXPECT_TRUE(TextBufferMustGrow(256, 258));
}

TEST(ResourceRecords, FixedPartsAndFieldsFollowTheHandleWidth) {
    if (sizeof(uintptr_t) == 4) {
        EXPECT_EQ(4u, kIconFixedPart);
        EXPECT_EQ(16u, kBitmapFixedPart);
        EXPECT_EQ(4u, kCursorFixedPart);
        EXPECT_EQ(24u, kAviFixedPart);
    } else {
        EXPECT_EQ(8u, kIconFixedPart);
        EXPECT_EQ(20u, kBitmapFixedPart);
        EXPECT_EQ(28u, kAviFixedPart);
    }
    // An AVI record: picture, five 32-bit fields, then the name, no overlap.
    uint8_t record[64] = {};
    WritePictureField(record, ~uintptr_t{0});
    WriteRecordI32(record, kAviFrameWidthOffset, 320);
    WriteRecordI32(record, kAviFrameHeightOffset, -240);
    WriteRecordI32(record, kAviLengthOffset, 1234);
    WriteRecordI32(record, kAviThumbWidthOffset, 80);
    WriteRecordI32(record, kAviThumbHeightOffset, 60);
    StoreResName(record + kAviFixedPart, "CLIP");
    EXPECT_EQ(~uintptr_t{0}, ReadPictureField(record));
    EXPECT_EQ(320, ReadRecordI32(record, kAviFrameWidthOffset));
    EXPECT_EQ(-240, ReadRecordI32(record, kAviFrameHeightOffset));
    EXPECT_EQ(1234, ReadRecordI32(record, kAviLengthOffset));
    EXPECT_EQ(80, ReadRecordI32(record, kAviThumbWidthOffset));
    EXPECT_EQ(60, ReadRecordI32(record, kAviThumbHeightOffset));
    EXPECT_STREQ("CLIP", ReadResName(record + kAviFixedPart));
    EXPECT_EQ(kAviThumbHeightOffset + 4, kAviFixedPart);
    EXPECT_EQ(kBitmapBitsPerPixelOffset + 4, kBitmapFixedPart);
}

TEST(ResourceRecords, MemberArraySizes) {
    EXPECT_EQ(static_cast<int64_t>(10 * sizeof(GroupMember)), MemberArrayBytes(kInitialMemberRoom));
    EXPECT_EQ(-1, MemberArrayBytes(INT32_MAX));
    EXPECT_EQ(-1, MemberArrayBytes(-1));
}

}  // namespace
