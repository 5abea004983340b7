#include "support/OlderSystem.h"

#include <windows.h>

#include <cstring>

const char kOlderSystemTaskVariable[] = "VANTREL_OLDER_SYSTEM_TASK";

namespace {

const char kMarkerVariable[] = "VANTREL_OLDER_SYSTEM_MARKER";

std::string Variable(const char* name) {
    char value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value) : std::string();
}

}  // namespace

bool RunAsOlderSystem(const char* version, const std::string& task, const std::string& filter) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    const std::string exeName = std::string("VantrelOlder_") + version + ".exe";
    const std::string copy = std::string(folder) + exeName;
    const std::string marker = copy + ".passed";
    DeleteFileA(marker.c_str());
    if (!CopyFileA(self, copy.c_str(), FALSE))
        return false;

    const std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    HKEY appKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &appKey, nullptr) != ERROR_SUCCESS) {
        DeleteFileA(copy.c_str());
        return false;
    }
    RegSetValueExA(appKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(std::strlen(version) + 1));
    RegCloseKey(appKey);

    SetEnvironmentVariableA(kOlderSystemTaskVariable, task.c_str());
    SetEnvironmentVariableA(kMarkerVariable, marker.c_str());
    std::string commandLine = "\"" + copy + "\" --gtest_filter=" + filter;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    DWORD exitCode = 1;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 120000);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    SetEnvironmentVariableA(kOlderSystemTaskVariable, nullptr);
    SetEnvironmentVariableA(kMarkerVariable, nullptr);
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    const bool passed =
        exitCode == 0 && GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
    DeleteFileA(marker.c_str());
    DeleteFileA(copy.c_str());
    return passed;
}

std::string OlderSystemTask() {
    return Variable(kOlderSystemTaskVariable);
}

void ReportOlderSystemResult(bool passed) {
    const std::string marker = Variable(kMarkerVariable);
    if (!passed || marker.empty())
        return;
    HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}
