// The blend of 32-bit member pictures and the bounded reading of name slots.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/bytes/BoundedName.h"
#include "formats/images/MemberPixels.h"

namespace {

TEST(MemberPixels, BlendKeepsOpaqueColourAndShowsBackgroundThroughClearPixels) {
    // Blue, green, red, alpha.
    const uint8_t pixels[] = {10, 20, 30, 255, 10, 20, 30, 0, 200, 100, 0, 128, 1, 2, 3, 1};
    const uint32_t background = 0x00C08040;  // red 0x40, green 0x80, blue 0xC0
    uint8_t out[16];
    memset(out, 0xEE, sizeof(out));
    BlendOverBackground(pixels, 4, background, out);
    const uint8_t expected[] = {10,  20,  30, 0,   // opaque: its own colour
                                192, 128, 64, 0,   // clear: exactly the background
                                196, 114, 32, 0,   // half: rounded to nearest
                                191, 128, 64, 0};  // nearly clear
    EXPECT_EQ(0, memcmp(expected, out, sizeof(out)));
}

TEST(MemberPixels, OnlyAnImageWithoutAnyAlphaCountsAsMasked) {
    uint8_t pixels[4 * 3] = {9, 9, 9, 0, 9, 9, 9, 0, 9, 9, 9, 0};
    EXPECT_TRUE(AlphaAllZero(pixels, 3));
    pixels[11] = 1;
    EXPECT_FALSE(AlphaAllZero(pixels, 3));
    EXPECT_TRUE(AlphaAllZero(pixels, 2));
}

TEST(BoundedName, SlotsReadAsTheyWereStored) {
    const uint8_t id[] = {0, 0, 0x34, 0x12};
    const uint8_t empty[] = {0, 1, 7, 7};
    const uint8_t text[] = {'A', 'B', 0, 7, 7, 7};
    BoundedName name;
    ASSERT_TRUE(ReadBoundedName(id, sizeof(id), &name));
    EXPECT_FALSE(name.isText);
    EXPECT_EQ(0x1234, name.id);
    ASSERT_TRUE(ReadBoundedName(empty, sizeof(empty), &name));
    EXPECT_TRUE(name.isText);
    EXPECT_EQ(0u, name.length);
    ASSERT_TRUE(ReadBoundedName(text, sizeof(text), &name));
    EXPECT_EQ(2u, name.length);
    EXPECT_EQ(0, memcmp("AB", name.text, 2));
    // The NUL as the last byte of the store still ends the text.
    const uint8_t full[] = {'A', 'B', 'C', 0};
    ASSERT_TRUE(ReadBoundedName(full, sizeof(full), &name));
    EXPECT_EQ(3u, name.length);
}

TEST(BoundedName, NeverReadsPastTheStore) {
    // A value pointing into the middle of a record: text with no NUL in reach.
    const uint8_t bytes[] = {'x', 'y', 'z', 'w', 'v'};
    BoundedName name;
    ASSERT_TRUE(ReadBoundedName(bytes, 5, &name));
    EXPECT_EQ(5u, name.length);
    EXPECT_FALSE(ReadBoundedName(bytes, 3, &name));
}

}  // namespace
