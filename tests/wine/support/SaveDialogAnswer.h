// The save command as a user answers it: Ctrl+S pressed in a list while a
// second thread names the file in the platform's save dialog and closes every
// box that comes (confirming a replacement), noting their texts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogAnswer {
    std::string path;
    volatile bool answered;
    volatile bool done;
    std::vector<std::string> boxes;
    // The box last counted: on a loaded machine it may outlive the next look.
    HWND lastBox;
    // The name the dialog proposed and the folder it opened in.
    std::string proposed;
    std::wstring folder;
};

// Presses Ctrl+S in list and names path in the dialog that comes; what the
// answering thread saw.
DialogAnswer SaveAs(HWND list, const std::string& path);
