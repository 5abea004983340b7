#include "support/MessageBoxCapture.h"

namespace {

CapturedMessageBox* capture = nullptr;
HHOOK hook = nullptr;

std::string WindowText(HWND window) {
    char text[1024] = {};
    if (window != nullptr)
        GetWindowTextA(window, text, sizeof(text));
    return text;
}

// The text sits in a static control: 0xFFFF on Windows, 100 in older Wines.
HWND TextControl(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? text : GetDlgItem(box, 100);
}

char IconOf(HWND box) {
    HICON icon = nullptr;
    for (int id : {0x440, 20}) {
        HWND control = GetDlgItem(box, id);
        if (control != nullptr)
            icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
        if (icon != nullptr)
            break;
    }
    if (icon == nullptr)
        return 0;
    if (icon == LoadIcon(nullptr, IDI_HAND))
        return 'H';
    if (icon == LoadIcon(nullptr, IDI_QUESTION))
        return 'Q';
    if (icon == LoadIcon(nullptr, IDI_EXCLAMATION))
        return 'E';
    if (icon == LoadIcon(nullptr, IDI_ASTERISK))
        return 'I';
    return 0;
}

BOOL CALLBACK CountButton(HWND child, LPARAM param) {
    char className[32] = {};
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Button") == 0 && (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) {
        ++*reinterpret_cast<int*>(param);
    }
    return TRUE;
}

void ReadBox(HWND box) {
    CapturedMessageBox& box_ = *capture;
    ++box_.count;
    if (box_.count > 1)
        return;
    box_.text = WindowText(TextControl(box));
    box_.caption = WindowText(box);
    box_.owner = GetWindow(box, GW_OWNER);
    box_.icon = IconOf(box);
    box_.visibleButtons = 0;
    EnumChildWindows(box, CountButton, reinterpret_cast<LPARAM>(&box_.visibleButtons));
    HWND ok = GetDlgItem(box, IDOK);
    box_.hasOkButton = ok != nullptr && (GetWindowLongA(ok, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The box is read as soon as it has set itself up and destroyed before it is
// ever shown: showing and hiding a window costs seconds of waiting for a window
// manager that a virtual display does not have.
LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && capture != nullptr && call->message == WM_INITDIALOG) {
        char className[16] = {};
        GetClassNameA(call->hwnd, className, sizeof(className));
        // A page's dialog and a property sheet are dialogs too, but never boxes.
        const bool child = (GetWindowLongA(call->hwnd, GWL_STYLE) & WS_CHILD) != 0;
        const bool sheet =
            FindWindowExA(call->hwnd, nullptr, "SysTabControl32", nullptr) != nullptr;
        if (lstrcmpA(className, "#32770") == 0 && !child && !sheet) {
            ReadBox(call->hwnd);
            DestroyWindow(call->hwnd);
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

CapturedMessageBox CaptureMessageBox(const std::function<void()>& action) {
    CapturedMessageBox result = {};
    capture = &result;
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchForBox, nullptr, GetCurrentThreadId());
    action();
    // The box disabled its owner while it was up; it went away without the
    // dialog code's own ending, so the owner is given back here.
    if (result.owner != nullptr)
        EnableWindow(result.owner, TRUE);
    UnhookWindowsHookEx(hook);
    hook = nullptr;
    capture = nullptr;
    return result;
}
