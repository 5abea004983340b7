// The library's own resources and exports, read from the built file: the page
// template the legacy font patch depends on, the button glyphs, the version,
// the isolation manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace {

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

struct ResourceBytes {
    const uint8_t* data;
    DWORD size;
};

class LibraryResources : public testing::Test {
protected:
    static void SetUpTestSuite() {
        library = LoadLibraryExA(LibraryPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, library) << LibraryPath();
    }
    static void TearDownTestSuite() {
        if (library != nullptr)
            FreeLibrary(library);
        library = nullptr;
    }

    static ResourceBytes Find(LPCSTR type, int number) {
        HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(number), type);
        if (found == nullptr)
            return {nullptr, 0};
        return {static_cast<const uint8_t*>(LockResource(LoadResource(library, found))),
                SizeofResource(library, found)};
    }

    static std::vector<WORD> Languages(LPCSTR type, int number) {
        std::vector<WORD> languages;
        EnumResourceLanguagesA(library, type, MAKEINTRESOURCEA(number), AddLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    static HMODULE library;
};
HMODULE LibraryResources::library = nullptr;

// A cursor over the dialog template; every read is bounded by the resource.
struct TemplateReader {
    const uint8_t* data;
    size_t size;
    size_t offset;
    bool overrun;

    WORD Word() {
        if (offset + 2 > size) {
            overrun = true;
            return 0;
        }
        WORD value = static_cast<WORD>(data[offset] | (data[offset + 1] << 8));
        offset += 2;
        return value;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    // A text or, after 0xFFFF, an ordinal written as "#<number>".
    std::wstring TextOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD c = first; c != 0 && !overrun; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignToDword() { offset = (offset + 3) & ~size_t{3}; }
};

struct ExpectedControl {
    int id;
    const wchar_t* className;  // "#<ordinal>" for the predefined classes
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

const ExpectedControl kControls[] = {
    {-1, L"#130", L"種類(&T):", 8, 11, 32, 12, 0x50020000, 0},
    {1000, L"#133", L"", 40, 8, 52, 64, 0x50230003, 0},
    {1015, L"#130", L"言語(&N):", 106, 11, 37, 12, 0x40020000, 0},
    {1016, L"#133", L"", 144, 8, 76, 120, 0x40210003, 0},
    {1001, L"#130", L"ID:", 100, 24, 12, 8, 0x50020000, 0},
    {1002, L"#130", L"", 112, 22, 108, 12, 0x5000000D, 0},
    {1003, L"#130", L"", 8, 26, 76, 10, 0x50020000, 0},
    {1004, L"#131", L"", 8, 36, 212, 52, 0x40930313, 0},
    {1005, L"#131", L"", 8, 36, 212, 104, 0x40930313, 0},
    {1006, L"#131", L"", 8, 36, 212, 52, 0x40930313, 0},
    {1007, L"SysListView32", L"", 8, 36, 212, 144, 0x50838401, WS_EX_CLIENTEDGE},
    {1008, L"#131", L"", 8, 36, 212, 104, 0x40930313, 0},
    {1014, L"SysListView32", L"", 8, 36, 212, 144, 0x50839401, WS_EX_CLIENTEDGE},
    {1009, L"#130", L"グループ(&G):", 8, 94, 44, 10, 0x40020000, 0},
    {1010, L"#131", L"", 8, 104, 212, 72, 0x40A30123, 0},
    {1011, L"#130", L"ﾎｯﾄ ｽﾎﾟｯﾄ", 104, 94, 40, 10, 0x40020001, 0},
    {1012, L"#128", L"", 8, 148, 18, 16, 0x40030080, 0},
    {1013, L"#128", L"コピー(&C)", 170, 184, 50, 14, 0x58030000, 0},
};

TEST_F(LibraryResources, PageTemplateHasTheShapeThePatchReliesOn) {
    ResourceBytes dialog = Find(RT_DIALOG, 101);
    ASSERT_NE(nullptr, dialog.data);
    EXPECT_EQ(782u, dialog.size);
    ASSERT_GE(dialog.size, 64u);
    EXPECT_EQ(std::vector<WORD>{0x0411}, Languages(RT_DIALOG, 101));

    const uint8_t kHeader[38] = {
        0x01, 0x00, 0xFF, 0xFF,              // version 1, extended template
        0x00, 0x00, 0x00, 0x00,              // help id
        0x00, 0x00, 0x00, 0x00,              // extended style
        0x44, 0x00, 0xC0, 0x50,              // style
        0x12, 0x00,                          // 18 controls
        0x00, 0x00, 0x00, 0x00,              // position
        0xE3, 0x00, 0xC8, 0x00,              // 227 x 200
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // no menu, no class, no title
        0x09, 0x00, 0x00, 0x00,              // 9 point, weight 0
        0x00, 0x01,                          // not italic, character set 1
    };
    EXPECT_EQ(std::vector<uint8_t>(kHeader, kHeader + 38),
              std::vector<uint8_t>(dialog.data, dialog.data + 38));
    const wchar_t kFace[] = L"MS UI Gothic";
    EXPECT_EQ(0, memcmp(dialog.data + 38, kFace, sizeof(kFace)));  // with its terminator

    TemplateReader reader{dialog.data, dialog.size, 64, false};
    for (const ExpectedControl& expected : kControls) {
        SCOPED_TRACE(expected.id);
        reader.AlignToDword();
        EXPECT_EQ(0u, reader.Dword());  // help id
        EXPECT_EQ(expected.exStyle, reader.Dword());
        EXPECT_EQ(expected.style, reader.Dword());
        EXPECT_EQ(expected.x, static_cast<short>(reader.Word()));
        EXPECT_EQ(expected.y, static_cast<short>(reader.Word()));
        EXPECT_EQ(expected.cx, static_cast<short>(reader.Word()));
        EXPECT_EQ(expected.cy, static_cast<short>(reader.Word()));
        EXPECT_EQ(expected.id, static_cast<int>(reader.Dword()));
        std::wstring className = reader.TextOrOrdinal();
        // windres upper-cases class names given as text.
        EXPECT_EQ(0, lstrcmpiW(expected.className, className.c_str()));
        EXPECT_TRUE(reader.TextOrOrdinal() == expected.text);
        WORD extraBytes = reader.Word();
        reader.offset += extraBytes;
    }
    EXPECT_FALSE(reader.overrun);
    EXPECT_EQ(dialog.size, reader.offset);
}

// Rows from the top; '#' is a black glyph pixel on white.
void ExpectGlyph(const ResourceBytes& bitmap, const char* const rows[9]) {
    ASSERT_NE(nullptr, bitmap.data);
    ASSERT_GE(bitmap.size, sizeof(BITMAPINFOHEADER) + 8 + 9 * 4);
    BITMAPINFOHEADER header;
    memcpy(&header, bitmap.data, sizeof(header));
    EXPECT_EQ(9, header.biWidth);
    EXPECT_EQ(9, header.biHeight);  // bottom-up
    EXPECT_EQ(1, header.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
    const uint8_t* colours = bitmap.data + header.biSize;
    const uint8_t kBlack[4] = {0, 0, 0, 0};
    const uint8_t kWhite[3] = {0xFF, 0xFF, 0xFF};
    EXPECT_EQ(0, memcmp(colours, kBlack, 3));
    EXPECT_EQ(0, memcmp(colours + 4, kWhite, 3));
    const uint8_t* bits = colours + 8;
    for (int row = 0; row < 9; ++row) {
        const uint8_t* line = bits + (8 - row) * 4;
        std::string seen;
        for (int x = 0; x < 9; ++x) {
            bool white = (line[x / 8] >> (7 - x % 8)) & 1;
            seen += white ? '.' : '#';
        }
        EXPECT_EQ(rows[row], seen) << "row " << row + 1;
    }
}

TEST_F(LibraryResources, PlayAndStopGlyphs) {
    const char* const play[9] = {"...#.....", "...##....", "...###...", "...####..", "...#####.",
                                 "...####..", "...###...", "...##....", "...#....."};
    const char* const stop[9] = {"########.", "########.", "########.", "########.", "########.",
                                 "########.", "########.", "########.", "........."};
    {
        SCOPED_TRACE("bitmap 101");
        ExpectGlyph(Find(RT_BITMAP, 101), play);
    }
    {
        SCOPED_TRACE("bitmap 102");
        ExpectGlyph(Find(RT_BITMAP, 102), stop);
    }
}

std::string VersionString(const std::vector<char>& info, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\041103a4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return "(missing)";
    }
    return std::string(value, strnlen(value, length));
}

TEST_F(LibraryResources, VersionIsJapanese1101) {
    EXPECT_EQ(std::vector<WORD>{0x0411}, Languages(RT_VERSION, 1));
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(LibraryPath().c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(LibraryPath().c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(1, 1), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(1, 1), fixed->dwProductVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(0x0411u, LOWORD(*translation));
    EXPECT_EQ(932u, HIWORD(*translation));

    EXPECT_EQ("1.10", VersionString(info, "ProductVersion"));
    EXPECT_EQ("VANTREL", VersionString(info, "InternalName"));
    EXPECT_EQ("VANTREL.DLL", VersionString(info, "OriginalFilename"));
}

// The attributes of the first element named tag at or after from.
std::string Attribute(const std::string& xml, size_t element, const char* name) {
    size_t end = xml.find('>', element);
    std::string key = std::string(" ") + name + "=\"";
    size_t at = xml.find(key, element);
    if (at == std::string::npos || at > end)
        return "(missing)";
    at += key.size();
    return xml.substr(at, xml.find('"', at) - at);
}

TEST_F(LibraryResources, ManifestAsksForCommonControlsSix) {
    ResourceBytes manifest = Find(MAKEINTRESOURCEA(24), 2);
    ASSERT_NE(nullptr, manifest.data);
    const std::string xml(reinterpret_cast<const char*>(manifest.data), manifest.size);

    size_t identity = xml.find("<assemblyIdentity");
    ASSERT_NE(std::string::npos, identity);
    size_t dependency = xml.find("<dependency>");
    ASSERT_NE(std::string::npos, dependency);
    ASSERT_LT(identity, dependency) << "the library's own identity comes first";
    EXPECT_EQ("Pelno.Vantrel.Vantrel", Attribute(xml, identity, "name"));
    EXPECT_EQ("1.0.0.0", Attribute(xml, identity, "version"));
    // The library's and the controls' processor are this build's.
    const char* processor = sizeof(void*) == 8 ? "amd64" : "x86";
    EXPECT_EQ(processor, Attribute(xml, identity, "processorArchitecture"));
    EXPECT_EQ("win32", Attribute(xml, identity, "type"));

    size_t dependent = xml.find("<assemblyIdentity", dependency);
    ASSERT_NE(std::string::npos, dependent);
    EXPECT_EQ("Microsoft.Windows.Common-Controls", Attribute(xml, dependent, "name"));
    EXPECT_EQ("6.0.0.0", Attribute(xml, dependent, "version"));
    EXPECT_EQ("6595b64144ccf1df", Attribute(xml, dependent, "publicKeyToken"));
    EXPECT_EQ(processor, Attribute(xml, dependent, "processorArchitecture"));
}

// The names the library exports, read from its mapped image without running
// its entry point.
std::set<std::string> ExportedNames() {
    std::set<std::string> names;
    HMODULE image = LoadLibraryExA(LibraryPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (image == nullptr)
        return {"(not loaded)"};
    const uint8_t* base = reinterpret_cast<const uint8_t*>(image);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    // This build's own header layout: PE32 or PE32+.
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress != 0 && directory.Size != 0) {
        const IMAGE_EXPORT_DIRECTORY* exports =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
        const DWORD* nameAddresses = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
        for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
            names.insert(reinterpret_cast<const char*>(base + nameAddresses[i]));
        }
        EXPECT_EQ(exports->NumberOfNames, exports->NumberOfFunctions) << "an export by number only";
    }
    FreeLibrary(image);
    return names;
}

TEST_F(LibraryResources, ExportsOnlyTheTwoServerEntryPoints) {
    const std::set<std::string> names = ExportedNames();
    const std::set<std::string> server = {"DllCanUnloadNow", "DllGetClassObject"};
    EXPECT_TRUE(names.empty() || names == server) << [&] {
        std::string list;
        for (const std::string& name : names)
            list += name + " ";
        return list;
    }();
}

}  // namespace
