// The error reports as the user sees them: the real message box, read back and
// closed by a hook.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <string>

#include "common/ErrorReports.h"
#include "common/ModuleState.h"
#include "support/MessageBoxCapture.h"

namespace {

const char kSheetTitle[] = "sample.exe のプロパティ";
const char kPageTitle[] = "リソース";
const char kOutOfMemory[] = "メモリ不足のため処理を中止しました。";
const char kOutOfMemoryLegacy[] = "ﾒﾓﾘ不足のため処理を中止しました。";

// A sheet with a page inside it, standing in for the Properties sheet.
class ErrorReports : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VantrelTestSheet";
        RegisterClassA(&windowClass);
        sheet = CreateWindowExA(0, "VantrelTestSheet", kSheetTitle, WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, sheet);
        page = CreateWindowExA(0, "VantrelTestSheet", kPageTitle, WS_CHILD | WS_VISIBLE, 0, 0, 300,
                               200, sheet, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, page);
        theModule.legacyShellMode = false;
    }
    void TearDown() override {
        theModule.legacyShellMode = false;
        if (sheet != nullptr)
            DestroyWindow(sheet);
    }

    // Every report shows exactly one box with the single OK button, owned by the
    // sheet and captioned with its title, not the page's.
    void ExpectSheetBox(const CapturedMessageBox& box) {
        EXPECT_EQ(1, box.count);
        EXPECT_EQ(kSheetTitle, box.caption);
        EXPECT_EQ(sheet, box.owner);
        EXPECT_EQ(1, box.visibleButtons);
        EXPECT_TRUE(box.hasOkButton);
    }

    HWND sheet = nullptr;
    HWND page = nullptr;
};

TEST_F(ErrorReports, AviMemoryShowsTheOutOfMemoryTextInBothModes) {
    for (bool legacy : {false, true}) {
        theModule.legacyShellMode = legacy;
        SetLastError(0);
        CapturedMessageBox box = CaptureMessageBox([&] { ReportAviError(AVIERR_MEMORY, page, 3); });
        ExpectSheetBox(box);
        EXPECT_EQ(legacy ? kOutOfMemoryLegacy : kOutOfMemory, box.text);
        // An out-of-memory report of the AVI functions is always an operation's.
        EXPECT_EQ('Q', box.icon);
    }
}

TEST_F(ErrorReports, AviCodesShowTwoLinesWithEightLowerCaseDigits) {
    struct Row {
        HRESULT code;
        bool legacy;
        const char* text;
    };
    const Row rows[] = {
        {static_cast<HRESULT>(0x80044073), false,
         "AVI API でエラーが発生しました。\nエラー コード: 80044073"},
        {static_cast<HRESULT>(0x8004406A), true,
         "AVI API でｴﾗｰが発生しました。\nｴﾗｰ ｺｰﾄﾞ: 8004406a"},
        {0xABC, false, "AVI API でエラーが発生しました。\nエラー コード: 00000abc"},
        {0, true, "AVI API でｴﾗｰが発生しました。\nｴﾗｰ ｺｰﾄﾞ: 00000000"},
        {static_cast<HRESULT>(0xFFFFFFFF), false,
         "AVI API でエラーが発生しました。\nエラー コード: ffffffff"},
    };
    for (const Row& row : rows) {
        theModule.legacyShellMode = row.legacy;
        CapturedMessageBox box = CaptureMessageBox([&] { ReportAviError(row.code, page, 2); });
        ExpectSheetBox(box);
        EXPECT_EQ(row.text, box.text);
        EXPECT_EQ('Q', box.icon);
    }
}

TEST_F(ErrorReports, SeverityChoosesTheIcon) {
    const HRESULT code = static_cast<HRESULT>(0x80044073);
    EXPECT_EQ('H', CaptureMessageBox([&] { ReportAviError(code, page, 3); }).icon);
    EXPECT_EQ('Q', CaptureMessageBox([&] { ReportAviError(code, page, 2); }).icon);
    EXPECT_EQ('Q', CaptureMessageBox([&] { ReportAviError(code, page, 0); }).icon);
    EXPECT_EQ('Q', CaptureMessageBox([&] { ReportMciError(MCIERR_INTERNAL, page, 2); }).icon);
    EXPECT_EQ('H', CaptureMessageBox([&] { ReportMciError(MCIERR_INTERNAL, page, 3); }).icon);
}

TEST_F(ErrorReports, SystemErrorAfterOwnShortageShowsTheFixedText) {
    for (bool legacy : {false, true}) {
        theModule.legacyShellMode = legacy;
        CapturedMessageBox box = CaptureMessageBox([&] {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            ReportSystemError(page, 3);
        });
        ExpectSheetBox(box);
        EXPECT_EQ(legacy ? kOutOfMemoryLegacy : kOutOfMemory, box.text);
        EXPECT_EQ('H', box.icon);
    }
}

TEST_F(ErrorReports, SystemErrorShowsTheSystemsTextOrTheCode) {
    char expected[256] = {};
    ASSERT_NE(0u,
              FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             ERROR_FILE_NOT_FOUND, 0x400, expected, sizeof(expected), nullptr));
    CapturedMessageBox box = CaptureMessageBox([&] {
        SetLastError(ERROR_FILE_NOT_FOUND);
        ReportSystemError(page, 2);
    });
    ExpectSheetBox(box);
    EXPECT_EQ(expected, box.text);

    // A code the system has no text for shows the code, not stale memory.
    box = CaptureMessageBox([&] {
        SetLastError(0x2FFFFFF0);
        ReportSystemError(page, 2);
    });
    ExpectSheetBox(box);
    EXPECT_EQ("エラーが発生しました。\nエラー コード: 805306352", box.text);
}

TEST_F(ErrorReports, MciErrorShowsTheDevicesTextOrTheCode) {
    char expected[256] = {};
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_DEVICE_NOT_READY, expected, sizeof(expected)));
    CapturedMessageBox box =
        CaptureMessageBox([&] { ReportMciError(MCIERR_DEVICE_NOT_READY, page, 2); });
    ExpectSheetBox(box);
    EXPECT_EQ(expected, box.text);

    theModule.legacyShellMode = true;
    char unknown[256] = {};
    if (mciGetErrorStringA(0xFFFF, unknown, sizeof(unknown)) && unknown[0] != '\0') {
        GTEST_SKIP() << "the platform has a text for every MCI code";
    }
    box = CaptureMessageBox([&] { ReportMciError(0xFFFF, page, 2); });
    ExpectSheetBox(box);
    EXPECT_EQ("ｴﾗｰが発生しました。\nｴﾗｰ ｺｰﾄﾞ: 65535", box.text);
}

}  // namespace
