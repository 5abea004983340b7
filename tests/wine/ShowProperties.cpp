// Opens the Properties sheet of a file through the shell, as the user's right
// click -> Properties does, and brings the resource page to the front. The run
// command starts it; it is no test.
//
//   ShowProperties [--ready FILE] [--keep] [--close] [--lang LANG] [--kind KIND] [--play]
//                  [--copy] [--save PATH] FILE
//
// --ready FILE  once the page is in front, write the sheet's screen rectangle
//               ("left top right bottom") to FILE, wait until FILE is removed,
//               then close the sheet; with --keep the sheet stays for the user.
// --close       close the sheet as soon as the page is in front (for scripts
//               that only ask whether the page comes).
// --lang LANG   a language number (decimal, or hex as 0x0412) or "default":
//               the language the page shows, chosen in its language
//               drop-down (control 1016) before the kind.
// --kind KIND   icon, bitmap, cursor, string, avi or message: the kind the
//               page shows, chosen in its drop-down as a user would.
// --play        with --kind avi: press the play button once the page has
//               painted, so that the picture shows the selected clip playing.
// --copy        after --kind, press the page's copy button and print the formats
//               on the clipboard with their sizes (read here: the clipboard
//               goes with this process).
// --save PATH   with --kind: select the kind's first entry and save it through
//               the page's command (Ctrl+S), naming PATH (a Windows path) in the
//               save dialog; prints what happened and the file's size.
// Without --ready or --close the sheet stays until the user closes it.
// Exit status: 0 the page was shown; 1 a sheet without the page; 2 no sheet;
// 3 wrong arguments.
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/PropertiesSheet.h"

namespace {

const DWORD kSheetTimeoutMs = 60000;
// How long the run command may take for its screenshot.
const DWORD kReadyTimeoutMs = 120000;
// A copy that takes longer is showing a report.
const DWORD kCopyTimeoutMs = 5000;

const long kNoLanguage = -2;

struct Options {
    std::string file;
    std::string readyFile;
    bool keep;
    bool close;
    int kind;       // index in the page's drop-down, -1 to leave the page as it starts
    long language;  // a language's number, -1 for "default", kNoLanguage to leave it
    bool play;
    bool copy;
    std::string savePath;
};

// The page's kinds in the order of its drop-down.
const char* const kKindNames[] = {"icon", "bitmap", "cursor", "string", "avi", "message"};

int KindIndex(const char* name) {
    for (int i = 0; i < 6; ++i) {
        if (std::strcmp(name, kKindNames[i]) == 0)
            return i;
    }
    return -1;
}

// Picks the kind in the page's drop-down (control 1000) and tells the page, as
// the drop-down does when the user picks it.
void ChoosePageKind(HWND sheet, int kind) {
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    HWND dropDown = page != nullptr ? GetDlgItem(page, 1000) : nullptr;
    if (dropDown == nullptr) {
        std::printf("the page has no kind drop-down\n");
        return;
    }
    SendMessageA(dropDown, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(dropDown));
}

// Picks the language whose item carries 0x10000 | number (0 for "default")
// in the page's language drop-down.
void ChoosePageLanguage(HWND sheet, long language) {
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    HWND dropDown = page != nullptr ? GetDlgItem(page, 1016) : nullptr;
    const LRESULT count = dropDown != nullptr ? SendMessageA(dropDown, CB_GETCOUNT, 0, 0) : 0;
    for (LRESULT item = 0; item < count; ++item) {
        const LRESULT data = SendMessageA(dropDown, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
        if ((language < 0 && item == 0) || data == (0x10000 | language)) {
            SendMessageA(dropDown, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(1016, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(dropDown));
            return;
        }
    }
    std::printf("the page lists no such language\n");
}

// Clicks the page's play button (control 1012) as the user does.
void PressPlay(HWND sheet) {
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    HWND button = page != nullptr ? GetDlgItem(page, 1012) : nullptr;
    if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) {
        std::printf("the page's play button cannot be pressed\n");
        return;
    }
    LRESULT idleImage = SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    if (SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0) == idleImage)
        std::printf("the play button was pressed; the clip did not start\n");
    else
        std::printf("the play button was pressed; the clip plays\n");
}

std::string Utf8FromAnsi(const std::string& text) {
    std::vector<wchar_t> wide(text.size() + 1);
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(),
                                         static_cast<int>(wide.size()));
    if (wideLength <= 0)
        return text;
    std::vector<char> utf8(static_cast<size_t>(wideLength) * 3 + 1);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(),
                                     static_cast<int>(utf8.size()), nullptr, nullptr);
    return length > 0 ? std::string(utf8.data()) : text;
}

