// Message tables: the rows of whole and damaged tables as a list shows them,
// the ID and line-break display rules, and kernelbase.dll's English table.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/ResourceDirectory.h"
#include "formats/texts/MessageTable.h"
#include "writers/ResourceSectionWriter.h"

namespace {

// Each row as "ID=text" with its text's bytes, a UTF-16 unit as one character.
std::string Rows(const Bytes& table, int* result = nullptr) {
    std::vector<MessageRow> rows(MessageRowsBound(table.size()) + 1);
    uint32_t count = 0;
    const int read = ReadMessageTable(table.data(), table.size(), 7, rows.data(),
                                      static_cast<uint32_t>(rows.size()), &count);
    if (result != nullptr)
        *result = read;
    std::string text;
    for (uint32_t i = 0; i < count; ++i) {
        const MessageRow& row = rows[i];
        char id[16];
        MessageIdText(row.id, id, sizeof id);
        text += std::string(id) + "=";
        const uint32_t unit = row.encoding == kMessageUnicode ? 2 : 1;
        for (uint32_t b = 0; b < row.textBytes; b += unit)
            text += static_cast<char>(table[row.textOffset + b]);
        text += " ";
    }
    return text;
}

// Three blocks out of ID order, every encoding, an HRESULT-sized ID.
const std::vector<MessageBlock> kBlocks = {
    {100, {{0, "hundred"}, {1, "wide"}}},
    {1, {{1, "one"}, {2, "two"}, {0, "three"}}},
    {0x80070005, {{1, "denied"}}},
};
const char kAll[] = "1=one 2=two 3=three 100=hundred 101=wide 0x80070005=denied ";

// File offsets in the table: block i's header fields, and its first entry.
size_t Header(uint32_t block, uint32_t field) {
    return 4 + block * 12 + field * 4;
}
uint32_t First(const Bytes& t, uint32_t block) {
    return PeekU32(t.data() + Header(block, 2));
}

TEST(MessageTable, RowsOfEveryBlockAreSortedByIdWithTheirEncodings) {
    const Bytes table = MakeMessageTable(kBlocks);
    EXPECT_EQ(kAll, Rows(table));
    std::vector<MessageRow> rows(MessageRowsBound(table.size()));
    uint32_t count = 0;
    ASSERT_EQ(0, ReadMessageTable(table.data(), table.size(), 3, rows.data(),
                                  static_cast<uint32_t>(rows.size()), &count));
    EXPECT_EQ(kMessageUnicode, rows[0].encoding);
    EXPECT_EQ(kMessageUtf8, rows[1].encoding);
    EXPECT_EQ(kMessageAnsi, rows[2].encoding);
    EXPECT_EQ(3u, rows[0].table);

    EXPECT_EQ(-2, ReadMessageTable(table.data(), table.size(), 0, rows.data(),
                                   static_cast<uint32_t>(rows.size() - 1), &count));
    EXPECT_EQ(-1, ReadMessageTable(table.data(), 3, 0, rows.data(), 1, &count));
}

TEST(MessageTable, ATableListsWhatIsSoundAndNothingElse) {
    using Patch = std::function<void(Bytes&)>;
    const struct {
        const char* what;
        Patch patch;
        const char* listed;
    } cases[] = {
        {"more blocks counted than stored", [](Bytes& t) { PutU32(t, 0, 0x7FFFFFFF); }, ""},
        {"fewer blocks counted", [](Bytes& t) { PutU32(t, 0, 1); }, "100=hundred 101=wide "},
        {"highest ID below the lowest", [](Bytes& t) { PutU32(t, Header(0, 1), 99); },
         "1=one 2=two 3=three 0x80070005=denied "},
        {"fewer IDs than entries", [](Bytes& t) { PutU32(t, Header(1, 1), 2); },
         "1=one 2=two 100=hundred 101=wide 0x80070005=denied "},
        {"entries inside the block headers", [](Bytes& t) { PutU32(t, Header(0, 2), 36); },
         "1=one 2=two 3=three 0x80070005=denied "},
        {"entries past the end", [](Bytes& t) { PutU32(t, Header(0, 2), uint32_t(t.size())); },
         "1=one 2=two 3=three 0x80070005=denied "},
        {"an entry shorter than its header",
         [](Bytes& t) { PutU16(t, First(t, 1) + PeekU16(&t[First(t, 1)]), 3); },
         "1=one 100=hundred 101=wide 0x80070005=denied "},
        {"an entry running past the end", [](Bytes& t) { t.resize(t.size() - 1); },
         "1=one 2=two 3=three 100=hundred 101=wide "},
        {"an unknown encoding", [](Bytes& t) { PutU16(t, First(t, 1) + 2, 3); },
         "2=two 3=three 100=hundred 101=wide 0x80070005=denied "},
        {"a block starting inside another's entries",
         [](Bytes& t) { PutU32(t, Header(2, 2), First(t, 1) + 12); }, "100=hundred 101=wide "},
        {"two blocks at the same entries", [](Bytes& t) { PutU32(t, Header(0, 2), First(t, 1)); },
         "0x80070005=denied "},
    };
    for (const auto& c : cases) {
        Bytes table = MakeMessageTable(kBlocks);
        c.patch(table);
        EXPECT_EQ(c.listed, Rows(table)) << c.what;
    }
}

TEST(MessageTable, AnIdListedByTwoBlocksComesFromTheFirst) {
    const Bytes table = MakeMessageTable(
        {{5, {{0, "b5"}, {0, "b6"}}}, {4, {{0, "a4"}, {0, "a5"}, {0, "a6"}, {0, "a7"}}}});
    EXPECT_EQ("4=a4 5=b5 6=b6 7=a7 ", Rows(table));
}

TEST(MessageTable, TextsEndAtTheirFirstNulAndDrawWithoutTheirLineBreak) {
    const Bytes table =
        MakeMessageTable({{1, {{0, "a\r\n"}, {1, "b\n"}, {2, "c\r"}, {1, "d\n\n"}}}});
    std::vector<MessageRow> rows(MessageRowsBound(table.size()));
    uint32_t count = 0;
    ASSERT_EQ(0, ReadMessageTable(table.data(), table.size(), 0, rows.data(),
                                  static_cast<uint32_t>(rows.size()), &count));
    ASSERT_EQ(4u, count);
    const uint32_t drawn[] = {1, 2, 2, 4};
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(drawn[i], MessageTextWithoutBreak(&table[rows[i].textOffset], rows[i].textBytes,
                                                    rows[i].encoding))
            << i;
    }
    EXPECT_EQ(4u, rows[1].textBytes);
}

