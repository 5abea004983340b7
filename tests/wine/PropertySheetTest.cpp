// The page inside a real property sheet, in the current shell mode and, through
// child processes that Wine runs as older systems, in legacy shell mode.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/ModuleState.h"
#include "formats/executables/TemplatePatch.h"
#include "module/PageCreation.h"
#include "module/ShellExtension.h"
#include "page/state/PageState.h"
#include "support/DropDataObject.h"
#include "support/ExtensionServer.h"
#include "support/OlderSystem.h"
#include "support/TestPaths.h"

namespace {

BOOL CALLBACK KeepPage(HPROPSHEETPAGE page, LPARAM data) {
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(data)->push_back(page);
    return TRUE;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The dialog template 101 as the library stores it.
std::vector<uint8_t> StoredTemplate(HMODULE library) {
    HRSRC resource = FindResourceA(library, MAKEINTRESOURCEA(101), RT_DIALOG);
    if (resource == nullptr)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(library, resource)));
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(library, resource));
}

// "ＭＳ Ｐゴシック" with its terminator, UTF-16LE.
const uint8_t kLegacyTypefaceBytes[16] = {0x2D, 0xFF, 0x33, 0xFF, 0x20, 0x00, 0x30, 0xFF,
                                          0xB4, 0x30, 0xB7, 0x30, 0xC3, 0x30, 0xAF, 0x30};

void ExpectPatchedCopyOf(const std::vector<uint8_t>& stored, const uint8_t* copy) {
    ASSERT_GT(stored.size(), 64u);
    EXPECT_EQ(0, std::memcmp(stored.data(), copy, 38)) << "header";
    EXPECT_EQ(0, std::memcmp(kLegacyTypefaceBytes, copy + 38, 16)) << "typeface";
    EXPECT_EQ(0, std::memcmp(stored.data() + 64, copy + 56, stored.size() - 64)) << "items";
}

// One property sheet holding the library's page for a file, as the shell
// builds it: extension, selection, AddPages, then the shell's own reference
// dropped so that only the page holds the object.
class SheetWithPage {
public:
    bool Open(const std::string& path) {
        if (!LoadExtensionServer(&server))
            return false;
        IShellExtInit* extension = InitialisedExtension(server, path, &counts);
        if (extension == nullptr)
            return false;
        IShellPropSheetExt* sheetExtension = nullptr;
        extension->QueryInterface(IID_IShellPropSheetExt,
                                  reinterpret_cast<void**>(&sheetExtension));
        std::vector<HPROPSHEETPAGE> pages;
        sheetExtension->AddPages(KeepPage, reinterpret_cast<LPARAM>(&pages));
        sheetExtension->Release();
        extension->Release();
        if (pages.size() != 1)
            return false;

        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof(header);
        header.dwFlags = PSH_MODELESS | PSH_PROPTITLE;
        header.hInstance = GetModuleHandleA(nullptr);
        header.pszCaption = "shell32.dll";
        header.nPages = 1;
        header.phpage = pages.data();
        sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
        if (sheet == nullptr)
            return false;
        PumpMessages();
        page = PropSheet_GetCurrentPageHwnd(sheet);
        return page != nullptr;
    }

