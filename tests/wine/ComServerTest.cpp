// The library as an in-process COM server, reached only through its exports.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/DropDataObject.h"
#include "support/ExtensionServer.h"
#include "support/TestPaths.h"

namespace {

void* const kGarbage = reinterpret_cast<void*>(0x1234);

// Pages the add-page callback was offered; accept decides the answer.
struct OfferedPages {
    bool accept;
    std::vector<HPROPSHEETPAGE> pages;
};

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM data) {
    auto* offered = reinterpret_cast<OfferedPages*>(data);
    offered->pages.push_back(page);
    return offered->accept ? TRUE : FALSE;
}

ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

IShellPropSheetExt* SheetInterface(IShellExtInit* extension) {
    IShellPropSheetExt* sheet = nullptr;
    extension->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(&sheet));
    return sheet;
}

class ComServer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadExtensionServer(&server)) << LibraryPath(); }
    void TearDown() override {
        EXPECT_EQ(S_OK, server.canUnloadNow()) << "an object or page is still alive";
        UnloadExtensionServer(&server);
    }
    ExtensionServer server;
};

TEST_F(ComServer, ClassObjectRefusesOtherClassesAndInterfaces) {
    void* out = kGarbage;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server.getClassObject(IID_IUnknown, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);

    out = kGarbage;
    EXPECT_EQ(E_NOINTERFACE, server.getClassObject(kServedClassId, IID_IShellExtInit, &out));
    EXPECT_EQ(nullptr, out);
    // The factory made for the refused request is gone again.
    EXPECT_EQ(S_OK, server.canUnloadNow());

    EXPECT_EQ(E_POINTER, server.getClassObject(kServedClassId, IID_IClassFactory, nullptr));
}

TEST_F(ComServer, FactoryCountsWhileAliveAndLockServerHoldsNothing) {
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, server.getClassObject(kServedClassId, IID_IUnknown,
                                          reinterpret_cast<void**>(&unknown)));
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(factory));
    EXPECT_EQ(2u, CountOf(factory));
    EXPECT_EQ(S_FALSE, server.canUnloadNow());

    void* out = kGarbage;
    EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IShellExtInit, &out));
    EXPECT_EQ(nullptr, out);

    out = kGarbage;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(unknown, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
    out = kGarbage;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);

    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    unknown->Release();
    EXPECT_EQ(0u, factory->Release());
    // Neither the refused object nor the lock keeps the library.
    EXPECT_EQ(S_OK, server.canUnloadNow());
}

TEST_F(ComServer, ExtensionHasOneIdentityAndOneCount) {
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, server.getClassObject(kServedClassId, IID_IClassFactory,
                                          reinterpret_cast<void**>(&factory)));
    IShellPropSheetExt* sheet = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellPropSheetExt,
                                            reinterpret_cast<void**>(&sheet)));
    factory->Release();
    EXPECT_EQ(S_FALSE, server.canUnloadNow());

    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, sheet->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    IShellExtInit* init = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)));
    EXPECT_EQ(static_cast<void*>(init), static_cast<void*>(unknown));
    EXPECT_NE(static_cast<void*>(init), static_cast<void*>(sheet));
    EXPECT_EQ(3u, CountOf(sheet));
    EXPECT_EQ(3u, CountOf(init));

    void* out = kGarbage;
    EXPECT_EQ(E_NOINTERFACE, init->QueryInterface(IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_FAIL, sheet->ReplacePage(0, CollectPage, 0));

    unknown->Release();
    init->Release();
    EXPECT_EQ(S_FALSE, server.canUnloadNow());
    EXPECT_EQ(0u, sheet->Release());
}

TEST_F(ComServer, InitializeTwiceReleasesTheFirstSelection) {
    IShellExtInit* extension = CreateExtension(server);
    ASSERT_NE(nullptr, extension);
    std::vector<std::string> one{SystemFilePath("shell32.dll")};
    DropDataCounts first;
    DropDataCounts second;
    IDataObject* firstData = NewDropDataObject(one, true, &first);
    IDataObject* secondData = NewDropDataObject(one, true, &second);

    EXPECT_EQ(S_OK, extension->Initialize(nullptr, firstData, nullptr));
    EXPECT_EQ(1, first.getDataCalls);
    EXPECT_EQ(0, first.mediumsReleased);
    EXPECT_EQ(S_OK, extension->Initialize(nullptr, secondData, nullptr));
    EXPECT_EQ(1, first.mediumsReleased);
    EXPECT_EQ(1, second.getDataCalls);
    EXPECT_EQ(0, second.mediumsReleased);
    // The extension keeps the medium, not the data object.
    EXPECT_EQ(1, first.references);
    EXPECT_EQ(1, second.references);

    EXPECT_EQ(0u, extension->Release());
    EXPECT_EQ(1, second.mediumsReleased);
    firstData->Release();
    secondData->Release();
}

