// Short texts (numbers, sizes, names in quotes) written into a fixed buffer.
// The C library's formatted output would bring a runtime that ties the DLL to
// newer systems and to a thread-local locale; the page needs only these few
// shapes. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

// The text is always terminated; what does not fit is cut off.
struct TextWriter {
    char* text;
    size_t capacity;  // bytes of text, terminator included
    size_t length;    // characters written so far
};

// Starts an empty text in buffer; capacity 0 writes nothing at all.
TextWriter StartText(char* buffer, size_t capacity);

void AppendChars(TextWriter* writer, const char* chars, size_t count);
void AppendString(TextWriter* writer, const char* string);

// At least minDigits digits, zeros in front.
void AppendDecimal(TextWriter* writer, uint32_t value, int minDigits = 1);

// Exactly digits lower-case hex digits (1 to 16), the low ones of value.
void AppendHex(TextWriter* writer, uint64_t value, int digits);