    std::string TabText() const {
        HWND tabs = PropSheet_GetTabControl(sheet);
        char text[64] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        if (!SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
            return "";
        return text;
    }

    // The description the sheet created the page from, as the page keeps it.
    const PROPSHEETPAGEA* Description() const {
        return reinterpret_cast<const PROPSHEETPAGEA*>(GetWindowLongPtrA(page, DWLP_USER));
    }

    std::string FontFace() const {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
        LOGFONTA logFont = {};
        if (font == nullptr || GetObjectA(font, sizeof(logFont), &logFont) == 0)
            return "";
        return logFont.lfFaceName;
    }

    // Closes the sheet; true when the library then has no object or page left.
    bool CloseAndUnload() {
        if (sheet != nullptr)
            DestroyWindow(sheet);
        sheet = nullptr;
        PumpMessages();
        bool idle = server.canUnloadNow() == S_OK;
        UnloadExtensionServer(&server);
        return idle;
    }

    ~SheetWithPage() {
        if (sheet != nullptr)
            DestroyWindow(sheet);
    }

    ExtensionServer server = {};
    DropDataCounts counts = {};
    HWND sheet = nullptr;
    HWND page = nullptr;
};

struct ExpectedControl {
    int id;
    const char* className;
    bool visible;
    LONG styleBits;  // bits beyond WS_CHILD and WS_VISIBLE that must be set
};

const ExpectedControl kControls[] = {
    {1000, "ComboBox", true, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST},
    {1001, "Static", true, SS_LEFT},
    {1002, "Static", true, SS_OWNERDRAW},
    {1003, "Static", true, SS_LEFT},
    // After its start the page shows the icon kind with its member list.
    {1004, "ListBox", true, 0x00930313 & ~WS_VISIBLE},
    {1005, "ListBox", false, 0x00930313 & ~WS_VISIBLE},
    {1006, "ListBox", false, 0x00930313 & ~WS_VISIBLE},
    {1007, "SysListView32", false, WS_BORDER | WS_TABSTOP | 0x8401},
    {1008, "ListBox", false, 0x00930313 & ~WS_VISIBLE},
    {1009, "Static", true, SS_LEFT},
    {1010, "ListBox", true, 0x00A30123 & ~WS_VISIBLE},
    {1011, "Static", false, SS_CENTER},
    // BS_BITMAP only without visual styles: the themed button paints its glyph.
    {1012, "Button", false, WS_TABSTOP},
    // Enabled or not by the selected member.
    {1013, "Button", true, WS_TABSTOP},
    {1014, "SysListView32", false, WS_BORDER | WS_TABSTOP | LVS_OWNERDATA | 0x8401},
    // Shown: the shell library's strings come in many languages.
    {1015, "Static", true, SS_LEFT},
    {1016, "ComboBox", true, WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST},
};

void ExpectTemplateControls(HWND page) {
    for (const ExpectedControl& expected : kControls) {
        HWND control = GetDlgItem(page, expected.id);
        ASSERT_NE(nullptr, control) << expected.id;
        char className[64] = {};
        GetClassNameA(control, className, sizeof(className));
        EXPECT_STRCASEEQ(expected.className, className) << expected.id;
        LONG style = GetWindowLongA(control, GWL_STYLE);
        EXPECT_EQ(expected.visible, (style & WS_VISIBLE) != 0) << expected.id;
        // The controls take over their own border and scroll-bar bits; the
        // template's bytes are compared elsewhere.
        const LONG ownBits = expected.styleBits & ~(WS_BORDER | WS_HSCROLL | WS_VSCROLL);
        EXPECT_EQ(ownBits, style & ownBits) << expected.id;
    }
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(page, 1007), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(nullptr, GetDlgItem(page, 1017));
}

TEST(ResourceSheet, PageShowsTemplateUnderItsTabAndClosesCleanly) {
    SheetWithPage sheet;
    ASSERT_TRUE(sheet.Open(SystemFilePath("shell32.dll")));
    EXPECT_EQ("リソース", sheet.TabText());
    ExpectTemplateControls(sheet.page);
    EXPECT_EQ("MS UI Gothic", sheet.FontFace());

    const PROPSHEETPAGEA* description = sheet.Description();
    ASSERT_NE(nullptr, description);
    // Wine reports a themed system by default: the activation context travels.
    EXPECT_EQ(kPageDescriptionSizeWithContext, description->dwSize);
    EXPECT_EQ(static_cast<DWORD>(0x40C8), description->dwFlags);
    EXPECT_EQ(MAKEINTRESOURCEA(101), description->pszTemplate);
    EXPECT_EQ(sheet.server.library, description->hInstance);
    // The page reaches its object, and so the selected file, from its window.
    ASSERT_NE(nullptr, FindTargetPath(sheet.page).narrow);
    EXPECT_STRCASEEQ(SystemFilePath("shell32.dll").c_str(), FindTargetPath(sheet.page).narrow);
    EXPECT_EQ(&ExtensionFromPageParameter(description->lParam)->pageState,
              FindPageState(sheet.page));

    EXPECT_EQ(0, sheet.counts.mediumsReleased);
    EXPECT_EQ(S_FALSE, sheet.server.canUnloadNow());
    EXPECT_TRUE(sheet.CloseAndUnload());
    EXPECT_EQ(1, sheet.counts.mediumsReleased);
}

TEST(ResourceSheet, DialogResultsFollowTheDispatchTable) {
    SheetWithPage sheet;
    ASSERT_TRUE(sheet.Open(SystemFilePath("shell32.dll")));
    HWND page = sheet.page;
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_LISTBOX;
    measure.CtlID = 1004;
    EXPECT_EQ(1, SendMessageA(page, WM_MEASUREITEM, 1004, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(-1, SendMessageA(page, WM_CHARTOITEM, MAKEWPARAM('a', 0),
                               reinterpret_cast<LPARAM>(GetDlgItem(page, 1004))));
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 5);
    EXPECT_EQ(0, SendMessageA(page, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 0));
    EXPECT_TRUE(sheet.CloseAndUnload());
}

bool RunAsSystem(const char* version, const char* mode) {
    return RunAsOlderSystem(version, mode, "SheetChild.*");
}

TEST(ResourceSheet, Windows95IsLegacyShellMode) {
    EXPECT_TRUE(RunAsSystem("win95", "legacy"));
}

TEST(ResourceSheet, WindowsNt4IsLegacyShellMode) {
    EXPECT_TRUE(RunAsSystem("nt40", "legacy"));
}

TEST(ResourceSheet, WindowsXpPassesTheActivationContext) {
    EXPECT_TRUE(RunAsSystem("winxp", "themed"));
}

// Runs only inside a child started by RunAsSystem.
TEST(SheetChild, PageInTheReportedSystem) {
    const std::string mode = OlderSystemTask();
    if (mode.empty())
        GTEST_SKIP() << "runs only as a child";
    const bool legacy = mode == "legacy";

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    if (legacy) {
        ASSERT_EQ(4u, version.dwMajorVersion);
    } else {
        ASSERT_EQ(5u, version.dwMajorVersion);
        ASSERT_EQ(1u, version.dwMinorVersion);
    }

    SheetWithPage sheet;
    ASSERT_TRUE(sheet.Open(SystemFilePath("shell32.dll")));
    const PROPSHEETPAGEA* description = sheet.Description();
    ASSERT_NE(nullptr, description);
    if (legacy) {
        EXPECT_EQ("ﾘｿｰｽ", sheet.TabText());
        EXPECT_EQ(kPageDescriptionSize, description->dwSize);
        EXPECT_EQ(static_cast<DWORD>(0xC9), description->dwFlags);
        ExpectPatchedCopyOf(
            StoredTemplate(sheet.server.library),
            static_cast<const uint8_t*>(static_cast<const void*>(description->pResource)));
        EXPECT_EQ("ＭＳ Ｐゴシック", sheet.FontFace());
    } else {
        EXPECT_EQ("リソース", sheet.TabText());
        EXPECT_EQ(kPageDescriptionSizeWithContext, description->dwSize);
        EXPECT_EQ(static_cast<DWORD>(0x40C8), description->dwFlags);
        EXPECT_EQ("MS UI Gothic", sheet.FontFace());
    }
    ExpectTemplateControls(sheet.page);
    EXPECT_TRUE(sheet.CloseAndUnload());

    ReportOlderSystemResult(!::testing::Test::HasFailure());
}

// The description and the template patch made inside this process, against
// the library's own template and every combination of the platform flags.
class PageDescription : public ::testing::Test {
protected:
    void SetUp() override {
        saved = theModule;
        library = LoadLibraryA(LibraryPath().c_str());
        ASSERT_NE(nullptr, library);
        theModule.moduleHandle = library;
        theModule.legacyShellMode = false;
        theModule.themedPlatform = false;
        theModule.activationContext = nullptr;
        object = new ShellExtension();
        object->AddRef();
    }
    void TearDown() override {
        if (object->patchedTemplate != nullptr)
            GlobalFree(object->patchedTemplate);
        object->patchedTemplate = nullptr;
        object->Release();
        FreeLibrary(library);
        theModule = saved;
    }
    ModuleState saved;
    HMODULE library = nullptr;
    ShellExtension* object = nullptr;
};

TEST_F(PageDescription, NeitherLegacyNorThemed) {
    PROPSHEETPAGEA description;
    FillPageDescription(object, &description);
    // The header's size of the record version without the context, for this
    // build's pointer width.
    EXPECT_EQ(static_cast<DWORD>(PROPSHEETPAGEA_V2_SIZE), description.dwSize);
    EXPECT_EQ(static_cast<DWORD>(0xC8), description.dwFlags);
    EXPECT_EQ(MAKEINTRESOURCEA(101), description.pszTemplate);
    EXPECT_STREQ("リソース", description.pszTitle);
    EXPECT_EQ(library, description.hInstance);
    EXPECT_EQ(reinterpret_cast<LPARAM>(static_cast<IShellExtInit*>(object)), description.lParam);
    EXPECT_EQ(const_cast<const LONG*>(&theModule.objectCount),
              reinterpret_cast<const LONG*>(description.pcRefParent));
    EXPECT_EQ(nullptr, object->patchedTemplate);
}

TEST_F(PageDescription, ThemedPassesTheCapturedContextUnlessItIsInvalid) {
    theModule.themedPlatform = true;
    for (HANDLE context : {static_cast<HANDLE>(nullptr), reinterpret_cast<HANDLE>(0x5678)}) {
        theModule.activationContext = context;
        PROPSHEETPAGEA description;
        FillPageDescription(object, &description);
        EXPECT_EQ(kPageDescriptionSizeWithContext, description.dwSize);
        EXPECT_EQ(static_cast<DWORD>(0x40C8), description.dwFlags);
        EXPECT_EQ(context, description.hActCtx);
    }
    theModule.activationContext = INVALID_HANDLE_VALUE;
    PROPSHEETPAGEA description;
    FillPageDescription(object, &description);
    EXPECT_EQ(kPageDescriptionSize, description.dwSize);
    EXPECT_EQ(static_cast<DWORD>(0xC8), description.dwFlags);
}

TEST_F(PageDescription, LegacyUsesThePatchedTemplate) {
    theModule.legacyShellMode = true;
    PROPSHEETPAGEA description;
    FillPageDescription(object, &description);
    EXPECT_EQ(kPageDescriptionSize, description.dwSize);
    EXPECT_EQ(static_cast<DWORD>(0xC9), description.dwFlags);
    EXPECT_STREQ("ﾘｿｰｽ", description.pszTitle);
    ASSERT_NE(nullptr, object->patchedTemplate);
    EXPECT_EQ(static_cast<const void*>(object->patchedTemplate),
              static_cast<const void*>(description.pResource));
    std::vector<uint8_t> stored = StoredTemplate(library);
    EXPECT_EQ(782u, stored.size());
    EXPECT_EQ(stored.size(), GlobalSize(object->patchedTemplate));
    ExpectPatchedCopyOf(
        stored, static_cast<const uint8_t*>(static_cast<const void*>(object->patchedTemplate)));
}

TEST_F(PageDescription, LegacyWithoutTheTemplateFallsBackToItsNumber) {
    theModule.legacyShellMode = true;
    // This test program carries no dialog 101.
    theModule.moduleHandle = GetModuleHandleA(nullptr);
    EXPECT_EQ(nullptr, MakePatchedTemplate(theModule.moduleHandle));
    PROPSHEETPAGEA description;
    FillPageDescription(object, &description);
    EXPECT_EQ(static_cast<DWORD>(0xC8), description.dwFlags);
    EXPECT_EQ(MAKEINTRESOURCEA(101), description.pszTemplate);
    EXPECT_STREQ("ﾘｿｰｽ", description.pszTitle);
    EXPECT_EQ(nullptr, object->patchedTemplate);
}

TEST_F(PageDescription, CallbackReadsSizesAndReleasesTheHoldOnce) {
    theModule.iconWidth = theModule.iconHeight = 0;
    theModule.cursorWidth = theModule.cursorHeight = 0;
    PROPSHEETPAGEA description;
    FillPageDescription(object, &description);
    EXPECT_EQ(1u, PageCallback(nullptr, PSPCB_CREATE, &description));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), theModule.iconWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), theModule.iconHeight);
    EXPECT_EQ(GetSystemMetrics(SM_CXCURSOR), theModule.cursorWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYCURSOR), theModule.cursorHeight);

    object->fileName = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, 8));
    object->patchedTemplate = MakePatchedTemplate(library);
    object->AddRef();
    object->pageHoldsReference = 1;
    EXPECT_EQ(1u, PageCallback(nullptr, PSPCB_RELEASE, &description));
    EXPECT_EQ(nullptr, object->fileName);
    EXPECT_EQ(nullptr, object->patchedTemplate);
    EXPECT_EQ(0, object->pageHoldsReference);
    EXPECT_EQ(2u, object->AddRef());
    object->Release();
    // A second release of the same page takes nothing more.
    EXPECT_EQ(1u, PageCallback(nullptr, PSPCB_RELEASE, &description));
    EXPECT_EQ(2u, object->AddRef());
    object->Release();
    EXPECT_EQ(1u, PageCallback(nullptr, 0, &description));
}

}  // namespace
