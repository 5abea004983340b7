// The Win32 side of the NE reader: the file, its read-only mapping and view.
#include "catalogue/MapNeImage.h"

#include <windows.h>

#include <cstdint>

bool MapNeImage(const TargetPath& path, MappedNeImage* image) {
    HANDLE file = OpenTargetFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD sizeHigh = 0;
    SetLastError(NO_ERROR);
    DWORD sizeLow = GetFileSize(file, &sizeHigh);
    uint64_t fileSize = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
    // A file that is empty or larger than the address space cannot be viewed
    // whole; the mapping functions would refuse it anyway.
    if ((sizeLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || fileSize == 0 ||
        fileSize > SIZE_MAX) {
        CloseHandle(file);
        return false;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        CloseHandle(file);
        return false;
    }
    const uint8_t* view =
        static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    if (view == nullptr) {
        CloseHandle(mapping);
        CloseHandle(file);
        return false;
    }
    if (!LocateNeResourceTable(view, static_cast<size_t>(fileSize), image)) {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        CloseHandle(file);
        return false;
    }
    image->file = file;
    image->mapping = mapping;
    return true;
}

void UnmapNeImage(const MappedNeImage& image) {
    UnmapViewOfFile(image.base);
    CloseHandle(image.mapping);
    CloseHandle(image.file);
}
