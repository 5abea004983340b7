// The places a sorted list gives its items, worked out in memory: sorted by
// the comparer, ties placed as the list's own binary search places them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "formats/texts/SortedPlaces.h"

namespace {

int ByKey(uint32_t placed, uint32_t added, void* context) {
    const std::vector<int>& keys = *static_cast<std::vector<int>*>(context);
    return keys[placed] < keys[added] ? -1 : (keys[placed] > keys[added] ? 1 : 0);
}

std::vector<uint32_t> Places(std::vector<int> keys) {
    std::vector<uint32_t> order(keys.size(), 0xFFFFFFFFu);
    PlaceLikeSortedList(order.data(), static_cast<uint32_t>(order.size()), ByKey, &keys);
    return order;
}

TEST(SortedPlaces, ItemsEndInTheComparersOrderWhateverOrderTheyCameIn) {
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3}), Places({1, 2, 3, 4}));
    EXPECT_EQ((std::vector<uint32_t>{3, 2, 1, 0}), Places({4, 3, 2, 1}));
    EXPECT_EQ((std::vector<uint32_t>{4, 1, 3, 0, 2}), Places({30, 10, 50, 20, 5}));
    EXPECT_TRUE(Places({}).empty());

    std::vector<int> keys;
    for (int i = 0; i < 3000; ++i)
        keys.push_back((i * 7919) % 3001);
    const std::vector<uint32_t> order = Places(keys);
    std::vector<bool> seen(keys.size(), false);
    for (size_t i = 0; i < order.size(); ++i) {
        ASSERT_LT(order[i], keys.size());
        EXPECT_FALSE(seen[order[i]]);
        seen[order[i]] = true;
        if (i > 0) {
            EXPECT_LE(keys[order[i - 1]], keys[order[i]]);
        }
    }
}

TEST(SortedPlaces, ATieGoesBeforeTheEqualItemTheSearchMeets) {
    // The list probes the middle of what it holds and stops at an equal item,
    // so equal items do not simply keep or reverse their order.
    EXPECT_EQ((std::vector<uint32_t>{1, 0}), Places({7, 7}));
    EXPECT_EQ((std::vector<uint32_t>{2, 3, 1, 0}), Places({7, 7, 7, 7}));
    EXPECT_EQ((std::vector<uint32_t>{0, 3, 1, 2}), Places({1, 5, 9, 5}));
}

}  // namespace
