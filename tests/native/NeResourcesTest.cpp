// The NE resource walk over images built in memory.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "NeImageBuilder.h"
#include "formats/executables/NeResources.h"

namespace {

struct Delivered {
    std::string name;  // "#n" for an identifier
    size_t offset;     // from the start of the image
    uint32_t size;
};

struct Walk {
    const uint8_t* base;
    std::vector<Delivered> seen;
    int stopAfter;  // 0: never stop
};

int Record(ResName name, const uint8_t* data, uint32_t size, void* user) {
    Walk* walk = static_cast<Walk*>(user);
    std::string text = IsIntResName(name) ? "#" + std::to_string(ResNameId(name)) : name;
    walk->seen.push_back(Delivered{text, static_cast<size_t>(data - walk->base), size});
    return walk->stopAfter == 0 || static_cast<int>(walk->seen.size()) < walk->stopAfter;
}

std::vector<Delivered> WalkImage(const std::vector<uint8_t>& bytes, ResName type,
                                 int stopAfter = 0) {
    MappedNeImage image = {};
    EXPECT_TRUE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
    Walk walk{bytes.data(), {}, stopAfter};
    EnumNeResources(image, type, Record, &walk);
    return walk.seen;
}

std::vector<std::string> Names(const std::vector<Delivered>& seen) {
    std::vector<std::string> names;
    for (const Delivered& d : seen)
        names.push_back(d.name);
    return names;
}

std::vector<uint8_t> Bytes(size_t count, uint8_t value) {
    return std::vector<uint8_t>(count, value);
}

TEST(NeResources, IntegerTypeMatchesOnlyItsFlaggedEntry) {
    std::vector<NeTestType> types = {
        {NeId(12), {{NeId(1), Bytes(4, 1)}}},
        {NeText("x"), {{NeId(2), Bytes(4, 2)}}},
        {NeId(14), {{NeId(3), Bytes(4, 3)}, {NeText("Main"), Bytes(4, 4)}}},
    };
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    // The text-named type entry now holds the plain value 14 (a name offset).
    PokeU16(&bytes[NeTypeEntryOffset(types, 1)], 14);
    EXPECT_EQ((std::vector<std::string>{"#3", "Main"}),
              Names(WalkImage(bytes, MakeIntResName(14))));
    EXPECT_EQ((std::vector<std::string>{"#1"}), Names(WalkImage(bytes, MakeIntResName(12))));
    EXPECT_TRUE(WalkImage(bytes, MakeIntResName(2)).empty());
}

TEST(NeResources, TextTypeIsCaseSensitiveAndNeverMatchesAnInteger) {
    std::vector<NeTestType> types = {
        {NeId(0x41), {{NeId(1), Bytes(2, 1)}}},  // an integer type whose low byte is 'A'
        {NeText("avi"), {{NeId(2), Bytes(2, 2)}}},
        {NeText("AVI"), {{NeText("CLIP"), Bytes(6, 3)}}},
    };
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    std::vector<Delivered> seen = WalkImage(bytes, "AVI");
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("CLIP", seen[0].name);
    EXPECT_EQ(6u, seen[0].size);
    EXPECT_EQ(3, bytes[seen[0].offset]);
    EXPECT_EQ((std::vector<std::string>{"#2"}), Names(WalkImage(bytes, "avi")));
}

TEST(NeResources, OnlyTheFirstMatchingTypeIsWalkedAndAnEmptyOneEndsTheWalk) {
    std::vector<NeTestType> types = {
        {NeId(2), {{NeId(1), Bytes(2, 1)}}},
        {NeId(2), {{NeId(9), Bytes(2, 2)}}},
        {NeId(3), {}},
        {NeId(3), {{NeId(4), Bytes(2, 2)}}},
    };
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    EXPECT_EQ((std::vector<std::string>{"#1"}), Names(WalkImage(bytes, MakeIntResName(2))));
    EXPECT_TRUE(WalkImage(bytes, MakeIntResName(3)).empty());
}

TEST(NeResources, ShiftCountScalesOffsetAndLengthWithOnlyFiveBitsUsed) {
    std::vector<NeTestType> types = {{NeId(6), {{NeId(1), Bytes(8, 7)}}}};
    std::vector<uint8_t> bytes = BuildNeImage(types, 4);
    size_t entry = NeResourceEntryOffset(types, 0, 0);
    bytes.resize(512, 0);
    PokeU16(&bytes[entry], 0x0010);
    PokeU16(&bytes[entry + 2], 0x0002);
    std::vector<Delivered> seen = WalkImage(bytes, MakeIntResName(6));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(256u, seen[0].offset);
    EXPECT_EQ(32u, seen[0].size);

    // 0x24 has the low five bits 4: the same bytes.
    PokeU16(&bytes[kNeTestTable], 0x24);
    seen = WalkImage(bytes, MakeIntResName(6));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(256u, seen[0].offset);

    // A shift of 31 puts any non-zero offset far past the file, without wrapping.
    PokeU16(&bytes[kNeTestTable], 31);
    EXPECT_TRUE(WalkImage(bytes, MakeIntResName(6)).empty());
}

TEST(NeResources, DataPastTheEndEndsTheWalkBeforeItsCallback) {
    std::vector<NeTestType> types = {
        {NeId(2), {{NeId(1), Bytes(4, 1)}, {NeId(2), Bytes(4, 2)}, {NeId(3), Bytes(4, 3)}}}};
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    size_t second = NeResourceEntryOffset(types, 0, 1);
    PokeU16(&bytes[second + 2], static_cast<uint16_t>(bytes.size()));  // longer than the file
    EXPECT_EQ((std::vector<std::string>{"#1"}), Names(WalkImage(bytes, MakeIntResName(2))));

    // Data ending exactly at the last byte is still inside.
    std::vector<uint8_t> exact = BuildNeImage(types, 0);
    PokeU16(&exact[second], static_cast<uint16_t>(exact.size() - 4));
    std::vector<Delivered> seen = WalkImage(exact, MakeIntResName(2));
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ(exact.size(), seen[1].offset + seen[1].size);
    PokeU16(&exact[second], static_cast<uint16_t>(exact.size() - 3));
    EXPECT_EQ(1u, WalkImage(exact, MakeIntResName(2)).size());
}

TEST(NeResources, BadResourceNameEndsTheWalkWhileBadTypeNameSkipsTheType) {
    std::vector<NeTestType> types = {
        {NeText("BAD"), {{NeId(1), Bytes(2, 1)}}},
        {NeText("AVI"),
         {{NeId(1), Bytes(2, 1)}, {NeText("B"), Bytes(2, 2)}, {NeId(3), Bytes(2, 3)}}},
    };
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    uint16_t pastEnd = static_cast<uint16_t>(bytes.size() - kNeTestTable);
    PokeU16(&bytes[NeTypeEntryOffset(types, 0)], pastEnd);
    EXPECT_EQ(3u, WalkImage(bytes, "AVI").size());
    PokeU16(&bytes[NeResourceEntryOffset(types, 1, 1) + 6], pastEnd);
    EXPECT_EQ((std::vector<std::string>{"#1"}), Names(WalkImage(bytes, "AVI")));

    // A length byte inside whose characters run past the end counts as outside.
    bytes.back() = 5;
    PokeU16(&bytes[NeResourceEntryOffset(types, 1, 1) + 6], pastEnd - 1);
    EXPECT_EQ(1u, WalkImage(bytes, "AVI").size());
}

TEST(NeResources, ANameEndingOnTheFilesLastByteIsReadAndNoByteAfterIt) {
    std::vector<NeTestType> types = {{NeId(2), {{NeId(1), Bytes(2, 1)}}}};
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    bytes.push_back(1);
    bytes.push_back('Z');
    const size_t nameField = NeResourceEntryOffset(types, 0, 0) + 6;
    PokeU16(&bytes[nameField], static_cast<uint16_t>(bytes.size() - 2 - kNeTestTable));
    // Exactly as many bytes as the file has, so that a read past them shows.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    memcpy(exact.get(), bytes.data(), bytes.size());
    MappedNeImage image = {};
    ASSERT_TRUE(LocateNeResourceTable(exact.get(), bytes.size(), &image));
    Walk walk{exact.get(), {}, 0};
    EnumNeResources(image, MakeIntResName(2), Record, &walk);
    EXPECT_EQ((std::vector<std::string>{"Z"}), Names(walk.seen));

    // Its length byte last: the character would lie past the end.
    PokeU16(&exact[nameField], static_cast<uint16_t>(bytes.size() - 1 - kNeTestTable));
    exact[bytes.size() - 1] = 1;
    walk.seen.clear();
    EnumNeResources(image, MakeIntResName(2), Record, &walk);
    EXPECT_TRUE(walk.seen.empty());
}

TEST(NeResources, LongAndEmptyNamesArriveTerminated) {
    std::string longest(255, 'N');
    std::vector<NeTestType> types = {
        {NeId(2), {{NeText(longest), Bytes(2, 1)}, {NeText(""), Bytes(2, 2)}}}};
    EXPECT_EQ((std::vector<std::string>{longest, ""}),
              Names(WalkImage(BuildNeImage(types, 0), MakeIntResName(2))));
}

TEST(NeResources, CallbackStopAndTruncatedTables) {
    std::vector<NeTestType> types = {
        {NeId(1), {{NeId(1), Bytes(2, 1)}, {NeId(2), Bytes(2, 2)}}},
    };
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    EXPECT_EQ(1u, WalkImage(bytes, MakeIntResName(1), 1).size());

    // A resource count larger than the table: the entries that fit are walked.
    PokeU16(&bytes[NeTypeEntryOffset(types, 0) + 2], 0xFFFF);
    std::vector<Delivered> seen = WalkImage(bytes, MakeIntResName(1));
    EXPECT_GE(seen.size(), 2u);
    for (const Delivered& d : seen)
        EXPECT_LE(d.offset + d.size, bytes.size());
    // Skipping a type with a huge count cannot step outside.
    EXPECT_TRUE(WalkImage(bytes, MakeIntResName(2)).empty());
}

TEST(NeResources, FindNamedResourceTellsIdentifiersFromTexts) {
    std::vector<NeTestType> types = {
        {NeId(3),
         {{NeText("5"), Bytes(4, 1)}, {NeId(5), Bytes(8, 2)}, {NeText("Five"), Bytes(2, 3)}}}};
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    MappedNeImage image = {};
    ASSERT_TRUE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));

    ResourceLookup byId = {MakeIntResName(5), nullptr, 0};
    EnumNeResources(image, MakeIntResName(3), FindNamedResource, &byId);
    ASSERT_NE(nullptr, byId.foundData);
    EXPECT_EQ(8u, byId.foundSize);
    EXPECT_EQ(2, byId.foundData[0]);

    ResourceLookup byText = {"5", nullptr, 0};
    EnumNeResources(image, MakeIntResName(3), FindNamedResource, &byText);
    ASSERT_NE(nullptr, byText.foundData);
    EXPECT_EQ(1, byText.foundData[0]);

    ResourceLookup missing = {"five", nullptr, 0};
    EnumNeResources(image, MakeIntResName(3), FindNamedResource, &missing);
    EXPECT_EQ(nullptr, missing.foundData);
    ResourceLookup missingId = {MakeIntResName(6), nullptr, 0};
    EnumNeResources(image, MakeIntResName(3), FindNamedResource, &missingId);
    EXPECT_EQ(nullptr, missingId.foundData);
}

