// The uncompressed bottom-up DIB headers the page composes member pictures
// with, and the success test of StretchDIBits.
#pragma once

#include <windows.h>

#include <cstdint>

inline BITMAPINFOHEADER PlainDibHeader(uint32_t width, uint32_t height, WORD bitCount,
                                       DWORD colourEntries = 0) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = static_cast<LONG>(width);
    header.biHeight = static_cast<LONG>(height);
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    header.biClrUsed = colourEntries;
    return header;
}

// StretchDIBits gives the lines it drew: 0 or GDI_ERROR when it failed.
inline bool StretchSucceeded(int lines) {
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}
