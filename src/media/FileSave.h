// Writing a file the user chose, so that nothing is lost: the bytes go under a
// temporary name in the chosen folder and are moved over the chosen name only
// when complete. On any failure the temporary file is removed and a file that
// had the chosen name is as it was. The target itself is never written.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/TargetPath.h"

// A chosen file: wide on systems whose file functions take wide names (so that
// any name can be chosen), else narrow in the system code page. folderLength:
// the characters before the file's own name.
struct SavePath {
    bool isWide;
    wchar_t wide[MAX_PATH];
    char narrow[MAX_PATH];
    uint32_t folderLength;
};

// True when path names the target file itself, whatever the spelling: the same
// volume and file index. False when either cannot be opened.
bool IsTargetFile(const SavePath& path, const TargetPath& target);

// Writes size bytes to path as above: 0, or the system error of the step that
// failed.
DWORD SaveFileBytes(const SavePath& path, const void* bytes, uint32_t size);
