#include "formats/images/MemberPixels.h"

bool AlphaAllZero(const uint8_t* pixels, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i) {
        if (pixels[i * 4 + 3] != 0)
            return false;
    }
    return true;
}

namespace {

uint8_t BlendChannel(uint32_t colour, uint32_t alpha, uint32_t background) {
    return static_cast<uint8_t>((colour * alpha + (255 - alpha) * background + 127) / 255);
}

}  // namespace

void BlendOverBackground(const uint8_t* pixels, size_t pixelCount, uint32_t background,
                         uint8_t* out) {
    const uint32_t red = background & 0xFF;
    const uint32_t green = (background >> 8) & 0xFF;
    const uint32_t blue = (background >> 16) & 0xFF;
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint8_t* in = pixels + i * 4;
        uint8_t* to = out + i * 4;
        to[0] = BlendChannel(in[0], in[3], blue);
        to[1] = BlendChannel(in[1], in[3], green);
        to[2] = BlendChannel(in[2], in[3], red);
        to[3] = 0;
    }
}
