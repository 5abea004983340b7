#include "formats/bytes/TextWriter.h"

#include <cstring>

TextWriter StartText(char* buffer, size_t capacity) {
    TextWriter writer = {buffer, capacity, 0};
    if (capacity > 0)
        buffer[0] = '\0';
    return writer;
}

void AppendChars(TextWriter* writer, const char* chars, size_t count) {
    if (writer->capacity == 0)
        return;
    size_t room = writer->capacity - 1 - writer->length;
    size_t taken = count < room ? count : room;
    memcpy(writer->text + writer->length, chars, taken);
    writer->length += taken;
    writer->text[writer->length] = '\0';
}

void AppendString(TextWriter* writer, const char* string) {
    AppendChars(writer, string, strlen(string));
}

void AppendDecimal(TextWriter* writer, uint32_t value, int minDigits) {
    char digits[10];
    int count = 0;
    do {
        digits[sizeof(digits) - 1 - count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int zeros = minDigits - count; zeros > 0; --zeros)
        AppendChars(writer, "0", 1);
    AppendChars(writer, digits + sizeof(digits) - count, static_cast<size_t>(count));
}

void AppendHex(TextWriter* writer, uint64_t value, int digits) {
    char text[16];
    int count = digits < 1 ? 1 : digits > 16 ? 16 : digits;
    for (int i = count - 1; i >= 0; --i) {
        text[i] = "0123456789abcdef"[value & 0xF];
        value >>= 4;
    }
    AppendChars(writer, text, static_cast<size_t>(count));
}
