// Whether this process still has a view of a file mapped: what a page that
// forgot to release its target leaves behind. (An exclusive reopen proves
// nothing under Wine, which lets a mapped file be opened exclusively.)
#pragma once

#include <string>

// True when a view of the file is mapped anywhere in this process: a data
// module, a mapped 16-bit image or a loaded image.
bool FileMappedInProcess(const std::string& path);
bool FileMappedInProcess(const std::wstring& path);
