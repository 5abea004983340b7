// The library's load and unload inside a real Windows process.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include "media/MemoryFile.h"
#include "support/TestPaths.h"

namespace {

const char kHostClass[] = "Kelvard_Drosvelin_Vantrel_MCI";

bool MemoryNameOpens(const void* block, uint32_t size) {
    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, 1, block, size);
    HMMIO file = mmioOpenA(name, nullptr, MMIO_READ);
    if (file == nullptr) return false;
    mmioClose(file, 0);
    return true;
}

TEST(ModuleLifetime, LoadRegistersClassAndMemoryFilesUnloadRemovesThem) {
    static const char block[64] = "memory file contents";
    HMODULE library = LoadLibraryA(LibraryPath().c_str());
    ASSERT_NE(nullptr, library) << LibraryPath() << " error " << GetLastError();

    WNDCLASSA windowClass;
    ASSERT_TRUE(GetClassInfoA(library, kHostClass, &windowClass));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS | CS_PARENTDC), windowClass.style);
    EXPECT_EQ(0, windowClass.cbClsExtra);
    EXPECT_EQ(0, windowClass.cbWndExtra);
    EXPECT_EQ(nullptr, windowClass.hbrBackground);
    EXPECT_TRUE(MemoryNameOpens(block, sizeof(block)));

    ASSERT_TRUE(FreeLibrary(library));
    EXPECT_FALSE(GetClassInfoA(library, kHostClass, &windowClass));
    EXPECT_FALSE(MemoryNameOpens(block, sizeof(block)));
}

}  // namespace
