#include "formats/texts/LanguageNames.h"

#include <cstring>

#include "formats/bytes/TextWriter.h"

namespace {

const uint16_t kPrimaryMask = 0x03FF;
const uint16_t kUserDefault = 0x0400;
const uint16_t kSystemDefault = 0x0800;
const uint16_t kInvariant = 0x007F;

// Shift-JIS bytes, written out: the sources are UTF-8 and these files are
// built for the host as well as for the library.
const char kNeutral[] = "\x92\x86\x97\xa7";                                          // 中立
const char kUserDefaultName[] = "\x83\x86\x81\x5b\x83\x55\x81\x5b\x8a\xf9\x92\xe8";  // ユーザー既定
const char kSystemDefaultName[] =
    "\x83\x56\x83\x58\x83\x65\x83\x80\x8a\xf9\x92\xe8";  // システム既定
const char kInvariantName[] =
    "\x83\x43\x83\x93\x83\x6f\x83\x8a\x83\x41\x83\x93\x83\x67";  // インバリアント

// " 0x" and four upper-case hex digits.
const size_t kNumberChars = 7;

void AppendNumber(TextWriter* writer, uint16_t language, bool blank) {
    char digits[kNumberChars] = {' ', '0', 'x'};
    for (int i = 0; i < 4; ++i)
        digits[3 + i] = "0123456789ABCDEF"[(language >> (12 - 4 * i)) & 0xF];
    AppendChars(writer, blank ? digits : digits + 1, blank ? kNumberChars : kNumberChars - 1);
}

// Cuts a Shift-JIS text to at most keep bytes without leaving half a
// double-byte character.
size_t WholeCharacters(const char* text, size_t keep) {
    size_t at = 0;
    while (text[at] != '\0') {
        const uint8_t lead = static_cast<uint8_t>(text[at]);
        const size_t step = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
                                    text[at + 1] != '\0'
                                ? 2
                                : 1;
        if (at + step > keep)
            break;
        at += step;
    }
    return at;
}

}  // namespace

bool FixedLanguageName(uint16_t language, char* buffer, size_t capacity) {
    const char* name = nullptr;
    if (language == kUserDefault)
        name = kUserDefaultName;
    else if (language == kSystemDefault)
        name = kSystemDefaultName;
    else if (language == kInvariant)
        name = kInvariantName;
    else if ((language & kPrimaryMask) == 0)
        name = kNeutral;
    else
        return false;
    TextWriter writer = StartText(buffer, capacity);
    AppendString(&writer, name);
    if (name == kNeutral && language != 0)
        AppendNumber(&writer, language, true);
    return true;
}

void UnnamedLanguage(uint16_t language, char* buffer, size_t capacity) {
    TextWriter writer = StartText(buffer, capacity);
    AppendNumber(&writer, language, false);
}

void DistinguishLanguageNames(LanguageName* names, uint32_t count) {
    if (count > kMaxListedLanguages)
        count = kMaxListedLanguages;
    bool shared[kMaxListedLanguages] = {};
    for (uint32_t i = 0; i < count; ++i) {
        for (uint32_t j = i + 1; j < count; ++j) {
            if (strcmp(names[i].name, names[j].name) == 0)
                shared[i] = shared[j] = true;
        }
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (!shared[i])
            continue;
        char* name = names[i].name;
        name[kLanguageNameBytes - 1] = '\0';
        const size_t keep = WholeCharacters(name, kLanguageNameBytes - 1 - kNumberChars);
        name[keep] = '\0';
        TextWriter writer = {name, kLanguageNameBytes, keep};
        AppendNumber(&writer, names[i].language, true);
    }
}
