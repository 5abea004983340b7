// Memory files through the platform's own multimedia layers: the file layer,
// and the AVI reader opening a real clip straight from a resource.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstring>
#include <vector>

#include "common/ModuleState.h"
#include "formats/clips/MemoryFile.h"
#include "module/ModuleLifetime.h"
#include "support/TestPaths.h"

namespace {

// The AVI file class; mingw's import library does not define it.
const CLSID kAviFileClass = {0x00020000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class MemoryFiles : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AttachModule(GetModuleHandleA(nullptr))); }
    static void TearDownTestSuite() { DetachModule(); }
};

HMMIO OpenName(int digit, const void* block, uint32_t size) {
    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, digit, block, size);
    return mmioOpenA(name, nullptr, MMIO_READ);
}

std::vector<char> Pattern(size_t size) {
    std::vector<char> block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = static_cast<char>(i * 13 + 5);
    return block;
}

TEST_F(MemoryFiles, FileLayerReadsAndSeeksTheBlock) {
    std::vector<char> block = Pattern(256);
    HMMIO file = OpenName(1, block.data(), 256);
    ASSERT_NE(nullptr, file);

    MMIOINFO info = {};
    ASSERT_EQ(0u, mmioGetInfo(file, &info, 0));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block.data()), info.adwInfo[0]);
    EXPECT_EQ(256u, info.adwInfo[1]);
    EXPECT_EQ(mmioFOURCC('$', '$', '$', ' '), info.fccIOProc);

    char buffer[300];
    EXPECT_EQ(100, mmioRead(file, buffer, 100));
    EXPECT_EQ(0, memcmp(buffer, block.data(), 100));
    EXPECT_EQ(100, mmioSeek(file, 0, SEEK_CUR));
    EXPECT_EQ(256, mmioSeek(file, 0, SEEK_END));
    EXPECT_EQ(246, mmioSeek(file, -10, SEEK_END));
    memset(buffer, 0, sizeof(buffer));
    EXPECT_EQ(10, mmioRead(file, buffer, 100));
    EXPECT_EQ(0, memcmp(buffer, block.data() + 246, 10));
    EXPECT_EQ(0, mmioRead(file, buffer, 100));

    // Writes are refused; the block keeps its bytes.
    EXPECT_EQ(0, mmioSeek(file, 0, SEEK_SET));
    EXPECT_LE(mmioWrite(file, "xxxx", 4), 0);
    EXPECT_EQ(std::vector<char>(Pattern(256)), block);
    EXPECT_EQ(0u, mmioClose(file, 0));
}

TEST_F(MemoryFiles, TwoNamesOnOneBlockMoveIndependently) {
    std::vector<char> block = Pattern(512);
    HMMIO playback = OpenName(1, block.data(), 512);
    HMMIO repaint = OpenName(2, block.data(), 512);
    ASSERT_NE(nullptr, playback);
    ASSERT_NE(nullptr, repaint);
    char first[64], second[64];
    EXPECT_EQ(64, mmioRead(playback, first, 64));
    EXPECT_EQ(300, mmioSeek(repaint, 300, SEEK_SET));
    EXPECT_EQ(64, mmioRead(repaint, second, 64));
    EXPECT_EQ(0, memcmp(first, block.data(), 64));
    EXPECT_EQ(0, memcmp(second, block.data() + 300, 64));
    EXPECT_EQ(64, mmioSeek(playback, 0, SEEK_CUR));
    EXPECT_EQ(364, mmioSeek(repaint, 0, SEEK_CUR));
    mmioClose(repaint, 0);
    EXPECT_EQ(64, mmioRead(playback, first, 64));
    EXPECT_EQ(0, memcmp(first, block.data() + 64, 64));
    mmioClose(playback, 0);
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    *reinterpret_cast<LPSTR*>(param) = name;
    return FALSE;
}

