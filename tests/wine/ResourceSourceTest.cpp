// Opening targets either way, finding resources through both sources, and the
// order in which the platform walks a real DLL's icon groups.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "../native/NeImageBuilder.h"
#include "catalogue/ResourceSource.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

// The names of one type's entries, in the order the file's resource directory
// holds them: "#n" for identifiers, the text for names. Read from the file's
// bytes by the PE layout, independently of the platform.
std::vector<std::string> DirectoryOrder(const std::vector<uint8_t>& file, uint16_t type) {
    std::vector<std::string> names;
    const uint8_t* p = file.data();
    size_t n = file.size();
    uint32_t pe = 0;
    uint16_t sections = 0, optionalSize = 0, magic = 0;
    if (!ReadU32(p, n, 0x3C, &pe) || !ReadU16(p, n, pe + 6, &sections) ||
        !ReadU16(p, n, pe + 20, &optionalSize) || !ReadU16(p, n, pe + 24, &magic)) {
        return names;
    }
    size_t directories = pe + 24 + (magic == 0x20B ? 112 : 96);
    uint32_t rsrcRva = 0;
    if (!ReadU32(p, n, directories + 2 * 8, &rsrcRva))
        return names;
    size_t rsrc = 0;
    for (uint16_t i = 0; i < sections; ++i) {
        size_t section = pe + 24 + optionalSize + 40u * i;
        uint32_t size = 0, rva = 0, raw = 0;
        if (!ReadU32(p, n, section + 8, &size) || !ReadU32(p, n, section + 12, &rva) ||
            !ReadU32(p, n, section + 20, &raw)) {
            return names;
        }
        if (rsrcRva >= rva && rsrcRva - rva < size)
            rsrc = raw + (rsrcRva - rva);
    }
    if (rsrc == 0)
        return names;
    auto entries = [&](size_t directory, std::vector<std::pair<uint32_t, uint32_t>>* out) {
        uint16_t named = 0, ids = 0;
        if (!ReadU16(p, n, directory + 12, &named) || !ReadU16(p, n, directory + 14, &ids))
            return;
        for (uint32_t i = 0; i < uint32_t{named} + ids; ++i) {
            uint32_t name = 0, target = 0;
            if (!ReadU32(p, n, directory + 16 + 8 * i, &name) ||
                !ReadU32(p, n, directory + 20 + 8 * i, &target)) {
                return;
            }
            out->push_back({name, target});
        }
    };
    std::vector<std::pair<uint32_t, uint32_t>> types, resources;
    entries(rsrc, &types);
    for (const auto& entry : types) {
        if (entry.first == type && (entry.second & 0x80000000u)) {
            entries(rsrc + (entry.second & 0x7FFFFFFFu), &resources);
        }
    }
    for (const auto& entry : resources) {
        if (!(entry.first & 0x80000000u)) {
            names.push_back("#" + std::to_string(entry.first));
            continue;
        }
        size_t at = rsrc + (entry.first & 0x7FFFFFFFu);
        uint16_t length = 0;
        if (!ReadU16(p, n, at, &length) || !BytesInside(n, at + 2, 2u * length))
            break;
        std::string text;
        for (uint16_t i = 0; i < length; ++i)
            text += static_cast<char>(PeekU16(p + at + 2 + 2 * i));
        names.push_back(text);
    }
    return names;
}

// The name as the platform takes it back, from its "#n" or text form.
ResName NameOf(const std::string& name) {
    if (name[0] == '#')
        return MakeIntResName(static_cast<uint16_t>(std::stoi(name.substr(1))));
    return name.c_str();
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR user) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(user);
    names->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(ResNameId(name))
                                          : std::string(name));
    return TRUE;
}

TEST(ResourceSource, IconGroupsOfARealDllArriveInDirectoryOrder) {
    std::string path = SystemFilePath("shell32.dll");
    std::vector<std::string> expected = DirectoryOrder(ReadWholeFile(path), 14);
    ASSERT_GT(expected.size(), 10u) << path;

    ResourceSource source;
    ASSERT_TRUE(OpenResourceSource(NarrowTarget(path), &source));
    ASSERT_NE(nullptr, source.module);
    EXPECT_EQ(0, source.isNeImage);
    std::vector<std::string> walked;
    EnumResourceNamesA(source.module, MAKEINTRESOURCEA(14), CollectName,
                       reinterpret_cast<LONG_PTR>(&walked));
    EXPECT_EQ(expected, walked);
    // The shell's extractor counts one icon per group.
    EXPECT_EQ(expected.size(), ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0));

    const uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(FindResourceBytes(source, MAKEINTRESOURCEA(14), NameOf(walked[0]), &data, &size));
    EXPECT_GE(size, 6u);
    EXPECT_TRUE(ResourceBytesReadable(data, size));
    EXPECT_EQ(1, PeekU16(data + 2));  // an icon directory
    EXPECT_FALSE(FindResourceBytes(source, "NOSUCHTYPE", MakeIntResName(1), &data, &size));
    CloseResourceSource(&source);
    EXPECT_EQ(nullptr, source.module);
}

TEST(ResourceSource, SixteenBitFilesOpenThroughTheMapping) {
    std::vector<NeTestType> types = {
        {NeId(2), {{NeId(7), {1, 2, 3, 4}}, {NeText("LOGO"), {5, 6}}}}};
    std::string path = WriteTempFile(BuildNeImage(types, 1));
    ASSERT_FALSE(path.empty());

    ResourceSource source;
    ASSERT_TRUE(OpenResourceSource(NarrowTarget(path), &source));
    EXPECT_EQ(nullptr, source.module);
    EXPECT_NE(0, source.isNeImage);
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(FindResourceBytes(source, MakeIntResName(2), "LOGO", &data, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(5, data[0]);
    ASSERT_TRUE(FindResourceBytes(source, MakeIntResName(2), MakeIntResName(7), &data, &size));
    EXPECT_EQ(4u, size);
    EXPECT_FALSE(FindResourceBytes(source, MakeIntResName(2), "7", &data, &size));
    EXPECT_FALSE(FindResourceBytes(source, MakeIntResName(3), MakeIntResName(7), &data, &size));
    CloseResourceSource(&source);
    EXPECT_TRUE(OpenableExclusively(path));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(ResourceSource, NeitherWayOpensOtherFiles) {
    std::string path = WriteTempFile(std::vector<uint8_t>(200, 'x'));
    ResourceSource source;
    EXPECT_FALSE(OpenResourceSource(NarrowTarget(path), &source));
    EXPECT_EQ(nullptr, source.module);
    EXPECT_EQ(0, source.isNeImage);
    CloseResourceSource(&source);  // harmless on an empty source
    EXPECT_TRUE(OpenableExclusively(path));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_FALSE(OpenResourceSource(NarrowTarget("Z:\\nonexistent\\vantrel-missing.dll"), &source));
}

TEST(ResourceSource, ReadabilityCoversTheWholeLength) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    uint8_t* pages = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(nullptr, pages);
    ASSERT_NE(nullptr, VirtualAlloc(pages, system.dwPageSize, MEM_COMMIT, PAGE_READONLY));
    EXPECT_TRUE(ResourceBytesReadable(pages, system.dwPageSize));
    EXPECT_FALSE(ResourceBytesReadable(pages, system.dwPageSize + 1));
    EXPECT_FALSE(ResourceBytesReadable(nullptr, 4));
    VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
