// The PNG writer's checks. Wine's decoder does not verify chunk CRCs, so a
// wrong one would pass every Wine test and still be a broken file elsewhere.
#include <gtest/gtest.h>

#include <cstring>

#include "writers/PngWriter.h"

namespace {

uint32_t BigU32(const Bytes& bytes, size_t at) {
    return (static_cast<uint32_t>(bytes.at(at)) << 24) | (bytes.at(at + 1) << 16) |
           (bytes.at(at + 2) << 8) | bytes.at(at + 3);
}

TEST(PngWriter, ChecksGiveThePublishedValues) {
    const uint8_t iend[] = {'I', 'E', 'N', 'D'};
    EXPECT_EQ(0xAE426082u, PngCrc32(iend, iend + 4));
    const char* text = "Wikipedia";
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);
    EXPECT_EQ(0x11E60398u, ZlibAdler32(bytes, bytes + std::strlen(text)));
}

TEST(PngWriter, ChunksAndStoredBlocksCarryTheirChecks) {
    Bytes png = MakePng(256, 256, 43);
    ASSERT_EQ(0, std::memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8));
    Bytes stream;
    size_t at = 8;
    int chunks = 0;
    while (at + 12 <= png.size()) {
        uint32_t length = BigU32(png, at);
        ASSERT_LE(length, png.size() - at - 12);
        const uint8_t* type = png.data() + at + 4;
        EXPECT_EQ(BigU32(png, at + 8 + length), PngCrc32(type, type + 4 + length)) << chunks;
        if (std::memcmp(type, "IDAT", 4) == 0)
            stream.insert(stream.end(), type + 4, type + 4 + length);
        at += 12 + length;
        ++chunks;
    }
    EXPECT_EQ(png.size(), at);
    EXPECT_EQ(3, chunks);

    ASSERT_GE(stream.size(), 6u);
    EXPECT_EQ(0u, (stream[0] * 256u + stream[1]) % 31);  // the zlib header's own check
    Bytes raw;
    size_t block = 2;
    bool last = false;
    while (!last && block + 5 <= stream.size()) {
        last = stream[block] == 1;
        uint16_t length = static_cast<uint16_t>(stream[block + 1] | (stream[block + 2] << 8));
        uint16_t inverse = static_cast<uint16_t>(stream[block + 3] | (stream[block + 4] << 8));
        ASSERT_EQ(0xFFFF, length ^ inverse);
        ASSERT_LE(block + 5 + length, stream.size());
        raw.insert(raw.end(), stream.begin() + block + 5, stream.begin() + block + 5 + length);
        block += 5 + length;
    }
    EXPECT_TRUE(last);
    ASSERT_EQ(block + 4, stream.size());
    EXPECT_EQ(BigU32(stream, block), ZlibAdler32(raw.data(), raw.data() + raw.size()));
    ASSERT_EQ(256u * (1 + 4 * 256), raw.size());
    // Top-left transparent, bottom-right the full red and green over the seed.
    EXPECT_EQ(0, raw[1 + 3]);
    const uint8_t bottomRight[4] = {255, 255, 43, 255};
    EXPECT_EQ(0, std::memcmp(raw.data() + raw.size() - 4, bottomRight, 4));
}

}  // namespace
