// The generated test files as the platform reads them: every clip opens (or,
// for the one that is no clip, fails to) with the streams and first frame its
// generator documents; every icon and cursor image of the PE test library makes
// an icon of its size with its hot spot; bitmaps stored bottom-up and top-down
// show the same picture. Later tests rely on these files being what they claim.
#include <gtest/gtest.h>
#include <windows.h>
#include <vfw.h>
#include <mmsystem.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

struct ClipCase {
    const char* name;
    bool video;
    bool sound;
    int bitCount;
};

// First frame of every clip with video: four vertical bars, red, green, blue,
// white, each a quarter of the width (tests/fixtures/writers/AviWriter.h).
void ExpectFirstFrameBars(PAVISTREAM video) {
    PGETFRAME frames = AVIStreamGetFrameOpen(video, nullptr);
    ASSERT_NE(nullptr, frames);
    const BITMAPINFOHEADER* header =
        static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, 0));
    ASSERT_NE(nullptr, header);
    ASSERT_EQ(32, header->biWidth);
    ASSERT_EQ(24, header->biHeight);
    ASSERT_TRUE(header->biBitCount == 24 || header->biBitCount == 32) << header->biBitCount;
    const uint8_t* bits = reinterpret_cast<const uint8_t*>(header) + header->biSize;
    const DWORD expected[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    int bytesPerPixel = header->biBitCount / 8;
    for (int bar = 0; bar < 4; ++bar) {
        for (int x : {bar * 8, bar * 8 + 7}) {
            const uint8_t* pixel = bits + x * bytesPerPixel;  // the bottom row
            DWORD colour = (pixel[2] << 16) | (pixel[1] << 8) | pixel[0];
            EXPECT_EQ(expected[bar], colour) << "x " << x;
        }
    }
    AVIStreamGetFrameClose(frames);
}

TEST(FixtureFiles, ClipsOpenWithTheirStreams) {
    const ClipCase cases[] = {
        {"clip-av.avi", true, true, 24},
        {"clip-video24.avi", true, false, 24},
        {"clip-video32.avi", true, false, 32},
        {"clip-sound.avi", false, true, 0},
    };
    AVIFileInit();
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        PAVIFILE file = nullptr;
        ASSERT_EQ(0, AVIFileOpenA(&file, FixturePath(c.name).c_str(), OF_READ, nullptr));
        PAVISTREAM video = nullptr;
        PAVISTREAM sound = nullptr;
        EXPECT_EQ(c.video, AVIFileGetStream(file, &video, streamtypeVIDEO, 0) == 0);
        EXPECT_EQ(c.sound, AVIFileGetStream(file, &sound, streamtypeAUDIO, 0) == 0);
        if (video) {
            EXPECT_EQ(4, AVIStreamLength(video));
            ExpectFirstFrameBars(video);
            AVIStreamRelease(video);
        }
        if (sound) {
            WAVEFORMATEX format = {};  // the clip stores the 18-byte form
            LONG size = sizeof(format);
            ASSERT_EQ(0, AVIStreamReadFormat(sound, 0, &format, &size));
            EXPECT_EQ(WAVE_FORMAT_PCM, format.wFormatTag);
            EXPECT_EQ(1, format.nChannels);
            EXPECT_EQ(11025u, format.nSamplesPerSec);
            EXPECT_EQ(8, format.wBitsPerSample);
            EXPECT_EQ(4 * 1102, AVIStreamLength(sound));
            AVIStreamRelease(sound);
        }
        AVIFileRelease(file);
    }
    PAVIFILE file = nullptr;
    EXPECT_NE(0, AVIFileOpenA(&file, FixturePath("clip-none.avi").c_str(), OF_READ, nullptr));
    AVIFileExit();
}

TEST(FixtureFiles, ClipsWithVideoOpenInTheVideoDevice) {
    for (const char* name : {"clip-av.avi", "clip-video24.avi", "clip-video32.avi"}) {
        SCOPED_TRACE(name);
        std::string open = "open \"" + FixturePath(name) + "\" type avivideo alias clip";
        ASSERT_EQ(0u, mciSendStringA(open.c_str(), nullptr, 0, nullptr));
        char answer[64] = {};
        EXPECT_EQ(0u, mciSendStringA("set clip time format frames", nullptr, 0, nullptr));
        EXPECT_EQ(0u, mciSendStringA("status clip length", answer, sizeof(answer), nullptr));
        EXPECT_STREQ("4", answer);
        EXPECT_EQ(0u, mciSendStringA("where clip source", answer, sizeof(answer), nullptr));
        EXPECT_STREQ("0 0 32 24", answer);
        EXPECT_EQ(0u, mciSendStringA("close clip", nullptr, 0, nullptr));
    }
}

