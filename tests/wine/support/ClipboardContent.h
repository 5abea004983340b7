// What the user's clipboard holds around a copy: a sentinel put there first,
// so that a command that must change nothing can be seen to leave it, and the
// bytes of one format read back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// The text the clipboard holds before a copy, as CF_TEXT.
extern const char kSentinel[];

// Replaces the clipboard's content with kSentinel.
void SeedClipboard();

// The block of one format, or empty when the clipboard has none.
std::vector<uint8_t> ClipboardBytes(UINT format);