TEST(MessageTable, IdsAboveSixteenBitsShowInHex) {
    const struct {
        uint32_t id;
        const char* shown;
    } cases[] = {{0, "0"}, {65535, "65535"}, {65536, "0x00010000"}, {0xC0000005, "0xC0000005"}};
    for (const auto& c : cases) {
        char text[11];
        MessageIdText(c.id, text, sizeof text);
        EXPECT_STREQ(c.shown, text);
    }
}

TEST(MessageTable, KernelbaseEnglishTableGivesSystemMessages) {
    std::ifstream file("/usr/lib/i386-linux-gnu/wine/i386-windows/kernelbase.dll",
                       std::ios::binary);
    const Bytes image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    PeResourceSection section;
    ASSERT_TRUE(LocatePeResources(image.data(), image.size(), &section));
    struct Found {
        uint64_t offset;
        uint32_t size;
        uint32_t tables;
    } found = {0, 0, 0};
    WalkPeResources(
        section,
        [](const ResourceLeaf& leaf, void* user) -> int {
            Found* f = static_cast<Found*>(user);
            f->tables += leaf.type.text == nullptr && leaf.type.id == 11;
            if (f->tables > 0 && leaf.language == 0x0409 && leaf.dataInFile) {
                f->offset = leaf.fileOffset;
                f->size = leaf.size;
            }
            return 1;
        },
        &found);
    EXPECT_EQ(33u, found.tables);
    ASSERT_NE(0u, found.size);
    const Bytes table(image.begin() + found.offset, image.begin() + found.offset + found.size);
    std::vector<MessageRow> rows(MessageRowsBound(table.size()));
    uint32_t count = 0;
    ASSERT_EQ(0, ReadMessageTable(table.data(), table.size(), 0, rows.data(),
                                  static_cast<uint32_t>(rows.size()), &count));
    EXPECT_EQ(761u, count);
    const MessageRow* denied = nullptr;
    for (uint32_t i = 0; i < count; ++i)
        denied = rows[i].id == 5 ? &rows[i] : denied;
    ASSERT_NE(nullptr, denied);
    const std::u16string text(u"Access denied.");
    ASSERT_EQ(text.size() * 2, MessageTextWithoutBreak(&table[denied->textOffset],
                                                       denied->textBytes, denied->encoding));
    EXPECT_EQ(0, memcmp(text.data(), &table[denied->textOffset], text.size() * 2));
}

}  // namespace
