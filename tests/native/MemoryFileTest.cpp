// Memory files as the multimedia layer drives them: open by name, read, seek.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/clips/MemoryFile.h"

namespace {

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = static_cast<uint8_t>(i * 7 + 1);
    return block;
}

MemoryFileState Open(const void* block, uint32_t size, int digit = 1) {
    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, digit, block, size);
    MemoryFileState file;
    memset(&file, 0x5A, sizeof(file));  // whatever the layer left there
    OpenMemoryFile(&file, name);
    return file;
}

TEST(MemoryFile, NameCarriesAddressAndSize) {
    std::vector<uint8_t> block = Pattern(256);
    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, 2, block.data(), 256);
    const std::string text = name;
    EXPECT_EQ("2.$$$+", text.substr(0, 6));
    EXPECT_EQ("00000100", text.substr(text.size() - 8));
    EXPECT_EQ(6 + sizeof(void*) * 2 + 8, text.size());
    EXPECT_EQ(std::string::npos, text.find_first_of("ABCDEF"));

    MemoryFileState file = Open(block.data(), 256);
    EXPECT_EQ(0, file.position);
    EXPECT_EQ(256, file.size);
    EXPECT_EQ(block.data(), MemoryFileBlock(file));
}

TEST(MemoryFile, NameParsesItsTwoFields) {
    // The 32-bit library makes 22 characters; wider addresses take more digits.
    const std::string name =
        "1.$$$+" + std::string(sizeof(void*) * 2 - 8, '0') + "00a1b2c3DEADBEEF";
    MemoryFileState file;
    OpenMemoryFile(&file, name.c_str());
    EXPECT_EQ(0xa1b2c3u, file.addressLow);
    EXPECT_EQ(static_cast<int32_t>(0xDEADBEEF), file.size);
    EXPECT_EQ(0, file.position);
    // Digits that do not parse give an empty file, never a stray read.
    OpenMemoryFile(&file, "1.$$$+");
    EXPECT_EQ(0, file.size);
    OpenMemoryFile(&file, "1.$");
    EXPECT_EQ(0, file.size);
    OpenMemoryFile(&file, nullptr);
    EXPECT_EQ(0, file.size);
    char buffer[4];
    EXPECT_EQ(0, ReadMemoryFile(&file, buffer, 4));
}

TEST(MemoryFile, ReadsStopAtTheEndOfTheBlock) {
    std::vector<uint8_t> block = Pattern(256);
    MemoryFileState file = Open(block.data(), 256);
    std::vector<uint8_t> buffer(300, 0xEE);

    EXPECT_EQ(100, ReadMemoryFile(&file, buffer.data(), 100));
    EXPECT_EQ(0, memcmp(buffer.data(), block.data(), 100));
    EXPECT_EQ(100, file.position);

    EXPECT_EQ(246, SeekMemoryFile(&file, 246, 0));
    std::fill(buffer.begin(), buffer.end(), 0xEE);
    EXPECT_EQ(10, ReadMemoryFile(&file, buffer.data(), 100));
    EXPECT_EQ(0, memcmp(buffer.data(), block.data() + 246, 10));
    EXPECT_EQ(0xEE, buffer[10]);
    EXPECT_EQ(256, file.position);

    EXPECT_EQ(0, ReadMemoryFile(&file, buffer.data(), 100));
    EXPECT_EQ(256, file.position);
}

TEST(MemoryFile, ReadsOutsideTheBlockDeliverNothing) {
    // A guarded block: the bytes around it must never reach the buffer.
    std::vector<uint8_t> guarded(64 + 256 + 64, 0xAB);
    uint8_t* block = guarded.data() + 64;
    memset(block, 0x11, 256);
    MemoryFileState file = Open(block, 256);
    uint8_t buffer[512];

    for (int32_t position : {-1, -64, -1000, INT32_MIN, 257, 320, INT32_MAX}) {
        SCOPED_TRACE(position);
        EXPECT_EQ(position, SeekMemoryFile(&file, position, 0));
        memset(buffer, 0, sizeof(buffer));
        EXPECT_EQ(0, ReadMemoryFile(&file, buffer, 128));
        EXPECT_EQ(position, file.position);
        EXPECT_EQ(0, buffer[0]);
    }
    // Counts that would overflow position + count, and negative counts.
    SeekMemoryFile(&file, 200, 0);
    EXPECT_EQ(56, ReadMemoryFile(&file, buffer, INT32_MAX));
    SeekMemoryFile(&file, 0, 0);
    EXPECT_EQ(0, ReadMemoryFile(&file, buffer, -5));
    EXPECT_EQ(0, file.position);
}

TEST(MemoryFile, SeekOrigins) {
    std::vector<uint8_t> block = Pattern(256);
    MemoryFileState file = Open(block.data(), 256);
    EXPECT_EQ(1000, SeekMemoryFile(&file, 1000, 0));
    EXPECT_EQ(-7, SeekMemoryFile(&file, -7, 0));
    EXPECT_EQ(40, SeekMemoryFile(&file, 40, 0));
    EXPECT_EQ(40, SeekMemoryFile(&file, 0, 1));
    EXPECT_EQ(50, SeekMemoryFile(&file, 10, 1));
    EXPECT_EQ(30, SeekMemoryFile(&file, -20, 1));
    // From the end: size + offset.
    EXPECT_EQ(256, SeekMemoryFile(&file, 0, 2));
    EXPECT_EQ(240, SeekMemoryFile(&file, -16, 2));
    uint8_t buffer[32];
    EXPECT_EQ(16, ReadMemoryFile(&file, buffer, 32));
    EXPECT_EQ(0, memcmp(buffer, block.data() + 240, 16));
    // Unknown origins leave the position.
    for (int32_t origin : {3, 4, 100, -1}) {
        EXPECT_EQ(256, SeekMemoryFile(&file, 5, origin)) << origin;
        EXPECT_EQ(256, file.position);
    }
}

TEST(MemoryFile, TwoNamesOnOneBlockMoveIndependently) {
    std::vector<uint8_t> block = Pattern(256);
    MemoryFileState playback = Open(block.data(), 256, 1);
    MemoryFileState repaint = Open(block.data(), 256, 2);
    uint8_t buffer[64];
    EXPECT_EQ(64, ReadMemoryFile(&playback, buffer, 64));
    EXPECT_EQ(128, SeekMemoryFile(&repaint, 128, 0));
    EXPECT_EQ(64, playback.position);
    EXPECT_EQ(64, ReadMemoryFile(&repaint, buffer, 64));
    EXPECT_EQ(0, memcmp(buffer, block.data() + 128, 64));
    EXPECT_EQ(192, repaint.position);
    EXPECT_EQ(64, playback.position);
}

}  // namespace
