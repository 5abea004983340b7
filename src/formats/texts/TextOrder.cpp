#include "formats/texts/TextOrder.h"

#include <climits>

namespace {

const int kComparedEqual = 2;

int ComparerLength(uint32_t length) {
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

}  // namespace

int OrderTexts(const char* first, uint32_t firstLength, const char* second, uint32_t secondLength,
               const uint32_t* flagsToTry, size_t flagCount, TextComparer compare) {
    for (size_t i = 0; i < flagCount; ++i) {
        int result = compare(flagsToTry[i], first, ComparerLength(firstLength), second,
                             ComparerLength(secondLength));
        if (result != 0)
            return result - kComparedEqual;
    }
    const uint32_t common = firstLength < secondLength ? firstLength : secondLength;
    for (uint32_t i = 0; i < common; ++i) {
        const uint8_t a = static_cast<uint8_t>(first[i]);
        const uint8_t b = static_cast<uint8_t>(second[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return firstLength < secondLength ? -1 : (firstLength > secondLength ? 1 : 0);
}