TEST_F(ComServer, NoPageUnlessExactlyOneFileThatCarriesResources) {
    struct Case {
        const char* what;
        std::vector<std::string> paths;
        bool serveDrop;
        HRESULT initialized;
    };
    const std::string shell32 = SystemFilePath("shell32.dll");
    const std::string comctl32 = SystemFilePath("comctl32.dll");
    const Case cases[] = {
        {"two files", {shell32, comctl32}, true, S_OK},
        {"no CF_HDROP", {shell32}, false, E_FAIL},
        {"no files", {}, true, S_OK},
        {"a file without resources", {WindowsPath(VANTREL_SOURCE_DIR "/README.md")}, true, S_OK},
        {"a missing file", {WindowsPath(VANTREL_SOURCE_DIR "/no-such-file.exe")}, true, S_OK},
    };
    for (const Case& c : cases) {
        IShellExtInit* extension = CreateExtension(server);
        ASSERT_NE(nullptr, extension);
        DropDataCounts counts;
        IDataObject* data = NewDropDataObject(c.paths, c.serveDrop, &counts);
        EXPECT_EQ(c.initialized, extension->Initialize(nullptr, data, nullptr)) << c.what;
        IShellPropSheetExt* sheet = SheetInterface(extension);
        OfferedPages offered{true, {}};
        EXPECT_EQ(S_OK, sheet->AddPages(CollectPage, reinterpret_cast<LPARAM>(&offered))) << c.what;
        EXPECT_TRUE(offered.pages.empty()) << c.what;
        sheet->Release();
        EXPECT_EQ(0u, extension->Release()) << c.what;
        EXPECT_EQ(counts.mediumsHandedOut, counts.mediumsReleased) << c.what;
        data->Release();
        EXPECT_EQ(S_OK, server.canUnloadNow()) << c.what;
    }
}

TEST_F(ComServer, AddPagesWithoutInitializeAddsNothing) {
    IShellExtInit* extension = CreateExtension(server);
    ASSERT_NE(nullptr, extension);
    IShellPropSheetExt* sheet = SheetInterface(extension);
    OfferedPages offered{true, {}};
    EXPECT_EQ(S_OK, sheet->AddPages(CollectPage, reinterpret_cast<LPARAM>(&offered)));
    EXPECT_TRUE(offered.pages.empty());
    EXPECT_EQ(E_FAIL, extension->Initialize(nullptr, nullptr, nullptr));
    sheet->Release();
    extension->Release();
}

TEST_F(ComServer, RefusedPageLeavesTheCountAsItWas) {
    DropDataCounts counts;
    IShellExtInit* extension = InitialisedExtension(server, SystemFilePath("shell32.dll"), &counts);
    ASSERT_NE(nullptr, extension);
    IShellPropSheetExt* sheet = SheetInterface(extension);
    ULONG before = CountOf(extension);

    OfferedPages offered{false, {}};
    EXPECT_EQ(S_OK, sheet->AddPages(CollectPage, reinterpret_cast<LPARAM>(&offered)));
    ASSERT_EQ(1u, offered.pages.size());
    EXPECT_NE(nullptr, offered.pages[0]);
    EXPECT_EQ(before, CountOf(extension));

    sheet->Release();
    EXPECT_EQ(0u, extension->Release());
    EXPECT_EQ(1, counts.mediumsReleased);
}

TEST_F(ComServer, AcceptedPageKeepsObjectAndLibraryUntilDestroyed) {
    DropDataCounts counts;
    IShellExtInit* extension = InitialisedExtension(server, SystemFilePath("shell32.dll"), &counts);
    ASSERT_NE(nullptr, extension);
    IShellPropSheetExt* sheet = SheetInterface(extension);
    ULONG before = CountOf(extension);

    OfferedPages offered{true, {}};
    EXPECT_EQ(S_OK, sheet->AddPages(CollectPage, reinterpret_cast<LPARAM>(&offered)));
    ASSERT_EQ(1u, offered.pages.size());
    EXPECT_EQ(before + 1, CountOf(extension));
    // The page serves one sheet: a second offer adds nothing.
    OfferedPages again{true, {}};
    EXPECT_EQ(S_OK, sheet->AddPages(CollectPage, reinterpret_cast<LPARAM>(&again)));
    EXPECT_TRUE(again.pages.empty());

    sheet->Release();
    EXPECT_EQ(1u, extension->Release());
    EXPECT_EQ(S_FALSE, server.canUnloadNow());
    EXPECT_EQ(0, counts.mediumsReleased);

    // Destroying the page drops its reference: the object goes, and with it the
    // selection.
    EXPECT_TRUE(DestroyPropertySheetPage(offered.pages[0]));
    EXPECT_EQ(1, counts.mediumsReleased);
    EXPECT_EQ(S_OK, server.canUnloadNow());
}

}  // namespace
