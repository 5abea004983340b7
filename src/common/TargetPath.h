// The selected file's name as every open of the target takes it. A name that
// fits the ANSI code page stays narrow and is opened as it always was; any
// other name is kept as the wide name the shell handed over and opened through
// the wide file functions, so that it still reaches the same file.
#pragma once

#include <windows.h>

#include <cstdint>

struct TargetPath {
    const char* narrow;   // system code page; null when wide is set
    const wchar_t* wide;  // only for a name the ANSI code page cannot spell
    // The language whose resources every opening reads: 0 lets the platform
    // pick each one, else TargetLanguage(number).
    uint32_t language = 0;
};

inline uint32_t TargetLanguage(uint16_t language) {
    return 0x10000u | language;
}

// CreateFile for reading only, sharing read and write, OPEN_EXISTING.
// INVALID_HANDLE_VALUE when it fails or the path is empty (both null, or a
// wide name on a system without the wide functions).
HANDLE OpenTargetFile(const TargetPath& path);

// LoadLibraryEx as a data file: no code of the target runs. Null when it fails,
// on the same terms as OpenTargetFile.
HMODULE LoadTargetAsData(const TargetPath& path);