TEST(FixtureFiles, NeImagesAreNoDataModules) {
    // 16-bit targets reach the program's own reader only because the platform
    // refuses to load them as data.
    for (const char* name : {"ne-kinds.exe", "ne-shift9.exe", "ne-damage-base.exe"}) {
        HMODULE module =
            LoadLibraryExA(FixturePath(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_EQ(nullptr, module) << name;
        if (module)
            FreeLibrary(module);
    }
}

struct Library {
    HMODULE module;
    explicit Library(const char* name = "pe-resources.dll") {
        module = LoadLibraryExA(FixturePath(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~Library() {
        if (module)
            FreeLibrary(module);
    }
    const uint8_t* Bytes(LPCSTR name, LPCSTR type, DWORD* size) const {
        HRSRC resource = FindResourceA(module, name, type);
        if (!resource)
            return nullptr;
        *size = SizeofResource(module, resource);
        return static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
    }
};

struct MadeIcon {
    int width, height;
    DWORD hotX, hotY;
};

bool MakeIconFromImage(const uint8_t* bits, DWORD size, bool icon, MadeIcon* made) {
    HICON handle = CreateIconFromResourceEx(const_cast<PBYTE>(bits), size, icon, 0x00030000, 0, 0,
                                            LR_DEFAULTCOLOR);
    if (!handle)
        return false;
    ICONINFO info = {};
    GetIconInfo(handle, &info);
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof(mask), &mask);
    made->width = mask.bmWidth;
    made->height = info.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
    made->hotX = info.xHotspot;
    made->hotY = info.yHotspot;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(handle);
    return true;
}

// Every image a group names makes an icon of the size its entry gives.
void ExpectGroupImages(const Library& library, LPCSTR group, bool icon,
                       const std::vector<POINT>& hotSpots) {
    SCOPED_TRACE(IS_INTRESOURCE(group) ? std::to_string(LOWORD(group)) : std::string(group));
    DWORD size = 0;
    const uint8_t* directory =
        library.Bytes(group, icon ? MAKEINTRESOURCEA(14) : MAKEINTRESOURCEA(12), &size);
    ASSERT_NE(nullptr, directory);
    ASSERT_GE(size, 6u);
    WORD count = directory[4] | (directory[5] << 8);
    ASSERT_EQ(size, 6u + 14u * count);
    for (WORD k = 0; k < count; ++k) {
        const uint8_t* entry = directory + 6 + 14 * k;
        WORD id = entry[12] | (entry[13] << 8);
        int width = icon ? (entry[0] ? entry[0] : 256) : entry[0] | (entry[1] << 8);
        DWORD imageSize = 0;
        const uint8_t* image = library.Bytes(
            MAKEINTRESOURCEA(id), icon ? MAKEINTRESOURCEA(3) : MAKEINTRESOURCEA(1), &imageSize);
        ASSERT_NE(nullptr, image) << id;
        EXPECT_EQ(entry[8] | (entry[9] << 8) | (entry[10] << 16) | (entry[11] << 24),
                  static_cast<int>(imageSize));
        MadeIcon made = {};
        ASSERT_TRUE(MakeIconFromImage(image, imageSize, icon, &made)) << id;
        EXPECT_EQ(width, made.width);
        EXPECT_EQ(width, made.height);
        if (!icon) {
            EXPECT_EQ(static_cast<DWORD>(hotSpots[k].x), made.hotX);
            EXPECT_EQ(static_cast<DWORD>(hotSpots[k].y), made.hotY);
        }
    }
}

TEST(FixtureFiles, IconAndCursorImagesMakeIconsWithoutLeaks) {
    Library library;
    ASSERT_NE(nullptr, library.module);
    DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int group : {1, 2, 3, 4})
        ExpectGroupImages(library, MAKEINTRESOURCEA(group), true, {});
    ExpectGroupImages(library, "APPICON", true, {});
    ExpectGroupImages(library, "MIXEDCASE", true, {});
    ExpectGroupImages(library, MAKEINTRESOURCEA(1), false, {{5, 7}});
    ExpectGroupImages(library, "POINTER", false, {{16, 16}, {0, 15}});
    ExpectGroupImages(library, "RAWCURSOR", false, {{9, 3}});
    EXPECT_EQ(gdiBefore, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    EXPECT_EQ(userBefore, GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
}

TEST(FixtureFiles, LyingGroupDisagreesWithItsImages) {
    Library library;
    ASSERT_NE(nullptr, library.module);
    DWORD size = 0;
    const uint8_t* group = library.Bytes("LIES", MAKEINTRESOURCEA(14), &size);
    ASSERT_NE(nullptr, group);
    ASSERT_EQ(6u + 3 * 14u, size);
    DWORD imageSize = 0;
    ASSERT_NE(nullptr, library.Bytes(MAKEINTRESOURCEA(201), MAKEINTRESOURCEA(3), &imageSize));
    EXPECT_EQ(imageSize + 64, static_cast<DWORD>(group[6 + 8] | (group[6 + 9] << 8)));
    ASSERT_NE(nullptr, library.Bytes(MAKEINTRESOURCEA(202), MAKEINTRESOURCEA(3), &imageSize));
    EXPECT_EQ(999, group[6 + 28 + 12] | (group[6 + 28 + 13] << 8));
    EXPECT_EQ(nullptr, library.Bytes(MAKEINTRESOURCEA(999), MAKEINTRESOURCEA(3), &imageSize));
}

TEST(FixtureFiles, PngMemberMakesAnIconBesideDibMembers) {
    Library library("pe-edges.dll");
    ASSERT_NE(nullptr, library.module);
    ExpectGroupImages(library, MAKEINTRESOURCEA(1), true, {});  // 16, 32 and the PNG's 256
    DWORD size = 0;
    const uint8_t* png = library.Bytes(MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(3), &size);
    ASSERT_NE(nullptr, png);
    ASSERT_GE(size, 8u);
    EXPECT_EQ(0, std::memcmp(png, "\x89PNG\r\n\x1A\n", 8));
    HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(png), size, TRUE, 0x00030000, 0, 0,
                                          LR_DEFAULTCOLOR);
    ASSERT_NE(nullptr, icon);
    // Drawn over black: the picture where alpha is 255, nothing in the
    // transparent top-left quarter.
    BITMAPINFO target = {};
    target.bmiHeader = {sizeof(BITMAPINFOHEADER), 256, -256, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(memory, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, section);
    HGDIOBJ old = SelectObject(memory, section);
    EXPECT_TRUE(DrawIconEx(memory, 0, 0, icon, 256, 256, 0, nullptr, DI_NORMAL));
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    EXPECT_EQ(0u, pixels[0] & 0xFFFFFF);
    EXPECT_EQ(0xFF002Bu, pixels[255] & 0xFFFFFF);
    EXPECT_EQ(0xFFFF2Bu, pixels[256 * 256 - 1] & 0xFFFFFF);
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    DestroyIcon(icon);
}

TEST(FixtureFiles, SizesGroupMissesItsImagesBothWays) {
    Library library("pe-edges.dll");
    ASSERT_NE(nullptr, library.module);
    DWORD size = 0;
    const uint8_t* group = library.Bytes("SIZES", MAKEINTRESOURCEA(14), &size);
    ASSERT_NE(nullptr, group);
    ASSERT_EQ(6u + 4 * 14u, size);
    const int extraBytes[4] = {64, -100, 0, 0};
    const int claimedWidth[4] = {32, 32, 48, 16};
    const int realWidth[4] = {32, 32, 16, 48};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(211 + k);
        const uint8_t* entry = group + 6 + 14 * k;
        DWORD imageSize = 0;
        const uint8_t* image =
            library.Bytes(MAKEINTRESOURCEA(211 + k), MAKEINTRESOURCEA(3), &imageSize);
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(211 + k, entry[12] | (entry[13] << 8));
        EXPECT_EQ(static_cast<int>(imageSize) + extraBytes[k],
                  entry[8] | (entry[9] << 8) | (entry[10] << 16));
        EXPECT_EQ(claimedWidth[k], entry[0]);
        MadeIcon made = {};
        ASSERT_TRUE(MakeIconFromImage(image, imageSize, true, &made));
        EXPECT_EQ(realWidth[k], made.width);
    }
}

TEST(FixtureFiles, RawStringBlocksReachTheirIdentifiers) {
    Library library("pe-edges.dll");
    ASSERT_NE(nullptr, library.module);
    const WCHAR* text = nullptr;
    ASSERT_EQ(65535, LoadStringW(library.module, 150, reinterpret_cast<LPWSTR>(&text), 0));
    EXPECT_EQ(L'a' + 65534 % 26, text[65534]);
    char buffer[32];
    EXPECT_EQ(18, LoadStringA(library.module, 159, buffer, sizeof(buffer)));  // past the long one
    EXPECT_EQ(6, LoadStringA(library.module, 2, buffer, sizeof(buffer)));
    EXPECT_EQ(15, LoadStringA(library.module, 65535, buffer, sizeof(buffer)));
    EXPECT_STREQ("Block 4096 last", buffer);
    // Blocks no identifier reaches, yet holding strings.
    DWORD size = 0;
    EXPECT_NE(nullptr, library.Bytes(MAKEINTRESOURCEA(4097), MAKEINTRESOURCEA(6), &size));
    EXPECT_NE(nullptr, library.Bytes("TEXTBLOCK", MAKEINTRESOURCEA(6), &size));
}

TEST(FixtureFiles, BadFirstLibraryHasTextThenTwoClips) {
    Library library("avi-badfirst.dll");
    ASSERT_NE(nullptr, library.module);
    DWORD size = 0;
    const uint8_t* first = library.Bytes(MAKEINTRESOURCEA(1), "AVI", &size);
    ASSERT_NE(nullptr, first);
    EXPECT_NE(0, std::memcmp(first, "RIFF", 4));
    // Clip 3 is clip-video32.avi byte for byte; clip 2 opens from a copy.
    const uint8_t* third = library.Bytes(MAKEINTRESOURCEA(3), "AVI", &size);
    ASSERT_NE(nullptr, third);
    EXPECT_EQ(ReadWholeFile(FixturePath("clip-video32.avi")),
              std::vector<uint8_t>(third, third + size));
    const uint8_t* second = library.Bytes(MAKEINTRESOURCEA(2), "AVI", &size);
    ASSERT_NE(nullptr, second);
    std::string copy = WriteTempFile(std::vector<uint8_t>(second, second + size));
    AVIFileInit();
    PAVIFILE file = nullptr;
    ASSERT_EQ(0, AVIFileOpenA(&file, copy.c_str(), OF_READ, nullptr));
    AVIFILEINFOA info = {};
    EXPECT_EQ(0, AVIFileInfoA(file, &info, sizeof(info)));
    EXPECT_EQ(40u, info.dwWidth);
    EXPECT_EQ(30u, info.dwHeight);
    EXPECT_EQ(2u, info.dwStreams);
    AVIFileRelease(file);
    AVIFileExit();
    DeleteFileA(copy.c_str());
}

// The colour (0xRRGGBB) the platform draws at picture position (x, y) of a
// packed bitmap resource.
DWORD PixelOf(const uint8_t* packed, int x, int y, int* width, int* height) {
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(packed);
    bool core = info->bmiHeader.biSize == sizeof(BITMAPCOREHEADER);
    const BITMAPCOREHEADER* coreHeader = reinterpret_cast<const BITMAPCOREHEADER*>(packed);
    *width = core ? coreHeader->bcWidth : info->bmiHeader.biWidth;
    *height = core ? coreHeader->bcHeight : abs(info->bmiHeader.biHeight);
    BITMAPINFO target = {};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = *width;
    target.bmiHeader.biHeight = -*height;  // top-down, so row y is picture row y
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP section = CreateDIBSection(screen, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    WORD bitCount = core ? coreHeader->bcBitCount : info->bmiHeader.biBitCount;
    DWORD colours = core || info->bmiHeader.biClrUsed == 0 ? (bitCount <= 8 ? 1u << bitCount : 0)
                                                           : info->bmiHeader.biClrUsed;
    // Longer headers hold the masks themselves.
    DWORD masks = !core && info->bmiHeader.biSize == sizeof(BITMAPINFOHEADER) &&
                          info->bmiHeader.biCompression == BI_BITFIELDS
                      ? 12
                      : 0;
    const uint8_t* pixels =
        packed + (core ? 12 : info->bmiHeader.biSize) + masks + colours * (core ? 3 : 4);
    SetDIBits(screen, section, 0, *height, pixels, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DWORD colour = static_cast<const DWORD*>(bits)[y * *width + x] & 0xFFFFFF;
    DeleteObject(section);
    return colour;
}

TEST(FixtureFiles, BitmapsShowTheirPictureWhateverTheRowOrder) {
    // Direct-colour pictures: red grows to the right, green downwards, blue is
    // the seed (tests/fixtures/writers/DibWriter.h).
    struct Case {
        const char* file;
        int id;
        DWORD seed;
    };
    // pe-edges.dll: 1 and 2 have 124-byte headers with bit fields (32 and
    // 16 bits), 3 is top-down.
    const Case cases[] = {{"pe-resources.dll", 104, 4},  {"pe-resources.dll", 115, 9},
                          {"pe-resources.dll", 116, 10}, {"pe-resources.dll", 117, 11},
                          {"pe-resources.dll", 121, 12}, {"pe-edges.dll", 1, 31},
                          {"pe-edges.dll", 2, 33},       {"pe-edges.dll", 3, 34}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.id));
        Library library(c.file);
        ASSERT_NE(nullptr, library.module);
        DWORD size = 0;
        const uint8_t* packed = library.Bytes(MAKEINTRESOURCEA(c.id), MAKEINTRESOURCEA(2), &size);
        ASSERT_NE(nullptr, packed);
        int width = 0, height = 0;
        EXPECT_EQ(c.seed, PixelOf(packed, 0, 0, &width, &height));
        EXPECT_EQ(0xFFFF00 | c.seed, PixelOf(packed, width - 1, height - 1, &width, &height));
        EXPECT_EQ(0x00FF00 | c.seed, PixelOf(packed, 0, height - 1, &width, &height));
    }
}

}  // namespace
