// Pixel arithmetic of the member pictures: the blend of a 32-bit image over
// the item's background.
#pragma once

#include <cstddef>
#include <cstdint>

// True when no pixel of pixelCount blue-green-red-alpha pixels has a non-zero
// alpha: such an image carries its transparency in the mask instead.
bool AlphaAllZero(const uint8_t* pixels, size_t pixelCount);

// Writes pixelCount pixels to out: each source colour weighed by its alpha
// against background (0x00BBGGRR), rounded to nearest; the fourth byte is 0.
void BlendOverBackground(const uint8_t* pixels, size_t pixelCount, uint32_t background,
                         uint8_t* out);
