// The markers read from the generated images' own headers: the resource
// directory they point at is the directory the file holds, and a copy that
// differs in a marked byte is told apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/ImageMarkers.h"

namespace {

std::vector<uint8_t> ReadFixture(const char* name) {
    std::ifstream in(std::string(VANTREL_FIXTURE_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The markers as the page takes them: the header fields and the sum of the
// directory's bytes.
bool MarkersOf(const std::vector<uint8_t>& file, ImageMarkers* markers) {
    const size_t head = file.size() < kMarkerHeadBytes ? file.size() : kMarkerHeadBytes;
    if (!LocateImageMarkers(file.data(), head, file.size(), markers))
        return false;
    markers->tableSum = MarkerChecksum(file.data() + markers->tableOffset, markers->tableSize);
    return true;
}

TEST(ImageMarkersTest, PeMarkersPointAtTheResourceDirectory) {
    std::vector<uint8_t> file = ReadFixture("pe-resources.dll");
    ASSERT_GT(file.size(), 4096u);
    ImageMarkers markers;
    ASSERT_TRUE(MarkersOf(file, &markers));
    EXPECT_EQ(markers.format, kImagePe);
    const uint32_t peAt = PeekU32(file.data() + 0x3C);
    EXPECT_EQ(markers.timeStamp, PeekU32(file.data() + peAt + 8));
    ASSERT_GT(markers.tableSize, 16u);
    // The root directory: no characteristics, and entries for several types.
    const uint8_t* root = file.data() + markers.tableOffset;
    EXPECT_EQ(PeekU32(root), 0u);
    EXPECT_GT(PeekU16(root + 12) + PeekU16(root + 14), 3);

    // A copy with one name of the directory changed, the same size and time.
    std::vector<uint8_t> copy = file;
    copy[markers.tableOffset + 16] ^= 1;
    ImageMarkers copied;
    ASSERT_TRUE(MarkersOf(copy, &copied));
    EXPECT_FALSE(SameImageMarkers(markers, copied));
    copy = file;
    copy[peAt + 8] ^= 1;  // the time stamp
    ASSERT_TRUE(MarkersOf(copy, &copied));
    EXPECT_FALSE(SameImageMarkers(markers, copied));
    ASSERT_TRUE(MarkersOf(file, &copied));
    EXPECT_TRUE(SameImageMarkers(markers, copied));
}

TEST(ImageMarkersTest, NeMarkersAreTheResourceTable) {
    std::vector<uint8_t> file = ReadFixture("ne-kinds.exe");
    ImageMarkers markers;
    ASSERT_TRUE(MarkersOf(file, &markers));
    EXPECT_EQ(markers.format, kImageNe);
    const uint32_t neAt = PeekU32(file.data() + 0x3C);
    EXPECT_EQ(markers.tableOffset, neAt + PeekU16(file.data() + neAt + 0x24));
    EXPECT_EQ(markers.tableSize,
              PeekU16(file.data() + neAt + 0x26) - PeekU16(file.data() + neAt + 0x24));
    std::vector<uint8_t> copy = file;
    copy[markers.tableOffset + markers.tableSize - 1] ^= 0x40;
    ImageMarkers copied;
    ASSERT_TRUE(MarkersOf(copy, &copied));
    EXPECT_FALSE(SameImageMarkers(markers, copied));
}

TEST(ImageMarkersTest, DirectoryIsCutToTheFileAndTheCap) {
    std::vector<uint8_t> file = ReadFixture("pe-resources.dll");
    ImageMarkers whole;
    ASSERT_TRUE(MarkersOf(file, &whole));
    // A file that ends inside its directory: only what it holds is summed.
    const uint64_t shorter = whole.tableOffset + 10;
    ImageMarkers cut;
    ASSERT_TRUE(LocateImageMarkers(file.data(), kMarkerHeadBytes, shorter, &cut));
    EXPECT_EQ(cut.tableSize, 10u);
    ASSERT_TRUE(LocateImageMarkers(file.data(), kMarkerHeadBytes, whole.tableOffset - 1, &cut));
    EXPECT_EQ(cut.tableSize, 0u);
    // The directory's size field claiming 4 GB is held to the cap.
    std::vector<uint8_t> big = file;
    const uint32_t peAt = PeekU32(big.data() + 0x3C);
    const size_t sizeField = peAt + 24 + 96 + 2 * 8 + 4;  // PE32: directory 2's size
    PokeU32(big.data() + sizeField, 0xFFFFFFFF);
    ASSERT_TRUE(LocateImageMarkers(big.data(), kMarkerHeadBytes, 0xFFFFFFFFFFull, &cut));
    EXPECT_LE(cut.tableSize, kMaxMarkedTableBytes);
}

// A one-section image whose PE header lies at newAt, with a 32-bit (0x10B) or
// 64-bit (0x20B) optional header; every field the markers do not read holds
// 0x11, so that a field read at the wrong place gives a wrong value.
std::vector<uint8_t> SyntheticImage(uint32_t newAt, uint16_t magic) {
    const uint32_t optionalSize = magic == 0x20B ? 240 : 224;
    const uint32_t optional = newAt + 24;
    const uint32_t section = optional + optionalSize;
    const uint32_t raw = (section + 40 + 511) / 512 * 512;
    std::vector<uint8_t> file(raw + 0x200, 0);
    PokeU16(file.data(), 0x5A4D);
    PokeU32(file.data() + 0x3C, newAt);
    PokeU32(file.data() + newAt, 0x00004550);
    PokeU16(file.data() + newAt + 6, 1);
    PokeU32(file.data() + newAt + 8, 0x5EED1234);
    PokeU16(file.data() + newAt + 20, static_cast<uint16_t>(optionalSize));
    std::fill(file.begin() + optional, file.begin() + section, 0x11);
    PokeU16(file.data() + optional, magic);
    PokeU32(file.data() + optional + 64, 0x00C0FFEE);
    const uint32_t directories = optional + (magic == 0x20B ? 108 : 92);
    PokeU32(file.data() + directories, 16);
    PokeU32(file.data() + directories + 4 + 2 * 8, 0x3000);
    PokeU32(file.data() + directories + 8 + 2 * 8, 0x100);
    PokeU32(file.data() + section + 12, 0x3000);
    PokeU32(file.data() + section + 16, 0x200);
    PokeU32(file.data() + section + 20, raw);
    return file;
}

// As the page reads them: the file's first 4 KB, then, where the header lies
// further in, 4 KB from the header on.
bool MarkersAsThePageReads(const std::vector<uint8_t>& file, ImageMarkers* markers) {
    const size_t head = file.size() < kMarkerHeadBytes ? file.size() : kMarkerHeadBytes;
    uint32_t newAt = 0;
    if (!MarkerWindowNeeded(file.data(), head, &newAt))
        return LocateImageMarkers(file.data(), head, file.size(), markers);
    const size_t rest = newAt < file.size() ? file.size() - newAt : 0;
    const size_t window = rest < kMarkerHeadBytes ? rest : kMarkerHeadBytes;
    return LocateImageMarkersAt(file.data() + newAt, window, newAt, newAt, file.size(), markers);
}

TEST(ImageMarkersTest, HeadersAnywhereAndOfEitherWidthGiveTheirMarkers) {
    const struct {
        uint32_t newAt;
        uint16_t magic;
    } cases[] = {
        {0x80, 0x10B},   {0x80, 0x20B},    // the usual place
        {0xF80, 0x20B},                    // the optional header across the 4 KB line
        {0x1800, 0x10B}, {0x1800, 0x20B},  // past the first 4 KB
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "header at " << c.newAt << ", magic " << c.magic);
        const std::vector<uint8_t> file = SyntheticImage(c.newAt, c.magic);
        ImageMarkers markers;
        ASSERT_TRUE(MarkersAsThePageReads(file, &markers));
        EXPECT_EQ(markers.format, kImagePe);
        EXPECT_EQ(markers.timeStamp, 0x5EED1234u);
        EXPECT_EQ(markers.checkSum, 0x00C0FFEEu);
        EXPECT_EQ(markers.tableOffset, file.size() - 0x200);
        EXPECT_EQ(markers.tableSize, 0x100u);
    }
}

TEST(ImageMarkersTest, NoImageGivesNoMarkers) {
    const uint8_t text[] = "MZ but nothing after it";
    ImageMarkers markers;
    EXPECT_FALSE(LocateImageMarkers(text, sizeof(text), sizeof(text), &markers));
    EXPECT_EQ(markers.format, kImageUnknown);
    std::vector<uint8_t> file = ReadFixture("pe-resources.dll");
    // A header cut before the file header's fields.
    const uint32_t peAt = PeekU32(file.data() + 0x3C);
    EXPECT_FALSE(LocateImageMarkers(file.data(), peAt + 6, file.size(), &markers));
}

}  // namespace
