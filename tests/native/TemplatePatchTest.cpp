// The legacy-mode typeface patch of the page template, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "formats/executables/TemplatePatch.h"

namespace {

void PutWord(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void PutText(std::vector<uint8_t>& bytes, size_t offset, const char16_t* text) {
    for (size_t i = 0;; ++i) {
        PutWord(bytes, offset + 2 * i, static_cast<uint16_t>(text[i]));
        if (text[i] == 0)
            break;
    }
}

// An extended template of the page's shape: empty menu, class and title,
// "MS UI Gothic" at 38, items from 64 (here recognisable filler bytes).
std::vector<uint8_t> PageShapedTemplate(size_t itemBytes) {
    std::vector<uint8_t> bytes(64 + itemBytes, 0);
    PutWord(bytes, 0, 1);
    PutWord(bytes, 2, 0xFFFF);
    bytes[12] = 0x44;  // style 0x50C00044
    bytes[13] = 0x00;
    bytes[14] = 0xC0;
    bytes[15] = 0x50;
    PutWord(bytes, 16, 15);
    PutWord(bytes, 22, 227);
    PutWord(bytes, 24, 200);
    PutWord(bytes, 32, 9);
    bytes[37] = 1;
    PutText(bytes, 38, u"MS UI Gothic");
    for (size_t i = 0; i < itemBytes; ++i)
        bytes[64 + i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(TemplatePatch, ReplacesTypefaceAndMovesItemsByEightBytes) {
    std::vector<uint8_t> source = PageShapedTemplate(646 - 64);
    std::vector<uint8_t> copy(source.size(), 0xCC);
    ASSERT_TRUE(PatchTemplateTypeface(source.data(), static_cast<uint32_t>(source.size()),
                                      copy.data(), static_cast<uint32_t>(copy.size())));

    for (size_t i = 0; i < 38; ++i)
        EXPECT_EQ(source[i], copy[i]) << "header byte " << i;
    // "ＭＳ Ｐゴシック" and its terminator, UTF-16LE.
    const uint8_t typeface[16] = {0x2D, 0xFF, 0x33, 0xFF, 0x20, 0x00, 0x30, 0xFF,
                                  0xB4, 0x30, 0xB7, 0x30, 0xC3, 0x30, 0xAF, 0x30};
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(typeface[i], copy[38 + i]) << "typeface byte " << i;
    EXPECT_EQ(0, copy[54]);
    EXPECT_EQ(0, copy[55]);
    for (size_t i = 0; i < source.size() - 64; ++i) {
        ASSERT_EQ(source[64 + i], copy[56 + i]) << "item byte " << i;
    }
    // The last 8 bytes of the block lie past the patched template.
    for (size_t i = source.size() - 8; i < source.size(); ++i)
        EXPECT_EQ(0xCC, copy[i]);
}

TEST(TemplatePatch, HeaderOnlyTemplatePatches) {
    std::vector<uint8_t> source = PageShapedTemplate(0);
    std::vector<uint8_t> copy(source.size());
    EXPECT_TRUE(PatchTemplateTypeface(source.data(), 64, copy.data(), 64));
}

TEST(TemplatePatch, RefusesTemplatesOfAnotherShapeAndLeavesTheCopyAlone) {
    struct Case {
        const char* what;
        size_t offset;
        uint16_t value;
    };
    const Case cases[] = {
        {"old-style template", 2, 0},  {"version 2", 0, 2},         {"has a menu", 26, 0x0065},
        {"has a class", 28, 0x0066},   {"has a title", 30, 0x0041}, {"other typeface", 38, u'A'},
        {"longer typeface", 62, u'x'},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> source = PageShapedTemplate(40);
        PutWord(source, c.offset, c.value);
        std::vector<uint8_t> copy(source.size(), 0xCC);
        EXPECT_FALSE(PatchTemplateTypeface(source.data(), static_cast<uint32_t>(source.size()),
                                           copy.data(), static_cast<uint32_t>(copy.size())))
            << c.what;
        for (uint8_t b : copy)
            ASSERT_EQ(0xCC, b) << c.what;
    }
}

TEST(TemplatePatch, RefusesShortSourceSmallDestinationAndNull) {
    std::vector<uint8_t> source = PageShapedTemplate(40);
    std::vector<uint8_t> copy(source.size(), 0xCC);
    const uint32_t size = static_cast<uint32_t>(source.size());
    EXPECT_FALSE(PatchTemplateTypeface(source.data(), 63, copy.data(), size));
    EXPECT_FALSE(PatchTemplateTypeface(source.data(), size, copy.data(), size - 1));
    EXPECT_FALSE(PatchTemplateTypeface(nullptr, size, copy.data(), size));
    EXPECT_FALSE(PatchTemplateTypeface(source.data(), size, nullptr, size));
    for (uint8_t b : copy)
        ASSERT_EQ(0xCC, b);
}

}  // namespace