// The resource page's tab: its usual title, and the half-width one of the
// oldest shells.
int FindResourceTab(HWND sheet) {
    int index = FindSheetTab(sheet, "リソース");
    return index >= 0 ? index : FindSheetTab(sheet, "ﾘｿｰｽ");
}

void PrintFormatName(UINT format) {
    static const struct {
        UINT format;
        const char* name;
    } kStandard[] = {{CF_TEXT, "CF_TEXT"},       {CF_BITMAP, "CF_BITMAP"},
                     {CF_DIB, "CF_DIB"},         {CF_DIBV5, "CF_DIBV5"},
                     {CF_WAVE, "CF_WAVE"},       {CF_UNICODETEXT, "CF_UNICODETEXT"},
                     {CF_OEMTEXT, "CF_OEMTEXT"}, {CF_LOCALE, "CF_LOCALE"}};
    for (const auto& standard : kStandard) {
        if (standard.format == format) {
            std::printf("%s", standard.name);
            return;
        }
    }
    char name[128];
    if (GetClipboardFormatNameA(format, name, sizeof(name)) > 0)
        std::printf("%s", name);
    else
        std::printf("format %u", format);
}

struct BoxSearch {
    HWND box;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (std::strcmp(className, "#32770") == 0 && GetWindow(window, GW_OWNER) != nullptr &&
        IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) != nullptr) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// Prints the text of the message box the page shows and closes it with OK.
void CloseReportBox(HWND page) {
    BoxSearch search = {nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(page, nullptr), FindOwnedBox,
                      reinterpret_cast<LPARAM>(&search));
    if (search.box == nullptr) {
        std::printf("copy: the page did not answer\n");
        return;
    }
    char text[512] = "";
    GetDlgItemTextA(search.box, 0xFFFF, text, sizeof(text));
    for (char* c = text; *c != '\0'; ++c) {
        if (*c == '\n' || *c == '\r')
            *c = ' ';
    }
    std::printf("copy reported: %s\n", Utf8FromAnsi(text).c_str());
    SendMessageA(search.box, WM_COMMAND, IDOK, 0);
    Sleep(200);
}

struct SaveAnswer {
    DWORD thread;
    const std::string* path;
    bool named;
    HWND box;
};

BOOL CALLBACK AnswerSaveWindow(HWND window, LPARAM data) {
    auto* answer = reinterpret_cast<SaveAnswer*>(data);
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    if (!answer->named && GetDlgItem(window, 0x47C) != nullptr) {
        SetDlgItemTextA(window, 0x47C, answer->path->c_str());
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        answer->named = true;
        return FALSE;
    }
    if (GetWindow(window, GW_OWNER) != nullptr && GetDlgItem(window, 0xFFFF) != nullptr)
        answer->box = window;
    return answer->box == nullptr;
}