TEST(NeResources, LocateNeedsTheHeaderAndTheTablesAlignmentWord) {
    MappedNeImage image = {};
    std::vector<uint8_t> bytes(64, 0);
    PokeU32(&bytes[0x3C], 0);
    EXPECT_FALSE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));

    // NE header at 0x40 of a 0x80-byte file: its 64 bytes end the file, and the
    // table at 0x7D leaves its alignment word inside.
    bytes.assign(0x80, 0);
    PokeU32(&bytes[0x3C], 0x40);
    PokeU16(&bytes[0x40], 0x454E);
    PokeU16(&bytes[0x40 + 0x24], 0x3D);
    EXPECT_TRUE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
    EXPECT_EQ(bytes.data() + 0x7D, image.resourceTable);
    EXPECT_EQ(bytes.data() + bytes.size(), image.end);
    EXPECT_FALSE(LocateNeResourceTable(bytes.data(), bytes.size() - 1, &image));

    // The alignment word as the last two bytes: an empty table, walked to nothing.
    bytes.push_back(0x04);
    PokeU16(&bytes[0x40 + 0x24], 0x3F);
    ASSERT_TRUE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
    Walk walk{bytes.data(), {}, 0};
    EnumNeResources(image, MakeIntResName(14), Record, &walk);
    EXPECT_TRUE(walk.seen.empty());
    // One byte further, the word is cut; a table field of 0 names no table.
    PokeU16(&bytes[0x40 + 0x24], 0x40);
    EXPECT_FALSE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
    PokeU16(&bytes[0x40 + 0x24], 0);
    EXPECT_FALSE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
    PokeU16(&bytes[0x40 + 0x24], 0x3E);

    // Offsets that would wrap a 32-bit sum.
    PokeU32(&bytes[0x3C], 0xFFFFFFF0);
    EXPECT_FALSE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
    PokeU32(&bytes[0x3C], 0x40);
    PokeU16(&bytes[0x40 + 0x24], 0xFFFF);
    EXPECT_FALSE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
    PokeU16(&bytes[0x40 + 0x24], 0x3E);
    bytes[0x40] = 'P';
    EXPECT_FALSE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));
}

}  // namespace
