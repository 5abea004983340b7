// The library's load and unload inside a real Windows process, and the decisions
// it takes on the Windows versions Wine can pretend to be.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "common/ModuleState.h"
#include "formats/clips/MemoryFile.h"
#include "module/ModuleLifetime.h"
#include "support/TestPaths.h"

namespace {

const char kHostClass[] = "Kelvard_Drosvelin_Vantrel_MCI";
const char kChildVariable[] = "VANTREL_LIFETIME_CHILD";

bool MemoryNameOpens(const void* block, uint32_t size) {
    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, 1, block, size);
    HMMIO file = mmioOpenA(name, nullptr, MMIO_READ);
    if (file == nullptr)
        return false;
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
    EXPECT_EQ(nullptr, windowClass.hCursor);
    EXPECT_EQ(nullptr, windowClass.hIcon);
    EXPECT_TRUE(MemoryNameOpens(block, sizeof(block)));

    ASSERT_TRUE(FreeLibrary(library));
    EXPECT_FALSE(GetClassInfoA(library, kHostClass, &windowClass));
    EXPECT_FALSE(MemoryNameOpens(block, sizeof(block)));
}

TEST(ModuleLifetime, FailedClassRegistrationRefusesTheLoad) {
    static const char block[16] = "x";
    HINSTANCE self = GetModuleHandleA(nullptr);
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = self;
    taken.lpszClassName = kHostClass;
    ASSERT_NE(0, RegisterClassA(&taken));
    EXPECT_FALSE(AttachModule(self));
    // No memory files without a registered class.
    EXPECT_FALSE(MemoryNameOpens(block, sizeof(block)));
    // The loader detaches a library that refused to load; detach unregisters the
    // class by name whoever registered it.
    DetachModule();
    UnregisterClassA(kHostClass, self);
}

