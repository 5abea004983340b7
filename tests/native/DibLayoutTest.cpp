// Bitmap, icon and cursor image layouts over images made by the fixture
// writers, and over headers edited to lie.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/images/DibLayout.h"
#include "writers/DibWriter.h"
#include "writers/IconWriter.h"

namespace {

BitmapLayout Bitmap(const Bytes& bytes) {
    BitmapLayout layout;
    ReadBitmapLayout(bytes.data(), bytes.size(), &layout);
    return layout;
}

TEST(DibLayout, EveryWrittenBitmapIsDrawableAndEndsAtItsLastByte) {
    const DibPlan plans[] = {
        {5, 3, 1, false, false, 0, 1},   {7, 4, 4, true, false, 0, 2},
        {9, 2, 8, false, false, 17, 3},  {3, 5, 16, false, true, 0, 4},
        {6, -4, 24, false, false, 0, 5}, {2, 2, 32, false, true, 0, 6},
        {4, 4, 24, true, false, 0, 7},
    };
    for (const DibPlan& plan : plans) {
        Bytes dib = MakePackedDib(plan);
        SCOPED_TRACE(plan.bitCount);
        BitmapLayout layout = Bitmap(dib);
        ASSERT_TRUE(layout.drawable);
        EXPECT_EQ(plan.width, layout.width);
        EXPECT_EQ(plan.height, layout.height);
        EXPECT_EQ(plan.bitCount, layout.bitCount);
        EXPECT_EQ(dib.size(), size_t{layout.bitsOffset} + layout.imageBytes);

        // Cut short by one byte: listed with its values, never drawn.
        dib.pop_back();
        layout = Bitmap(dib);
        EXPECT_FALSE(layout.drawable);
        EXPECT_EQ(plan.width, layout.width);
        EXPECT_EQ(plan.bitCount, layout.bitCount);
    }
    // A 4-bit core table is 16 entries of 3 bytes; 16-bit masks are 3 entries.
    EXPECT_EQ(48u, Bitmap(MakePackedDib({7, 4, 4, true, false, 0, 0})).colorTableBytes);
    EXPECT_EQ(12u, Bitmap(MakePackedDib({3, 5, 16, false, true, 0, 0})).colorTableBytes);
}

TEST(DibLayout, BitmapColourTablesAndCompressions) {
    Bytes dib = MakePackedDib({8, 8, 8, false, false, 0, 0});
    // Colours used beyond what 8 bits can index count as 256.
    PokeU32(&dib[32], 100000);
    EXPECT_EQ(1024u, Bitmap(dib).colorTableBytes);
    // A 124-byte header carries its masks inside: none follow it.
    Bytes v5 = MakePackedDib({4, 4, 32, false, false, 0, 0});
    v5.insert(v5.begin() + 40, 124 - 40, 0);
    PokeU32(&v5[0], 124);
    PokeU32(&v5[16], 3);
    BitmapLayout layout = Bitmap(v5);
    EXPECT_TRUE(layout.drawable);
    EXPECT_EQ(124u, layout.bitsOffset);

    // Run-length bits: the image size field says how many; bottom-up only.
    Bytes rle = MakePackedDib({8, 8, 8, false, false, 0, 0});
    PokeU32(&rle[16], 1);
    PokeU32(&rle[20], 10);
    EXPECT_EQ(10u, Bitmap(rle).imageBytes);
    PokeU32(&rle[20], 0);
    EXPECT_FALSE(Bitmap(rle).drawable);
    PokeU32(&rle[20], 10);
    PokeU32(&rle[8], static_cast<uint32_t>(-8));
    EXPECT_FALSE(Bitmap(rle).drawable);
    PokeU32(&rle[8], 8);
    PokeU32(&rle[16], 4);  // a JPEG stream inside: not for drawing here
    EXPECT_FALSE(Bitmap(rle).drawable);
}

TEST(DibLayout, HostileBitmapHeadersAreNeverDrawable) {
    EXPECT_EQ(0, Bitmap({40, 0, 0}).width);
    Bytes dib = MakePackedDib({4, 4, 24, false, false, 0, 0});
    // Sides whose pixel bytes pass 2^64, and the most negative height.
    PokeU32(&dib[4], 0x7FFFFFFF);
    PokeU32(&dib[8], 0x80000000);
    PokeU16(&dib[14], 32);
    BitmapLayout layout = Bitmap(dib);
    EXPECT_FALSE(layout.drawable);
    EXPECT_EQ(INT32_MIN, layout.height);
    // A header size past the bytes, and one no form knows, show no values.
    PokeU32(&dib[0], static_cast<uint32_t>(dib.size() + 1));
    EXPECT_EQ(0, Bitmap(dib).width);
    PokeU32(&dib[0], 64);
    EXPECT_FALSE(Bitmap(dib).drawable);
}

MemberImageLayout Member(const Bytes& bytes, size_t from, bool heightHoldsMask = true) {
    MemberImageLayout layout;
    EXPECT_TRUE(
        ReadMemberImageLayout(bytes.data() + from, bytes.size() - from, heightHoldsMask, &layout));
    return layout;
}

TEST(DibLayout, IconAndCursorImagesEndAtTheirMask) {
    for (uint16_t bits : {1, 4, 8, 24, 32}) {
        Bytes icon = MakeIconImage({20, 12, bits, 0, 0, 0});
        MemberImageLayout layout = Member(icon, 0);
        EXPECT_EQ(20u, layout.width);
        EXPECT_EQ(12u, layout.height);
        EXPECT_EQ(icon.size(), layout.imageBytes);
        EXPECT_EQ(layout.maskOffset + layout.maskBytes, layout.imageBytes);
        EXPECT_EQ(4u * 12, layout.maskBytes);
        icon.pop_back();
        MemberImageLayout cut;
        EXPECT_FALSE(ReadMemberImageLayout(icon.data(), icon.size(), true, &cut)) << bits;
    }
    // After the hot spot, and as a member copy whose height is already halved.
    Bytes cursor = MakeCursorImage({32, 32, 1, 0, 5, 7});
    EXPECT_EQ(cursor.size() - 4, Member(cursor, 4).imageBytes);
    PokeU32(&cursor[4 + 8], 32);
    EXPECT_EQ(32u, Member(cursor, 4, false).height);

    // A short colour table is honoured: the bits start right after it.
    Bytes shortTable = MakeIconImage({8, 8, 8, 0, 0, 0});
    PokeU32(&shortTable[32], 2);
    EXPECT_EQ(40u + 8, Member(shortTable, 0).colorBitsOffset);
}

TEST(DibLayout, UnusableMemberImagesAreRefused) {
    Bytes icon = MakeIconImage({16, 16, 4, 0, 0, 0});
    MemberImageLayout layout;
    auto refused = [&layout](Bytes bytes, size_t at, uint32_t value, bool word) {
        word ? PokeU16(&bytes[at], static_cast<uint16_t>(value)) : PokeU32(&bytes[at], value);
        return !ReadMemberImageLayout(bytes.data(), bytes.size(), true, &layout);
    };
    EXPECT_TRUE(refused(icon, 0, 12, false));     // a core header
    EXPECT_TRUE(refused(icon, 8, 1, false));      // no colour rows beside the mask
    EXPECT_TRUE(refused(icon, 4, 70000, false));  // wider than a record keeps
    EXPECT_TRUE(refused(icon, 12, 2, true));      // two planes
    EXPECT_TRUE(refused(icon, 14, 2, true));      // 2 bits per pixel
    EXPECT_TRUE(refused(icon, 8, 0x80000000, false));
    EXPECT_FALSE(refused(icon, 32, 0, false));
}

TEST(DibLayout, PngImagesAreTakenFromTheirHeaderChunk) {
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0,  0, 0, 13, 'I', 'H', 'D',
                 'R',  0,   0,   1,   0,    0,    0,    0,    48, 8, 6, 0,  0,   0};
    MemberImageLayout layout = Member(png, 0);
    EXPECT_TRUE(layout.isPng);
    EXPECT_EQ(256u, layout.width);
    EXPECT_EQ(48u, layout.height);
    EXPECT_EQ(32, layout.bitCount);
    EXPECT_EQ(png.size(), layout.imageBytes);
    png[25] = 5;  // no such colour type
    EXPECT_FALSE(ReadMemberImageLayout(png.data(), png.size(), true, &layout));
    png[25] = 2;
    png[15] = 'r';
    EXPECT_FALSE(ReadMemberImageLayout(png.data(), png.size(), true, &layout));
    EXPECT_FALSE(ReadMemberImageLayout(png.data(), 25, true, &layout));
}

TEST(DibLayout, ThumbnailsKeepProportionsInsideEightyPixels) {
    auto fit = [](int64_t w, int64_t h) {
        ThumbnailSize t = FitThumbnail(w, h);
        return std::vector<int32_t>{t.width, t.height};
    };
    EXPECT_EQ((std::vector<int32_t>{80, 40}), fit(200, 100));
    EXPECT_EQ((std::vector<int32_t>{40, 80}), fit(100, -200));
    EXPECT_EQ((std::vector<int32_t>{64, 64}), fit(64, 64));
    EXPECT_EQ((std::vector<int32_t>{80, 1}), fit(1000, 5));
    EXPECT_EQ((std::vector<int32_t>{80, 80}), fit(81, 81));
    EXPECT_EQ((std::vector<int32_t>{0, 0}), fit(-5, 5));
    EXPECT_EQ((std::vector<int32_t>{0, 0}), fit(5, 0));
    EXPECT_EQ((std::vector<int32_t>{80, 79}), fit(INT64_MAX, INT64_MAX - INT64_MAX / 80));
    EXPECT_EQ((std::vector<int32_t>{40, 80}), fit(int64_t{1} << 62, INT64_MIN));
}

}  // namespace
