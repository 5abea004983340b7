// The identifier index over NE images built in memory.
#include <gtest/gtest.h>

#include <vector>

#include "NeImageBuilder.h"
#include "formats/executables/NeIdIndex.h"

namespace {

TEST(NeIdIndex, FindsTheFirstOfEqualIdsAndSkipsTextNames) {
    std::vector<NeTestType> types = {
        {NeId(3),
         {{NeId(9), {9}},
          {NeText("NINE"), {0}},
          {NeId(2), {2}},
          {NeId(9), {99}},
          {NeId(5), {5}},
          {NeId(9), {98}}}},
        {NeId(1), {{NeId(7), {7}}}},
    };
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    MappedNeImage image = {};
    ASSERT_TRUE(LocateNeResourceTable(bytes.data(), bytes.size(), &image));

    uint32_t count = CountNeIdResources(image, MakeIntResName(3));
    ASSERT_EQ(5u, count);
    std::vector<NeIdEntry> entries(count);
    ASSERT_EQ(count, FillNeIdIndex(image, MakeIntResName(3), entries.data(), count));
    const NeIdEntry* nine = FindNeId(entries.data(), count, 9);
    ASSERT_NE(nullptr, nine);
    EXPECT_EQ(9, nine->data[0]);
    EXPECT_EQ(5, FindNeId(entries.data(), count, 5)->data[0]);
    EXPECT_EQ(2, FindNeId(entries.data(), count, 2)->data[0]);
    EXPECT_EQ(nullptr, FindNeId(entries.data(), count, 7));
    EXPECT_EQ(nullptr, FindNeId(entries.data(), count, 10));
    EXPECT_EQ(nullptr, FindNeId(entries.data(), 0, 9));

    // Room for fewer: the first in table order are kept.
    std::vector<NeIdEntry> two(2);
    ASSERT_EQ(2u, FillNeIdIndex(image, MakeIntResName(3), two.data(), 2));
    EXPECT_EQ(2, two[0].id);
    EXPECT_EQ(9, two[1].id);
    EXPECT_EQ(0u, CountNeIdResources(image, "AVI"));
}

}  // namespace
