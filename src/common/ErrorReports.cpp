#include "common/ErrorReports.h"

#include <mmsystem.h>
#include <vfw.h>

#include "common/ModuleState.h"

namespace {

const UINT kTextCapacity = 256;
const int kCaptionCapacity = 256;

const char* OutOfMemoryText() {
    return theModule.legacyShellMode ? "ﾒﾓﾘ不足のため処理を中止しました。"
                                     : "メモリ不足のため処理を中止しました。";
}

const char* AviErrorFormat() {
    return theModule.legacyShellMode ? "AVI API でｴﾗｰが発生しました。\nｴﾗｰ ｺｰﾄﾞ: %08x"
                                     : "AVI API でエラーが発生しました。\nエラー コード: %08x";
}

// Shown when the system has no text for a code, so that the box never shows
// whatever the buffer held before.
const char* UnknownErrorFormat() {
    return theModule.legacyShellMode ? "ｴﾗｰが発生しました。\nｴﾗｰ ｺｰﾄﾞ: %lu"
                                     : "エラーが発生しました。\nエラー コード: %lu";
}

void FormatUnknownError(char* text, DWORD code) {
    wsprintfA(text, UnknownErrorFormat(), static_cast<unsigned long>(code));
}

// The caption is the Properties sheet's title: the owner is the page (or a
// window beside it), whose parent is the sheet.
void ReadCaption(HWND owner, char* caption) {
    caption[0] = '\0';
    HWND sheet = GetParent(owner);
    if (sheet != nullptr)
        GetWindowTextA(sheet, caption, kCaptionCapacity);
}

UINT IconOfSeverity(unsigned severity) {
    return severity == 3 ? MB_ICONHAND : MB_ICONQUESTION;
}

void ShowReport(HWND owner, const char* text, const char* caption, unsigned severity) {
    MessageBoxA(owner, text, caption, MB_OK | IconOfSeverity(severity));
}

}  // namespace

void ReportSystemError(HWND owner, unsigned severity) {
    // Taken before anything else runs: reading the caption may change it.
    DWORD code = GetLastError();
    char caption[kCaptionCapacity];
    ReadCaption(owner, caption);
    char text[kTextCapacity];
    if (code == ERROR_NOT_ENOUGH_MEMORY) {
        lstrcpynA(text, OutOfMemoryText(), kTextCapacity);
    } else if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                              code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, kTextCapacity,
                              nullptr) == 0) {
        FormatUnknownError(text, code);
    }
    ShowReport(owner, text, caption, severity);
}

void ReportMciError(DWORD mciError, HWND owner, unsigned severity) {
    char text[kTextCapacity];
    text[0] = '\0';
    if (!mciGetErrorStringA(mciError, text, kTextCapacity) || text[0] == '\0') {
        FormatUnknownError(text, mciError);
    }
    char caption[kCaptionCapacity];
    ReadCaption(owner, caption);
    ShowReport(owner, text, caption, severity);
}

void ReportRefusedTarget(HWND owner) {
    const char* text = theModule.legacyShellMode
                           ? "表示中のﾌｧｲﾙ自身には保存できません。\n別の名前を選んでください。"
                           : "表示中のファイル自身には保存できません。\n別の名前を選んでください。";
    char caption[kCaptionCapacity];
    ReadCaption(owner, caption);
    ShowReport(owner, text, caption, 2);
}

void ReportAviError(HRESULT aviError, HWND owner, unsigned severity) {
    if (aviError == AVIERR_MEMORY) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ReportSystemError(owner, 2);
        return;
    }
    char text[80];
    wsprintfA(text, AviErrorFormat(), static_cast<unsigned>(aviError));
    char caption[kCaptionCapacity];
    ReadCaption(owner, caption);
    ShowReport(owner, text, caption, severity);
}