// Selects the first entry of the kind's list and saves it as path through the
// page's Ctrl+S; a question whether to replace a file is answered yes, and a
// report is printed and closed.
void SaveFirstEntry(HWND sheet, int kind, const std::string& path) {
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    HWND list = page != nullptr ? GetDlgItem(page, 1004 + kind) : nullptr;
    if (list == nullptr) {
        std::printf("save: the page has no such list\n");
        return;
    }
    if (kind == 3) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    } else {
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(1004 + kind, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    SaveAnswer answer = {GetWindowThreadProcessId(page, nullptr), &path, false, nullptr};
    PostMessageA(list, WM_CHAR, 19, 0);
    for (DWORD start = GetTickCount(); GetTickCount() - start < kCopyTimeoutMs * 2;) {
        Sleep(100);
        answer.box = nullptr;
        EnumThreadWindows(answer.thread, AnswerSaveWindow, reinterpret_cast<LPARAM>(&answer));
        if (answer.box == nullptr)
            continue;
        char text[512] = "";
        GetDlgItemTextA(answer.box, 0xFFFF, text, sizeof(text));
        for (char* c = text; *c != '\0'; ++c) {
            if (*c == '\n' || *c == '\r')
                *c = ' ';
        }
        std::printf("save: the page asked or reported: %s\n", Utf8FromAnsi(text).c_str());
        PostMessageA(answer.box, WM_COMMAND, IDYES, 0);
        PostMessageA(answer.box, WM_COMMAND, IDOK, 0);
    }
    if (!answer.named) {
        std::printf("save: no save dialog came (nothing to save?)\n");
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        std::printf("saved %s: %lu bytes\n", path.c_str(),
                    static_cast<unsigned long>(data.nFileSizeLow));
    else
        std::printf("save: %s was not written\n", path.c_str());
}

// Presses the copy button (1013) and lists what the clipboard then holds; a
// format the system only offers by conversion is listed with its size too.
void CopyAndPrintClipboard(HWND sheet) {
    HWND page = PropSheet_GetCurrentPageHwnd(sheet);
    HWND button = page != nullptr ? GetDlgItem(page, 1013) : nullptr;
    if (button == nullptr || !IsWindowEnabled(button)) {
        std::printf("copy: the copy button is not enabled\n");
        return;
    }
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(page, WM_COMMAND, MAKEWPARAM(1013, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button), SMTO_NORMAL, kCopyTimeoutMs,
                             &ignored)) {
        // The copy reported a failure and waits for its box to be closed.
        CloseReportBox(page);
    }
    if (!OpenClipboard(nullptr)) {
        std::printf("copy: the clipboard cannot be opened\n");
        return;
    }
    std::printf("clipboard:");
    for (UINT format = EnumClipboardFormats(0); format != 0;
         format = EnumClipboardFormats(format)) {
        std::printf(" ");
        PrintFormatName(format);
        HANDLE data = format == CF_BITMAP ? nullptr : GetClipboardData(format);
        if (data != nullptr)
            std::printf(" (%lu bytes)", static_cast<unsigned long>(GlobalSize(data)));
    }
    std::printf("\n");
    CloseClipboard();
}

bool WriteSheetRectangle(const std::string& path, HWND sheet) {
    RECT rect = {};
    if (!GetWindowRect(sheet, &rect))
        return false;
    char line[64];
    int length = wsprintfA(line, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
    return ok && written == static_cast<DWORD>(length);
}

void WaitForRemoval(const std::string& path, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < timeoutMs) {
        Sleep(100);
    }
}

// Drives the sheet from outside: on Wine the verb's thread is busy running it.
DWORD WINAPI DriveSheet(void* parameter) {
    const Options& options = *static_cast<const Options*>(parameter);
    HWND sheet = WaitForPropertiesSheet(kSheetTimeoutMs);
    if (sheet == nullptr) {
        std::fprintf(stderr, "ShowProperties: no Properties sheet appeared\n");
        return 2;
    }
    std::printf("sheet tabs:");
    for (const std::string& text : SheetTabTexts(sheet))
        std::printf(" [%s]", Utf8FromAnsi(text).c_str());
    std::printf("\n");
    const int index = FindResourceTab(sheet);
    if (index >= 0) {
        SelectSheetTab(sheet, index);
        if (options.language != kNoLanguage)
            ChoosePageLanguage(sheet, options.language);
        if (options.kind >= 0)
            ChoosePageKind(sheet, options.kind);
        if (options.copy)
            CopyAndPrintClipboard(sheet);
        if (!options.savePath.empty())
            SaveFirstEntry(sheet, options.kind, options.savePath);
    } else {
        std::printf("the sheet has no resource page\n");
    }
    SetForegroundWindow(sheet);
    UpdateWindow(sheet);
    std::fflush(stdout);
    if (!options.readyFile.empty()) {
        // Let the page finish painting before the picture is taken. A clip
        // pressed into play gets only a moment to show a frame: Wine's device
        // runs the test clips in a fraction of a second.
        Sleep(500);
        if (options.play) {
            PressPlay(sheet);
            std::fflush(stdout);
            Sleep(60);
        }
        if (!WriteSheetRectangle(options.readyFile, sheet)) {
            std::fprintf(stderr, "ShowProperties: cannot write %s\n", options.readyFile.c_str());
        } else {
            WaitForRemoval(options.readyFile, kReadyTimeoutMs);
        }
        if (!options.keep)
            CloseSheet(sheet, kSheetTimeoutMs);
    } else {
        if (options.play)
            PressPlay(sheet);
        if (options.close)
            CloseSheet(sheet, kSheetTimeoutMs);
    }
    while (IsWindow(sheet))
        Sleep(100);
    return index >= 0 ? 0 : 1;
}

bool ParseArguments(int argc, char** argv, Options* options) {
    options->keep = false;
    options->close = false;
    options->kind = -1;
    options->language = kNoLanguage;
    options->play = false;
    options->copy = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ready") == 0 && i + 1 < argc) {
            options->readyFile = argv[++i];
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            options->keep = true;
        } else if (std::strcmp(argv[i], "--copy") == 0) {
            options->copy = true;
        } else if (std::strcmp(argv[i], "--close") == 0) {
            options->close = true;
        } else if (std::strcmp(argv[i], "--kind") == 0 && i + 1 < argc) {
            options->kind = KindIndex(argv[++i]);
            if (options->kind < 0)
                return false;
        } else if (std::strcmp(argv[i], "--lang") == 0 && i + 1 < argc) {
            ++i;
            char* end = nullptr;
            options->language =
                std::strcmp(argv[i], "default") == 0 ? -1 : std::strtol(argv[i], &end, 0);
            if (options->language != -1 && (end == argv[i] || *end != '\0' ||
                                            options->language < 0 || options->language > 0xFFFF))
                return false;
        } else if (std::strcmp(argv[i], "--save") == 0 && i + 1 < argc) {
            options->savePath = argv[++i];
        } else if (std::strcmp(argv[i], "--play") == 0) {
            options->play = true;
        } else if (argv[i][0] != '-' && options->file.empty()) {
            options->file = argv[i];
        } else {
            return false;
        }
    }
    return !options->file.empty() && (options->savePath.empty() || options->kind >= 0);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, &options)) {
        std::fprintf(
            stderr,
            "usage: ShowProperties [--ready FILE] [--keep] [--close] [--lang NUMBER|default] "
            "[--kind icon|bitmap|cursor|string|avi|message] [--play] [--copy] [--save PATH] "
            "FILE\n");
        return 3;
    }
    if (GetFileAttributesA(options.file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "ShowProperties: %s: no such file\n", options.file.c_str());
        return 3;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HANDLE driver = CreateThread(nullptr, 0, DriveSheet, &options, 0, nullptr);
    if (driver == nullptr)
        return 2;
    DWORD status = 2;
    if (InvokePropertiesVerb(options.file)) {
        WaitForSingleObject(driver, INFINITE);
        GetExitCodeThread(driver, &status);
    } else {
        // The driver is still waiting for a sheet; leaving the process ends it.
        std::fprintf(stderr, "ShowProperties: the shell refused the properties verb (error %lu)\n",
                     GetLastError());
    }
    CloseHandle(driver);
    CoUninitialize();
    return static_cast<int>(status);
}
