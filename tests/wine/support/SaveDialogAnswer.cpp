#include "support/SaveDialogAnswer.h"

#include <commdlg.h>

namespace {

const int kFileNameField = 0x47C;

BOOL CALLBACK AnswerWindow(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char windowClass[16] = {};
    GetClassNameA(window, windowClass, sizeof(windowClass));
    if (process != GetCurrentProcessId() || lstrcmpA(windowClass, "#32770") != 0 ||
        !IsWindowVisible(window)) {
        return TRUE;
    }
    auto* answer = reinterpret_cast<DialogAnswer*>(data);
    if (GetDlgItem(window, kFileNameField) != nullptr) {
        if (!answer->answered) {
            char proposed[MAX_PATH] = {};
            GetDlgItemTextA(window, kFileNameField, proposed, MAX_PATH);
            answer->proposed = proposed;
            wchar_t folder[MAX_PATH] = {};
            SendMessageW(window, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
            answer->folder = folder;
            SetDlgItemTextA(window, kFileNameField, answer->path.c_str());
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            answer->answered = true;
        }
        return FALSE;
    }
    // A message box's text is its control 0xFFFF; the sheet has none.
    if (GetDlgItem(window, 0xFFFF) == nullptr)
        return TRUE;
    if (window != answer->lastBox) {
        char text[512] = {};
        GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
        answer->boxes.push_back(text);
        answer->lastBox = window;
    }
    // Yes to a replacement; a box with OK alone closes with it as well.
    PostMessageA(window, WM_COMMAND, IDYES, 0);
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

DWORD WINAPI AnswerDialogs(void* data) {
    auto* answer = static_cast<DialogAnswer*>(data);
    while (!answer->done) {
        Sleep(50);
        EnumWindows(AnswerWindow, reinterpret_cast<LPARAM>(answer));
    }
    return 0;
}

}  // namespace

DialogAnswer SaveAs(HWND list, const std::string& path) {
    DialogAnswer answer;
    answer.path = path;
    answer.answered = false;
    answer.done = false;
    answer.lastBox = nullptr;
    HANDLE thread = CreateThread(nullptr, 0, AnswerDialogs, &answer, 0, nullptr);
    SendMessageA(list, WM_CHAR, 19, 0);
    answer.done = true;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return answer;
}