// Stands in for the page: records the command that reaches it.
WPARAM lastCommand = 0;
LPARAM lastCommandWindow = 0;

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        lastCommand = wParam;
        lastCommandWindow = lParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(ModuleLifetime, HostWindowTurnsDoubleClicksIntoTheListsNotification) {
    HINSTANCE self = GetModuleHandleA(nullptr);
    ASSERT_TRUE(AttachModule(self));
    WNDCLASSA pageClass = {};
    pageClass.lpfnWndProc = PageProc;
    pageClass.hInstance = self;
    pageClass.lpszClassName = "VantrelTestPage";
    RegisterClassA(&pageClass);

    // Never shown: hidden windows take the same messages without a display.
    HWND page = CreateWindowExA(0, "VantrelTestPage", "page", WS_OVERLAPPED, 0, 0, 300, 200,
                                nullptr, nullptr, self, nullptr);
    ASSERT_NE(nullptr, page);
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_NOTIFY, 0, 0, 200, 100, page,
                                reinterpret_cast<HMENU>(1008), self, nullptr);
    ASSERT_NE(nullptr, list);
    HWND host =
        CreateWindowExA(0, kHostClass, "", WS_CHILD, 0, 0, 50, 40, list, nullptr, self, nullptr);
    ASSERT_NE(nullptr, host);

    lastCommand = 0;
    EXPECT_EQ(0, SendMessageA(host, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5)));
    EXPECT_EQ(static_cast<WPARAM>(0x203F0), lastCommand);
    EXPECT_EQ(reinterpret_cast<LPARAM>(list), lastCommandWindow);

    HDC dc = GetDC(host);
    EXPECT_EQ(1, SendMessageA(host, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(host, dc);
    EXPECT_EQ(0, SendMessageA(host, WM_PAINT, 0, 0));
    // Everything else is the default window procedure's.
    EXPECT_TRUE(SendMessageA(host, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("clip")));
    char text[16] = {};
    GetWindowTextA(host, text, sizeof(text));
    EXPECT_STREQ("clip", text);

    DestroyWindow(page);
    UnregisterClassA("VantrelTestPage", self);
    DetachModule();
}

// What a child process found after attaching, packed into its exit code.
enum : DWORD {
    kLegacy = 1,
    kThemed = 2,
    kActCtxBound = 4,
    kThemeBound = 8,
    kModernControls = 16,
    kReported = 0x10000000,
};

// Runs in the child process only: attach, report, detach.
TEST(ModuleLifetimeChild, ReportDecisions) {
    if (GetEnvironmentVariableA(kChildVariable, nullptr, 0) == 0) {
        GTEST_SKIP() << "runs inside the version tests' child processes";
    }
    HINSTANCE self = GetModuleHandleA(nullptr);
    DWORD flags = kReported;
    if (AttachModule(self)) {
        if (theModule.legacyShellMode)
            flags |= kLegacy;
        if (theModule.themedPlatform)
            flags |= kThemed;
        if (theModule.kernel32 != nullptr && theModule.getCurrentActCtx != nullptr &&
            theModule.releaseActCtx != nullptr) {
            flags |= kActCtxBound;
        }
        if (theModule.uxTheme != nullptr && theModule.theme.IsAppThemed != nullptr) {
            flags |= kThemeBound;
        }
        if (theModule.modernCommonControls)
            flags |= kModernControls;
        DetachModule();
    }
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    flags |= (version.dwPlatformId & 0xF) << 24 | (version.dwMajorVersion & 0xFF) << 16 |
             (version.dwMinorVersion & 0xFF) << 8;
    ExitProcess(flags);
}

// Runs this program again under a name of its own, for which Wine reports the
// given Windows version, and returns what the child found.
DWORD DecisionsUnder(const char* wineVersion) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder.resize(folder.rfind('\\') + 1);
    const std::string exeName = std::string("ModuleLifetimeAs_") + wineVersion + ".exe";
    const std::string copy = folder + exeName;
    if (!CopyFileA(self, copy.c_str(), FALSE))
        return 0;

    const std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    HKEY appKey = nullptr;
    DWORD result = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &appKey, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(appKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(wineVersion),
                       static_cast<DWORD>(strlen(wineVersion) + 1));
        RegCloseKey(appKey);

        std::string commandLine =
            "\"" + copy + "\" --gtest_filter=ModuleLifetimeChild.ReportDecisions";
        SetEnvironmentVariableA(kChildVariable, "1");
        // The child's own test output would only repeat this program's.
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE nul =
            CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nul;
        startup.hStdOutput = nul;
        startup.hStdError = nul;
        PROCESS_INFORMATION process = {};
        if (CreateProcessA(copy.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                           nullptr, &startup, &process)) {
            if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
                GetExitCodeProcess(process.hProcess, &result);
            } else {
                TerminateProcess(process.hProcess, 1);
            }
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        if (nul != INVALID_HANDLE_VALUE)
            CloseHandle(nul);
        SetEnvironmentVariableA(kChildVariable, nullptr);
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    }
    DeleteFileA(copy.c_str());
    return result;
}

TEST(ModuleLifetime, DecisionsOnEachReportedVersion) {
    struct Row {
        const char* wineVersion;
        DWORD platformId, major, minor;
        DWORD flags;
    };
    // Only the themed platforms bind the activation context and visual styles.
    const Row rows[] = {
        {"win95", 1, 4, 0, kLegacy},
        {"nt40", 2, 4, 0, kLegacy},
        {"winxp", 2, 5, 1, kThemed | kActCtxBound | kThemeBound},
        {"win7", 2, 6, 1, kThemed | kActCtxBound | kThemeBound},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.wineVersion);
        DWORD found = DecisionsUnder(row.wineVersion);
        ASSERT_TRUE(found & kReported) << "child exit code " << std::hex << found;
        EXPECT_EQ(row.platformId, (found >> 24) & 0xF);
        EXPECT_EQ(row.major, (found >> 16) & 0xFF);
        EXPECT_EQ(row.minor, (found >> 8) & 0xFF);
        EXPECT_EQ(row.flags, found & (kLegacy | kThemed | kActCtxBound | kThemeBound));
        // Wine's common controls are 5.80 or later on every version.
        EXPECT_TRUE(found & kModernControls);
    }
}

}  // namespace
