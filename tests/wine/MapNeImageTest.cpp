// Mapping real 16-bit files read-only, and leaving nothing open on failure.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "../native/NeImageBuilder.h"
#include "catalogue/MapNeImage.h"
#include "support/TempFiles.h"
#include "support/TestPaths.h"

namespace {

// Handles of this process, or -1 when the platform does not count them.
long HandleCount() {
    DWORD count = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &count))
        return -1;
    return static_cast<long>(count);
}

// Whether GetProcessHandleCount really counts: one more handle shows.
bool HandlesCounted() {
    long before = HandleCount();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool counted = before >= 0 && HandleCount() == before + 1;
    CloseHandle(event);
    return counted;
}

void ExpectHandlesBack(long before) {
    static const bool counted = HandlesCounted();
    if (counted) {
        EXPECT_EQ(before, HandleCount());
    }
}

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

int KeepFirst(ResName, const uint8_t* data, uint32_t size, void* user) {
    *static_cast<std::vector<uint8_t>*>(user) = std::vector<uint8_t>(data, data + size);
    return 0;
}

TEST(MapNeImage, MapsTheWholeFileReadOnlyAndReleasesIt) {
    std::vector<NeTestType> types = {
        {NeText("AVI"), {{NeText("CLIP"), {'R', 'I', 'F', 'F', 1, 2, 3, 4}}}}};
    std::vector<uint8_t> bytes = BuildNeImage(types, 0);
    std::string path = WriteTempFile(bytes);
    ASSERT_FALSE(path.empty());
    FILETIME written = LastWrite(path);
    long handlesBefore = HandleCount();

    MappedNeImage image = {};
    ASSERT_TRUE(MapNeImage(NarrowTarget(path), &image));
    EXPECT_NE(nullptr, image.file);
    EXPECT_NE(nullptr, image.mapping);
    EXPECT_EQ(bytes.size(), static_cast<size_t>(image.end - image.base));
    EXPECT_EQ(image.base + kNeTestTable, image.resourceTable);
    EXPECT_EQ(0, memcmp(bytes.data(), image.base, bytes.size()));
    // Others may still read and write the file while it is mapped.
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, other);
    if (other != INVALID_HANDLE_VALUE)
        CloseHandle(other);

    std::vector<uint8_t> clip;
    EnumNeResources(image, "AVI", KeepFirst, &clip);
    EXPECT_EQ((std::vector<uint8_t>{'R', 'I', 'F', 'F', 1, 2, 3, 4}), clip);
    // The view is read-only: a write would fault.
    EXPECT_TRUE(IsBadWritePtr(const_cast<uint8_t*>(image.base), 1));
    UnmapNeImage(image);

    ExpectHandlesBack(handlesBefore);
    EXPECT_TRUE(OpenableExclusively(path));
    EXPECT_EQ(bytes, ReadWholeFile(path));
    FILETIME after = LastWrite(path);
    EXPECT_EQ(0, CompareFileTime(&written, &after));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(MapNeImage, RefusedFilesLeaveNothingOpen) {
    std::vector<uint8_t> valid = BuildNeImage({{NeId(2), {{NeId(1), {1, 2}}}}}, 0);
    std::vector<uint8_t> wrongSignature = valid;
    wrongSignature[kNeTestHeader] = 'P';
    std::vector<uint8_t> headerCut(0x7F, 0);  // the NE header's 64 bytes pass the end
    PokeU32(&headerCut[0x3C], 0x40);
    PokeU16(&headerCut[0x40], 0x454E);
    PokeU16(&headerCut[0x40 + 0x24], 0x3D);
    std::vector<uint8_t> tableCut = valid;  // only one byte of the alignment word inside
    PokeU16(&tableCut[kNeTestHeader + 0x24],
            static_cast<uint16_t>(tableCut.size() - 1 - kNeTestHeader));

    const std::vector<std::vector<uint8_t>> refused = {
        {}, std::vector<uint8_t>(64, 0), wrongSignature, headerCut, tableCut};
    long handlesBefore = HandleCount();
    for (size_t i = 0; i < refused.size(); ++i) {
        std::string path = WriteTempFile(refused[i]);
        SCOPED_TRACE(i);
        ASSERT_FALSE(path.empty());
        MappedNeImage image = {};
        EXPECT_FALSE(MapNeImage(NarrowTarget(path), &image)) << "file " << i;
        ExpectHandlesBack(handlesBefore);
        EXPECT_TRUE(OpenableExclusively(path)) << "file " << i;
        EXPECT_EQ(refused[i], ReadWholeFile(path));
        EXPECT_TRUE(DeleteFileA(path.c_str())) << "file " << i;
    }
    MappedNeImage image = {};
    EXPECT_FALSE(MapNeImage(NarrowTarget("Z:\\nonexistent\\vantrel-missing.exe"), &image));
    ExpectHandlesBack(handlesBefore);
}

}  // namespace