TEST_F(MemoryFiles, AviReaderOpensAClipStraightFromAResource) {
    HMODULE shell32 =
        LoadLibraryExA(SystemFilePath("shell32.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, shell32);
    LPSTR clipName = nullptr;
    EnumResourceNamesA(shell32, "AVI", TakeFirstName, reinterpret_cast<LONG_PTR>(&clipName));
    ASSERT_TRUE(clipName != nullptr && IS_INTRESOURCE(clipName)) << "no numbered AVI resource";
    HRSRC found = FindResourceA(shell32, clipName, "AVI");
    ASSERT_NE(nullptr, found);
    const void* clip = LockResource(LoadResource(shell32, found));
    DWORD clipSize = SizeofResource(shell32, found);
    ASSERT_NE(nullptr, clip);
    ASSERT_GT(clipSize, 0u);

    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, 1, clip, clipSize);
    AVIFileInit();
    PAVIFILE file = nullptr;
    ASSERT_EQ(0, AVIFileOpenA(&file, name, OF_READ, const_cast<CLSID*>(&kAviFileClass)));
    AVIFILEINFOA info = {};
    EXPECT_EQ(0, AVIFileInfoA(file, &info, sizeof(info)));
    EXPECT_GE(info.dwStreams, 1u);
    EXPECT_GT(info.dwLength, 0u);
    EXPECT_GT(info.dwWidth, 0u);
    EXPECT_GT(info.dwHeight, 0u);

    PAVISTREAM video = nullptr;
    ASSERT_EQ(0, AVIFileGetStream(file, &video, streamtypeVIDEO, 0));
    PGETFRAME frames = AVIStreamGetFrameOpen(video, nullptr);
    ASSERT_NE(nullptr, frames);
    const BITMAPINFOHEADER* frame =
        static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, AVIStreamStart(video)));
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(static_cast<LONG>(info.dwWidth), frame->biWidth);
    EXPECT_EQ(static_cast<LONG>(info.dwHeight), std::abs(frame->biHeight));

    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(video);
    AVIFileRelease(file);
    AVIFileExit();
    FreeLibrary(shell32);
}

// A block at the top of the address space: above 4 GiB in a 64-bit process, so
// the name must carry every bit of the address, through the file layer and
// the AVI reader alike.
TEST_F(MemoryFiles, BlockAtTheTopOfTheAddressSpace) {
    HMODULE shell32 =
        LoadLibraryExA(SystemFilePath("shell32.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, shell32);
    LPSTR clipName = nullptr;
    EnumResourceNamesA(shell32, "AVI", TakeFirstName, reinterpret_cast<LONG_PTR>(&clipName));
    HRSRC found = FindResourceA(shell32, clipName, "AVI");
    ASSERT_NE(nullptr, found);
    const DWORD clipSize = SizeofResource(shell32, found);
    char* block = static_cast<char*>(
        VirtualAlloc(nullptr, clipSize, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE));
    ASSERT_NE(nullptr, block);
    memcpy(block, LockResource(LoadResource(shell32, found)), clipSize);
    FreeLibrary(shell32);
    if (sizeof(void*) == 8) {
        EXPECT_GT(reinterpret_cast<uintptr_t>(block), uintptr_t{0xFFFFFFFFu});
    }

    HMMIO raw = OpenName(2, block, clipSize);
    ASSERT_NE(nullptr, raw);
    char buffer[16];
    EXPECT_EQ(static_cast<LONG>(clipSize - 8), mmioSeek(raw, -8, SEEK_END));
    EXPECT_EQ(8, mmioRead(raw, buffer, 16));
    EXPECT_EQ(0, memcmp(buffer, block + clipSize - 8, 8));
    mmioClose(raw, 0);

    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, 1, block, clipSize);
    AVIFileInit();
    PAVIFILE file = nullptr;
    EXPECT_EQ(0, AVIFileOpenA(&file, name, OF_READ, const_cast<CLSID*>(&kAviFileClass)));
    if (file != nullptr) {
        AVIFILEINFOA info = {};
        EXPECT_EQ(0, AVIFileInfoA(file, &info, sizeof(info)));
        EXPECT_GT(info.dwLength, 0u);
        AVIFileRelease(file);
    }
    AVIFileExit();
    VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace
