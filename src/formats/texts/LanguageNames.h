// The names a list of languages shows, where the platform is not asked. Texts
// are Shift-JIS (code page 932), as the page's own labels.
//
// Numbers whose primary language is 0 are no languages but stand-ins for one
// (neutral, the user's or the system's default), and 0x007F, the invariant
// locale, is unknown to the oldest systems: asking any of them for a name
// gives another language's name, a failure or an answer that differs from
// system to system. They get names of their own instead:
//   0x0000 "中立", 0x0400 "ユーザー既定", 0x0800 "システム既定",
//   0x007F "インバリアント", and any other number with primary language 0
//   "中立" with its number ("中立 0x0C00").
// ("既定" alone is the list's first choice, the platform's pick; no number is
// named so.)
#pragma once

#include <cstddef>
#include <cstdint>

// Room for a name as the platform gives one, plus the number after it.
constexpr size_t kLanguageNameBytes = 96;
// DistinguishLanguageNames compares every pair: lists are cut at this many.
constexpr uint32_t kMaxListedLanguages = 1024;

// True when language must not be asked of the platform; its name is written
// into buffer (always terminated, cut to capacity).
bool FixedLanguageName(uint16_t language, char* buffer, size_t capacity);

// The name of a language the platform cannot name: its number, "0x0412".
void UnnamedLanguage(uint16_t language, char* buffer, size_t capacity);

struct LanguageName {
    uint16_t language;
    char name[kLanguageNameBytes];
};

// Where two or more numbers have the same name (byte for byte), each of them
// gets its number after the name ("Korean (Korea) 0x0012" beside "Korean
// (Korea) 0x0412"), so that no two entries read alike. The name is cut, never
// the number, when both do not fit. Names already unique stay as they are.
// Only the first kMaxListedLanguages entries are looked at.
void DistinguishLanguageNames(LanguageName* names, uint32_t count);
