// The names a language list shows: those never asked of the platform, and
// numbers after names that two languages share.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/texts/LanguageNames.h"

namespace {

TEST(LanguageNames, StandInsForALanguageGetNamesOfTheirOwn) {
    const struct {
        uint16_t language;
        const char* name;  // null: asked of the platform
    } cases[] = {
        {0x0000, "\x92\x86\x97\xa7"},
        {0x0400, "\x83\x86\x81\x5b\x83\x55\x81\x5b\x8a\xf9\x92\xe8"},
        {0x0800, "\x83\x56\x83\x58\x83\x65\x83\x80\x8a\xf9\x92\xe8"},
        {0x007F, "\x83\x43\x83\x93\x83\x6f\x83\x8a\x83\x41\x83\x93\x83\x67"},
        {0x0C00, "\x92\x86\x97\xa7 0x0C00"},
        {0x0409, nullptr},
        {0x0012, nullptr},
        {0x0411, nullptr},
    };
    for (const auto& c : cases) {
        char name[kLanguageNameBytes] = "untouched";
        EXPECT_EQ(c.name != nullptr, FixedLanguageName(c.language, name, sizeof name))
            << c.language;
        EXPECT_STREQ(c.name != nullptr ? c.name : "untouched", name) << c.language;
    }
    char name[8];
    UnnamedLanguage(0x0412, name, sizeof name);
    EXPECT_STREQ("0x0412", name);
}

TEST(LanguageNames, NamesThatTwoNumbersShareTakeTheNumber) {
    const std::string longName = std::string(87, 'k') + "\x8a\xf9";  // a double-byte end
    std::vector<LanguageName> names = {
        {0x0009, "English (United States)"},
        {0x0409, "English (United States)"},
        {0x0011, "Japanese (Japan)"},
        {0x0012, "Korean (Korea)"},
        {0x0412, "Korean (Korea)"},
        {0x0019, ""},
        {0x0819, ""},
        {0x0001, ""},
    };
    names[5].name[0] = names[6].name[0] = 'x';
    strcpy(names[7].name, longName.c_str());
    names.push_back(names[7]);
    names.back().language = 0x0401;
    DistinguishLanguageNames(names.data(), static_cast<uint32_t>(names.size()));
    const char* expected[] = {
        "English (United States) 0x0009",
        "English (United States) 0x0409",
        "Japanese (Japan)",
        "Korean (Korea) 0x0012",
        "Korean (Korea) 0x0412",
        "x 0x0019",
        "x 0x0819",
    };
    for (size_t i = 0; i < 7; ++i)
        EXPECT_STREQ(expected[i], names[i].name) << i;
    // Cut to room for the number, before the double-byte character, not in it.
    EXPECT_EQ(std::string(87, 'k') + " 0x0001", names[7].name);
    EXPECT_EQ(std::string(87, 'k') + " 0x0401", names[8].name);
}

}  // namespace
