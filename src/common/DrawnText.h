// Windows 95, 98 and Me draw and measure at most 8,192 characters in one call
// (TextOutA and GetTextExtentPoint32A fail past that): longer texts are drawn
// and measured by their first 8,192; copies keep them whole.
#pragma once

#include <cstddef>

const int kLongestDrawnText = 8192;

inline int DrawnTextLength(size_t length) {
    return length > static_cast<size_t>(kLongestDrawnText) ? kLongestDrawnText
                                                           : static_cast<int>(length);
}
