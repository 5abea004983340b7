// The blocks a copy hands to the clipboard: the depth and table a member image
// gets over white, bitmap headers converted or kept, frame lengths and the
// WAVE layout, each against hostile or awkward headers.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/bytes/LittleEndian.h"
#include "formats/output/ClipboardBlocks.h"
#include "writers/DibWriter.h"
#include "writers/PngWriter.h"

namespace {

// A member copy: header with the height already halved, the given table, zero
// colour bits and mask.
Bytes MemberImage(uint32_t side, uint16_t bitCount, const std::vector<uint32_t>& table) {
    Bytes image(40, 0);
    PutU32(image, 0, 40);
    PutU32(image, 4, side);
    PutU32(image, 8, side);
    PutU16(image, 12, 1);
    PutU16(image, 14, bitCount);
    PutU32(image, 32, static_cast<uint32_t>(table.size()));
    for (uint32_t colour : table)
        AppendU32(image, colour | 0xAB000000u);  // a reserved byte that must not survive
    image.resize(image.size() + DibRowSize(side, bitCount) * side + DibRowSize(side, 1) * side);
    return image;
}

TEST(MemberCopy, WhiteJoinsTheTableOrTheDepthGrows) {
    struct Case {
        uint16_t bits;
        std::vector<uint32_t> table;
        uint16_t outBits;
        uint32_t outEntries;
    };
    std::vector<uint32_t> sixteenWithWhite(16, 0x123456);
    sixteenWithWhite[9] = 0xFFFFFF;
    const Case cases[] = {
        {1, {0x000000, 0xFFFFFF}, 1, 2},                   // black and white stay
        {1, {0x102030, 0x405060}, 4, 16},                  // two colours, 14 whites
        {4, sixteenWithWhite, 4, 16},                      // white among sixteen
        {4, std::vector<uint32_t>(16, 0x0000FF), 8, 256},  // sixteen without white
        {8, std::vector<uint32_t>(256, 0x00FF00), 32, 0},  // 256 without white
        {24, {}, 24, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        Bytes image = MemberImage(32, c.bits, c.table);
        MemberCopyPlan plan;
        ASSERT_TRUE(PlanMemberCopy(image.data(), image.size(), &plan));
        EXPECT_EQ(c.outBits, plan.bitCount);
        EXPECT_EQ(c.outEntries, plan.colourEntries);
        EXPECT_EQ(40 + 4 * c.outEntries + DibRowSize(32, c.outBits) * 32, plan.blockBytes);
        std::vector<uint8_t> out(plan.blockBytes, 0xEE);
        WriteMemberCopyHeader(image.data(), plan, out.data());
        EXPECT_EQ(40u, PeekU32(&out[0]));
        EXPECT_EQ(32u, PeekU32(&out[8]));
        EXPECT_EQ(c.outBits, PeekU16(&out[14]));
        EXPECT_EQ(0u, PeekU32(&out[32]));
        for (uint32_t i = 0; i < c.outEntries; ++i) {
            uint32_t want = i < c.table.size() ? c.table[i] : 0xFFFFFF;
            EXPECT_EQ(want, PeekU32(&out[40 + 4 * i])) << "entry " << i;
        }
    }
}

TEST(MemberCopy, AlphaDecidesBetweenBlendAndMaskAndBadImagesAreRefused) {
    Bytes image = MemberImage(4, 32, {});
    MemberCopyPlan plan;
    ASSERT_TRUE(PlanMemberCopy(image.data(), image.size(), &plan));
    EXPECT_FALSE(plan.blendAlpha);  // all alpha zero: the mask carries transparency
    image[40 + 4 * 15 + 3] = 1;     // the last pixel's alpha
    ASSERT_TRUE(PlanMemberCopy(image.data(), image.size(), &plan));
    EXPECT_TRUE(plan.blendAlpha);

    EXPECT_FALSE(PlanMemberCopy(image.data(), image.size() - 1, &plan));  // mask cut short
    Bytes png = MakePng(16, 16, 1);
    EXPECT_FALSE(PlanMemberCopy(png.data(), png.size(), &plan));
    Bytes shortTable = MemberImage(8, 8, {0x000000, 0x0000FF});
    ASSERT_TRUE(PlanMemberCopy(shortTable.data(), shortTable.size(), &plan));
    EXPECT_EQ(32, plan.bitCount);  // two own colours without white, at 8 bits
}

TEST(MemberCopy, BlendOverWhiteRounds) {
    // 1 at alpha 128 is 128.5 - 0.5 away from both neighbours - and rounds up.
    const uint8_t pixels[] = {200, 10, 1, 128, 1, 2, 3, 0, 9, 8, 7, 255};
    uint8_t out[12];
    BlendOverWhite(pixels, 3, out);
    const uint8_t expected[] = {227, 132, 128, 0, 255, 255, 255, 0, 9, 8, 7, 0};
    EXPECT_EQ(0, memcmp(expected, out, sizeof(out)));
}

TEST(BitmapCopy, CoreHeadersBecomeInformationHeaders) {
    Bytes core = MakePackedDib({18, 10, 8, true, false, 0, 3});
    BitmapCopyPlan plan;
    ASSERT_TRUE(PlanBitmapCopy(core.data(), core.size(), &plan));
    ASSERT_EQ(core.size() + 284, plan.blockBytes);
    std::vector<uint8_t> out(plan.blockBytes);
    WriteBitmapCopy(core.data(), core.size(), plan, out.data());
    EXPECT_EQ(40u, PeekU32(&out[0]));
    EXPECT_EQ(18u, PeekU32(&out[4]));
    EXPECT_EQ(10u, PeekU32(&out[8]));
    EXPECT_EQ(8, PeekU16(&out[14]));
    // Entry 5: the triple's blue, green, red, then 0.
    EXPECT_EQ(0, memcmp(&core[12 + 15], &out[40 + 20], 3));
    EXPECT_EQ(0, out[40 + 23]);
    EXPECT_EQ(0, memcmp(&core[12 + 768], &out[40 + 1024], core.size() - 12 - 768));

    Bytes core24 = MakePackedDib({19, 11, 24, true, false, 0, 4});
    ASSERT_TRUE(PlanBitmapCopy(core24.data(), core24.size(), &plan));
    EXPECT_EQ(core24.size() + 28, plan.blockBytes);
    // Rows missing: nothing of it is copied.
    EXPECT_FALSE(PlanBitmapCopy(core24.data(), core24.size() - 4, &plan));
    EXPECT_FALSE(PlanBitmapCopy(core.data(), 12 + 100, &plan));  // table cut short

    Bytes info = MakePackedDibV5({50, 20, 32, false, true, 0, 31});
    ASSERT_TRUE(PlanBitmapCopy(info.data(), info.size(), &plan));
    EXPECT_FALSE(plan.coreHeader);
    std::vector<uint8_t> same(plan.blockBytes);
    WriteBitmapCopy(info.data(), info.size(), plan, same.data());
    EXPECT_EQ(info, Bytes(same.begin(), same.end()));
}

TEST(FrameLength, HeightMagnitudeAndMasksOfTheShortHeaderOnly) {
    Bytes topDown = MakePackedDib({40, -30, 24, false, false, 0, 1});
    EXPECT_EQ(topDown.size(), PackedDibLength(topDown.data(), topDown.size()));
    Bytes masks = MakePackedDib({36, 23, 16, false, true, 0, 8});
    PutU32(masks, 0, 40);  // a 40-byte header with compression 3
    PutU32(masks, 16, 3);
    EXPECT_EQ(40 + 12 + DibRowSize(36, 16) * 23u, PackedDibLength(masks.data(), masks.size()));
    Bytes v5 = MakePackedDibV5({50, 20, 32, false, true, 0, 31});
    EXPECT_EQ(v5.size(), PackedDibLength(v5.data(), v5.size()));
    Bytes palette = MakePackedDib({33, 20, 8, false, false, 7, 5});
    EXPECT_EQ(40 + 28 + DibRowSize(33, 8) * 20u, PackedDibLength(palette.data(), palette.size()));

    PutU32(topDown, 4, 0x7FFFFFFF);  // rows past 2 GB
    EXPECT_EQ(0u, PackedDibLength(topDown.data(), topDown.size()));
    EXPECT_EQ(0u, PackedDibLength(palette.data(), 39));
}

TEST(FrameLength, AnUndecodedFrameIsCopiedOnlyWhereFormatAndFrameBytesHoldIt) {
    Bytes frame = MakePackedDib({32, 24, 24, false, false, 0, 1});
    const uint32_t pixels = DibRowSize(32, 24) * 24;
    EXPECT_EQ(40u + pixels, PassThroughFrameLength(frame.data(), 40, pixels));
    // Headers that claim more than the frame's bytes: a larger picture, a
    // taller one, a table the format does not carry.
    PutU32(frame, 4, 2000);
    PutU32(frame, 8, 2000);
    EXPECT_EQ(0u, PassThroughFrameLength(frame.data(), 40, pixels));
    PutU32(frame, 4, 32);
    PutU32(frame, 8, 32);
    EXPECT_EQ(0u, PassThroughFrameLength(frame.data(), 40, pixels));
    Bytes indexed = MakePackedDib({32, 24, 8, false, false, 0, 1});
    const uint32_t indices = DibRowSize(32, 8) * 24;
    EXPECT_EQ(0u, PassThroughFrameLength(indexed.data(), 40, indices + 1024));
    EXPECT_EQ(40u + 1024 + indices, PassThroughFrameLength(indexed.data(), 40 + 1024, indices));
    // A header longer than the format is not read at all.
    EXPECT_EQ(0u, PassThroughFrameLength(frame.data(), 39, pixels));
}

TEST(WaveBlock, LayoutWithAndWithoutPad) {
    std::vector<uint8_t> block(WaveBlockBytes(16, 1001), 0xEE);
    ASSERT_EQ(1045u, block.size());
    WriteWaveHeaders(block.data(), 16, 1001);
    EXPECT_EQ(0, memcmp(block.data(), "RIFF", 4));
    EXPECT_EQ(1037u, PeekU32(&block[4]));
    EXPECT_EQ(0, memcmp(&block[8], "WAVEfmt ", 8));
    EXPECT_EQ(16u, PeekU32(&block[16]));
    EXPECT_EQ(0, memcmp(&block[36], "data", 4));
    EXPECT_EQ(1001u, PeekU32(&block[40]));
    EXPECT_EQ(44u, WaveDataOffset(16));

    block.assign(WaveBlockBytes(17, 4), 0xEE);
    ASSERT_EQ(50u, block.size());
    WriteWaveHeaders(block.data(), 17, 4);
    EXPECT_EQ(42u, PeekU32(&block[4]));
    EXPECT_EQ(0, block[37]);  // the pad
    EXPECT_EQ(0, memcmp(&block[38], "data", 4));
    EXPECT_EQ(46u, WaveDataOffset(17));
    EXPECT_EQ(0u, WaveBlockBytes(16, 0x7FFFFFF0));
}

}  // namespace
