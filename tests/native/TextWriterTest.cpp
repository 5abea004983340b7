// Short texts in fixed buffers: what the page draws and names its clips with.
#include <gtest/gtest.h>

#include "formats/bytes/TextWriter.h"

TEST(TextWriter, WritesNumbersAndCutsWhatDoesNotFit) {
    char buffer[12];
    TextWriter text = StartText(buffer, sizeof(buffer));
    AppendDecimal(&text, 4294967295u);
    EXPECT_STREQ("4294967295", buffer);
    AppendString(&text, "xyz");
    EXPECT_STREQ("4294967295x", buffer);  // terminator kept, the rest dropped
    EXPECT_EQ(11u, text.length);

    text = StartText(buffer, sizeof(buffer));
    AppendDecimal(&text, 0);
    AppendChars(&text, ".", 1);
    AppendDecimal(&text, 7, 2);
    AppendHex(&text, 0x1234ABCDull, 6);
    EXPECT_STREQ("0.0734abcd", buffer);

    char none[1] = {'?'};
    text = StartText(none, 0);
    AppendString(&text, "abc");
    EXPECT_EQ('?', none[0]);  // no room even for a terminator: untouched
}
