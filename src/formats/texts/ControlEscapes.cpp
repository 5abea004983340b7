#include "formats/texts/ControlEscapes.h"

namespace {

bool IsControl(uint16_t unit) {
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

// The units one text unit is drawn as; returns how many.
size_t Escape(uint16_t unit, uint16_t (&units)[4]) {
    if (!IsControl(unit)) {
        units[0] = unit;
        return 1;
    }
    units[0] = '\\';
    switch (unit) {
        case '\r':
            units[1] = 'r';
            return 2;
        case '\n':
            units[1] = 'n';
            return 2;
        case '\t':
            units[1] = 't';
            return 2;
        default:
            units[1] = 'x';
            units[2] = static_cast<uint16_t>("0123456789ABCDEF"[unit >> 4]);
            units[3] = static_cast<uint16_t>("0123456789ABCDEF"[unit & 0xF]);
            return 4;
    }
}

bool IsHighSurrogate(uint16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(uint16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

size_t EscapeControls(const uint16_t* text, size_t length, uint16_t* out, size_t capacity) {
    if (capacity == 0)
        return 0;
    size_t written = 0;
    for (size_t i = 0; i < length; ++i) {
        uint16_t units[4];
        size_t count = Escape(text[i], units);
        // A pair goes whole or not at all.
        const bool pair = IsHighSurrogate(text[i]) && i + 1 < length && IsLowSurrogate(text[i + 1]);
        if (pair) {
            units[1] = text[i + 1];
            count = 2;
        }
        if (count > capacity - 1 - written)
            break;
        for (size_t u = 0; u < count; ++u)
            out[written++] = units[u];
        if (pair)
            ++i;
    }
    out[written] = 0;
    return written;
}

size_t EscapedLength(const uint16_t* text, size_t length) {
    size_t total = 0;
    for (size_t i = 0; i < length; ++i) {
        uint16_t units[4];
        total += Escape(text[i], units);
    }
    return total;
}
