// Captures the message box that an action shows on this thread: reads what the
// user would see and closes it with OK, so that tests never wait for a person.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct CapturedMessageBox {
    int count;  // boxes shown during the action
    std::string text;
    std::string caption;
    HWND owner;
    // 'H' stop (MB_ICONHAND), 'Q' question, 'E' exclamation, 'I' information,
    // 0 none or unknown.
    char icon;
    int visibleButtons;
    bool hasOkButton;
};

// Runs action; the first message box it shows is read and closed.
CapturedMessageBox CaptureMessageBox(const std::function<void()>& action);
