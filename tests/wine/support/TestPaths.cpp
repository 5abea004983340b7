#include "support/TestPaths.h"

#include <windows.h>

std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string LibraryPath() {
    return WindowsPath(std::string(VANTREL_BUILD_DIR) + "/VANTREL.DLL");
}

std::string FixturePath(const std::string& name) {
    return WindowsPath(std::string(VANTREL_FIXTURE_DIR) + "/" + name);
}

std::string SystemFilePath(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}
