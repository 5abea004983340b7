// The fallback of the name order on systems whose string comparison refuses a
// flag: driven by comparers that refuse as those systems do.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "formats/texts/TextOrder.h"

namespace {

const uint32_t kFlags[] = {0x40000000, 0};

// Case-blind, as a locale's order is; byte order puts "C" before "b".
int LocaleOrder(const char* first, int firstLength, const char* second, int secondLength) {
    for (int i = 0; i < firstLength && i < secondLength; ++i) {
        const int a = std::tolower(static_cast<uint8_t>(first[i]));
        const int b = std::tolower(static_cast<uint8_t>(second[i]));
        if (a != b)
            return a < b ? 1 : 3;
    }
    return firstLength < secondLength ? 1 : (firstLength > secondLength ? 3 : 2);
}

int RefusesTheFlag(uint32_t flags, const char* first, int firstLength, const char* second,
                   int secondLength) {
    return flags != 0 ? 0 : LocaleOrder(first, firstLength, second, secondLength);
}

int RefusesAll(uint32_t, const char*, int, const char*, int) {
    return 0;
}

int Order(const char* first, const char* second, TextComparer compare) {
    return OrderTexts(first, static_cast<uint32_t>(std::strlen(first)), second,
                      static_cast<uint32_t>(std::strlen(second)), kFlags, 2, compare);
}

TEST(TextOrder, ARefusedFlagFallsToTheNextAndAllRefusedToTheBytes) {
    EXPECT_EQ(-1, Order("b", "C", RefusesTheFlag));
    EXPECT_EQ(1, Order("C", "b", RefusesTheFlag));
    EXPECT_EQ(0, Order("ab", "AB", RefusesTheFlag));

    // Unsigned bytes, a prefix first, and only the same bytes are equal.
    EXPECT_EQ(1, Order("b", "C", RefusesAll));
    EXPECT_EQ(1, Order("\x82\xA0", "a", RefusesAll));
    EXPECT_EQ(-1, Order("ab", "abc", RefusesAll));
    EXPECT_EQ(1, Order("ab", "AB", RefusesAll));
    EXPECT_EQ(0, Order("ab", "ab", RefusesAll));
}

}  // namespace
