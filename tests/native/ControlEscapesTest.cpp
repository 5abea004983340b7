// Control characters drawn as C escapes, whole or cut to a buffer.
#include <gtest/gtest.h>

#include <string>

#include "formats/texts/ControlEscapes.h"

namespace {

std::u16string Escaped(const std::u16string& text, size_t capacity) {
    std::u16string out(capacity + 1, u'#');
    const size_t written =
        EscapeControls(reinterpret_cast<const uint16_t*>(text.data()), text.size(),
                       reinterpret_cast<uint16_t*>(&out[0]), capacity);
    EXPECT_TRUE(capacity == 0 || out[written] == 0);
    EXPECT_EQ(u'#', out[capacity]);
    return out.substr(0, written);
}

TEST(ControlEscapes, ControlCharactersDrawAsEscapesAndNothingElseChanges) {
    const std::u16string text = u"a\r\n\tb\x01\x1F\x7F\x85\x9F\xA0\\n \x3042\xD83D\xDE00";
    const std::u16string drawn = u"a\\r\\n\\tb\\x01\\x1F\\x7F\\x85\\x9F\xA0\\n \x3042\xD83D\xDE00";
    EXPECT_EQ(drawn, Escaped(text, 100));
    EXPECT_EQ(drawn.size(),
              EscapedLength(reinterpret_cast<const uint16_t*>(text.data()), text.size()));
    EXPECT_EQ(u"\\x00", Escaped(std::u16string(1, u'\0'), 100));
}

TEST(ControlEscapes, ACutNeverSplitsAnEscapeOrASurrogatePair) {
    const struct {
        const char16_t* text;
        size_t capacity;
        const char16_t* drawn;
    } cases[] = {
        {u"ab\n", 5, u"ab\\n"},   {u"ab\n", 4, u"ab"},         {u"a\x01", 5, u"a"},
        {u"a\x01", 6, u"a\\x01"}, {u"a\xD83D\xDE00", 3, u"a"}, {u"a\xD83Dz", 3, u"a\xD83D"},
        {u"ab", 1, u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::u16string(c.drawn), Escaped(c.text, c.capacity)) << c.capacity;
    EXPECT_EQ(0u, EscapeControls(nullptr, 0, nullptr, 0));
}

}  // namespace
