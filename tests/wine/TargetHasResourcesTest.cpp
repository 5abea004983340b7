// The target check on real files through the platform's file functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "module/TargetHasResources.h"
#include "support/TestPaths.h"

namespace {

std::string TempFilePath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

bool WriteWholeFile(const std::string& path, const void* data, DWORD size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, data, size, &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

// Wine's libraries of each width, by their Unix paths: the system folder a
// program sees depends on its own width.
std::string WineLibrary(const char* folder, const char* name) {
    return WindowsPath(std::string(folder) + name);
}
const char kThirtyTwoBit[] = "/usr/lib/i386-linux-gnu/wine/i386-windows/";
const char kSixtyFourBit[] = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/";

TEST(TargetHasResources, WinesOwnThirtyTwoBitLibrariesPass) {
    for (const char* name : {"shell32.dll", "user32.dll", "comctl32.dll"}) {
        EXPECT_TRUE(TargetHasResources(NarrowTarget(WineLibrary(kThirtyTwoBit, name)))) << name;
    }
    // The system folder a program sees holds libraries of its own width, and
    // this build's own library: both pass in either build.
    EXPECT_TRUE(TargetHasResources(NarrowTarget(SystemFilePath("shell32.dll"))));
    EXPECT_TRUE(TargetHasResources(NarrowTarget(LibraryPath())));
}

TEST(TargetHasResources, SixtyFourBitLibrariesPassOnlyInTheSixtyFourBitBuild) {
    const bool sixtyFourBitBuild = sizeof(void*) == 8;
    for (const char* name : {"shell32.dll", "user32.dll", "comctl32.dll"}) {
        const std::string path = WineLibrary(kSixtyFourBit, name);
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "no 64-bit Wine libraries installed";
        }
        EXPECT_EQ(sixtyFourBitBuild, TargetHasResources(NarrowTarget(path))) << name;
    }
}

TEST(TargetHasResources, TextAndMissingFilesFail) {
    const std::string text = TempFilePath("vantrel-target-text.txt");
    const char content[] =
        "MZ is how this line starts, but it is text all the same and long enough to be read.\r\n";
    ASSERT_TRUE(WriteWholeFile(text, content, sizeof(content) - 1));
    EXPECT_FALSE(TargetHasResources(NarrowTarget(text)));
    DeleteFileA(text.c_str());

    EXPECT_FALSE(TargetHasResources(NarrowTarget(TempFilePath("vantrel-no-such-file.dll"))));
    EXPECT_FALSE(TargetHasResources(NarrowTarget("")));
}

TEST(TargetHasResources, FileHeldOpenForWritingIsStillReadAndReleased) {
    const std::string copy = TempFilePath("vantrel-target-copy.dll");
    ASSERT_TRUE(CopyFileA(SystemFilePath("user32.dll").c_str(), copy.c_str(), FALSE));
    // Another program writes the file and lets others read and write it too.
    HANDLE writer =
        CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_TRUE(TargetHasResources(NarrowTarget(copy)));
    CloseHandle(writer);

    // The check closed its own handle: nobody holds the file any more, so an
    // exclusive open succeeds.
    HANDLE exclusive = CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, exclusive);
    if (exclusive != INVALID_HANDLE_VALUE)
        CloseHandle(exclusive);

    // A file opened with no sharing at all cannot be opened, and that is a false.
    HANDLE locked = CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    EXPECT_FALSE(TargetHasResources(NarrowTarget(copy)));
    CloseHandle(locked);
    EXPECT_TRUE(DeleteFileA(copy.c_str()));
}

TEST(TargetHasResources, RejectsAndAcceptsBuiltImagesOnDisk) {
    // The byte-level cases run natively; this one confirms that the file layer
    // hands over the size and the seek: an NE header whose table ends exactly at
    // the end of the file, and one byte short of it.
    unsigned char ne[0x80 + 0x40 + 2] = {};
    ne[0] = 'M';
    ne[1] = 'Z';
    ne[0x3C] = 0x80;
    ne[0x80] = 'N';
    ne[0x81] = 'E';
    ne[0x80 + 0x24] = 0x40;
    const std::string path = TempFilePath("vantrel-target-ne.exe");
    ASSERT_TRUE(WriteWholeFile(path, ne, sizeof(ne)));
    EXPECT_TRUE(TargetHasResources(NarrowTarget(path)));
    ASSERT_TRUE(WriteWholeFile(path, ne, sizeof(ne) - 1));
    EXPECT_FALSE(TargetHasResources(NarrowTarget(path)));
    DeleteFileA(path.c_str());
}

}  // namespace
