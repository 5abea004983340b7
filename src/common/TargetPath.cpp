#include "common/TargetPath.h"

#include "common/ModuleState.h"

HANDLE OpenTargetFile(const TargetPath& path) {
    // Write sharing is granted so that a file another program is writing can
    // still be looked at; nothing is ever written through this handle.
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (path.wide != nullptr) {
        if (theModule.createFileW == nullptr)
            return INVALID_HANDLE_VALUE;
        return theModule.createFileW(path.wide, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (path.narrow == nullptr)
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path.narrow, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

HMODULE LoadTargetAsData(const TargetPath& path) {
    if (path.wide != nullptr) {
        if (theModule.loadLibraryExW == nullptr)
            return nullptr;
        return theModule.loadLibraryExW(path.wide, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    if (path.narrow == nullptr)
        return nullptr;
    return LoadLibraryExA(path.narrow, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}
