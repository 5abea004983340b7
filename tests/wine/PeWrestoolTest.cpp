// The platform's resource functions on PE images compared with an independent
// reader: for each generated PE library and Wine's own shell32, user32 and
// comctl32, the types, names and languages that EnumResourceTypesA,
// EnumResourceNamesA and EnumResourceLanguagesA give, in their order, with the
// size SizeofResource gives, must be what wrestool -l listed at build time; and
// the bytes LockResource gives must be the file's bytes at the place wrestool
// names. For PE images wrestool's "offset" is the data entry's relative virtual
// address, not a file offset (pe-resources.dll: the first clip's "RIFF" is at
// file offset 0x1918, listed as 0x6b18 = .rsrc at 0x6000 + 0x1918 - raw 0xe00);
// the test maps it through the section table.
//
// Known difference, checked by reading the bytes: wrestool prints the type's
// text as the name of a resource whose type and name are both texts
// (pe-resources.dll: "AVI"/"VIDEO32" is listed as 'AVI'/'AVI'; the directory
// entry's name is "VIDEO32"). Such a name is only required to be a text.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../fixtures/listing/WrestoolListing.h"
#include "support/TestPaths.h"

namespace {

const char kWineLibraries[] = "/usr/lib/i386-linux-gnu/wine/i386-windows/";

ListedName NameOf(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return ListedName{false, static_cast<uint16_t>(LOWORD(name)), ""};
    return ListedName{true, 0, name};
}

LPCSTR AsResName(const ListedName& name) {
    return name.isText ? name.text.c_str() : MAKEINTRESOURCEA(name.id);
}

struct Found {
    ListedName type;
    ListedName name;
    WORD language;
    DWORD size;
    const uint8_t* data;
};

struct Enumeration {
    std::vector<ListedName> types;
    std::vector<ListedName> names;
    std::vector<WORD> languages;
};

BOOL CALLBACK AddType(HMODULE, LPSTR type, LONG_PTR user) {
    reinterpret_cast<Enumeration*>(user)->types.push_back(NameOf(type));
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR user) {
    reinterpret_cast<Enumeration*>(user)->names.push_back(NameOf(name));
    return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR user) {
    reinterpret_cast<Enumeration*>(user)->languages.push_back(language);
    return TRUE;
}

// Every resource in the platform's walk order: types, names, languages.
std::vector<Found> EnumerateAll(HMODULE module) {
    std::vector<Found> found;
    Enumeration types;
    EnumResourceTypesA(module, AddType, reinterpret_cast<LONG_PTR>(&types));
    for (const ListedName& type : types.types) {
        Enumeration names;
        EnumResourceNamesA(module, AsResName(type), AddName, reinterpret_cast<LONG_PTR>(&names));
        for (const ListedName& name : names.names) {
            Enumeration languages;
            EnumResourceLanguagesA(module, AsResName(type), AsResName(name), AddLanguage,
                                   reinterpret_cast<LONG_PTR>(&languages));
            for (WORD language : languages.languages) {
                Found item = {type, name, language, 0, nullptr};
                HRSRC resource =
                    FindResourceExA(module, AsResName(type), AsResName(name), language);
                if (resource) {
                    item.size = SizeofResource(module, resource);
                    item.data =
                        static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
                }
                found.push_back(item);
            }
        }
    }
    return found;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>());
}

uint32_t Read32(const std::vector<uint8_t>& bytes, size_t at) {
    if (at > bytes.size() || bytes.size() - at < 4)
        return 0;
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// The file offset of a relative virtual address, through the section table;
// false when no section's raw data holds it.
bool RvaToFileOffset(const std::vector<uint8_t>& bytes, uint32_t rva, size_t* offset) {
    uint32_t pe = Read32(bytes, 0x3C);
    uint32_t counts = Read32(bytes, size_t{pe} + 4);  // machine, section count
    uint32_t optionalSize = Read32(bytes, size_t{pe} + 20) & 0xFFFF;
    size_t sections = size_t{pe} + 24 + optionalSize;
    for (uint32_t i = 0; i < (counts >> 16); ++i) {
        size_t section = sections + 40 * size_t{i};
        uint32_t address = Read32(bytes, section + 12);
        uint32_t rawSize = Read32(bytes, section + 16);
        uint32_t rawOffset = Read32(bytes, section + 20);
        if (rva >= address && rva - address < rawSize) {
            *offset = size_t{rawOffset} + (rva - address);
            return true;
        }
    }
    return false;
}

void CompareWithListing(const std::string& path, const std::string& listingPath) {
    SCOPED_TRACE(path);
    std::vector<ListedResource> listing;
    ASSERT_TRUE(ReadWrestoolListing(listingPath, &listing)) << listingPath;
    ASSERT_FALSE(listing.empty());
    std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_FALSE(bytes.empty());

    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << GetLastError();
    std::vector<Found> found = EnumerateAll(module);
    EXPECT_EQ(listing.size(), found.size());
    for (size_t i = 0; i < listing.size() && i < found.size(); ++i) {
        const ListedResource& listed = listing[i];
        const Found& item = found[i];
        std::string where = DescribeListedName(listed.type) + "/" +
                            DescribeListedName(listed.name) + "/" + std::to_string(listed.language);
        SCOPED_TRACE(where);
        EXPECT_TRUE(SameListedName(listed.type, item.type)) << DescribeListedName(item.type);
        if (listed.type.isText && listed.name.isText && listed.name.text == listed.type.text) {
            EXPECT_TRUE(item.name.isText) << DescribeListedName(item.name);
        } else {
            EXPECT_TRUE(SameListedName(listed.name, item.name)) << DescribeListedName(item.name);
        }
        EXPECT_EQ(listed.language, item.language);
        EXPECT_EQ(listed.size, item.size);
        ASSERT_NE(nullptr, item.data);
        size_t offset = 0;
        ASSERT_TRUE(RvaToFileOffset(bytes, listed.offset, &offset));
        ASSERT_LE(offset, bytes.size());
        ASSERT_LE(listed.size, bytes.size() - offset);
        EXPECT_EQ(0, std::memcmp(bytes.data() + offset, item.data, listed.size));
    }
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(PeWrestool, GeneratedLibraryAgrees) {
    CompareWithListing(FixturePath("pe-resources.dll"), FixturePath("pe-resources.dll.wrestool"));
}

TEST(PeWrestool, EdgeAndBenchmarkLibrariesAgree) {
    // Raw string blocks past 4096 and with a text name, a PNG icon member, and
    // thousands of groups and strings: the listing still matches entry for entry.
    for (const char* name : {"pe-edges.dll", "avi-badfirst.dll", "icons-100.dll", "icons-1000.dll",
                             "icons-5000.dll", "strings-10000.dll"}) {
        CompareWithListing(FixturePath(name), FixturePath(std::string(name) + ".wrestool"));
    }
}

TEST(PeWrestool, WineLibrariesAgree) {
    for (const char* name : {"shell32.dll", "user32.dll", "comctl32.dll"}) {
        CompareWithListing(WindowsPath(std::string(kWineLibraries) + name),
                           FixturePath(std::string(name) + ".wrestool"));
    }
}

TEST(PeWrestool, LibraryWithoutResourcesHasNoTypes) {
    // wrestool says "file contains no resources" and lists nothing.
    std::vector<ListedResource> listing;
    ASSERT_TRUE(ReadWrestoolListing(FixturePath("pe-no-resources.dll.wrestool"), &listing));
    EXPECT_TRUE(listing.empty());
    HMODULE module = LoadLibraryExA(FixturePath("pe-no-resources.dll").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << GetLastError();
    EXPECT_TRUE(EnumerateAll(module).empty());
    EXPECT_TRUE(FreeLibrary(module));
}

int CountOfType(const std::vector<Found>& found, const ListedName& type) {
    int count = 0;
    for (const Found& item : found)
        count += SameListedName(item.type, type) ? 1 : 0;
    return count;
}

TEST(PeWrestool, GeneratedLibraryHoldsWhatItsScriptAsks) {
    // Guards the comparison: the library really carries every kind, so an
    // agreement above is not an agreement on nothing.
    HMODULE module =
        LoadLibraryExA(FixturePath("pe-resources.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << GetLastError();
    std::vector<Found> found = EnumerateAll(module);
    EXPECT_EQ(7, CountOfType(found, ListedName{false, 14, ""}));
    EXPECT_EQ(3, CountOfType(found, ListedName{false, 12, ""}));
    EXPECT_EQ(4, CountOfType(found, ListedName{false, 1, ""}));
    EXPECT_EQ(18, CountOfType(found, ListedName{false, 2, ""}));  // 201 twice
    EXPECT_EQ(4, CountOfType(found, ListedName{false, 6, ""}));
    EXPECT_EQ(4, CountOfType(found, ListedName{true, 0, "AVI"}));
    // The resource compiler stores text names in capitals.
    EXPECT_NE(nullptr, FindResourceA(module, "MIXEDCASE", MAKEINTRESOURCEA(14)));
    EXPECT_NE(nullptr, FindResourceA(module, "VIDEO32", "AVI"));

    char text[400];
    EXPECT_EQ(200, LoadStringA(module, 17, text, sizeof(text)));
    EXPECT_EQ(300, LoadStringA(module, 33, text, sizeof(text)));
    EXPECT_EQ(127, LoadStringA(module, 33, text, 128));
    ASSERT_EQ(6, LoadStringA(module, 20, text, sizeof(text)));
    EXPECT_STREQ("\x83\x65\x83\x58\x83\x67", text);  // katakana in code page 932
    EXPECT_EQ(0, LoadStringA(module, 3, text, sizeof(text)));
    EXPECT_EQ(14, LoadStringA(module, 1615, text, sizeof(text)));
    EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
