#include "media/FileSave.h"

#include "common/BindProc.h"
#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "formats/output/FileReplace.h"

namespace {

// The wide file functions this needs beyond the module's: bound by name, and
// only where the module found the wide opens (NT), elsewhere they are stubs.
struct WideFileApi {
    BOOL(WINAPI* moveFileEx)(LPCWSTR, LPCWSTR, DWORD);
    BOOL(WINAPI* deleteFile)(LPCWSTR);
    UINT(WINAPI* getTempFileName)(LPCWSTR, LPCWSTR, UINT, LPWSTR);
};

bool BindWideFileApi(WideFileApi* api) {
    *api = WideFileApi{};
    HMODULE kernel = GetModuleHandleA("Kernel32.dll");
    if (theModule.createFileW == nullptr || kernel == nullptr)
        return false;
    BindProc(kernel, "MoveFileExW", &api->moveFileEx);
    BindProc(kernel, "DeleteFileW", &api->deleteFile);
    BindProc(kernel, "GetTempFileNameW", &api->getTempFileName);
    return api->moveFileEx != nullptr && api->deleteFile != nullptr &&
           api->getTempFileName != nullptr;
}

// The chosen file and its temporary sibling, in either form; on the systems
// without a replacing move, also the spare name the old file waits under.
struct SaveFiles {
    const SavePath& path;
    WideFileApi api;
    wchar_t wideTemporary[MAX_PATH];
    char narrowTemporary[MAX_PATH];
    char narrowSpare[MAX_PATH];
};

// The chosen folder's text, cut from the narrow path.
void NarrowFolder(const SavePath& path, char* folder) {
    const uint32_t length = path.folderLength < MAX_PATH ? path.folderLength : MAX_PATH - 1;
    for (uint32_t i = 0; i < length; ++i)
        folder[i] = path.narrow[i];
    folder[length] = '\0';
}

// A unique empty file in the chosen folder; the folder's text is cut from the
// path for the call.
bool MakeTemporary(SaveFiles* files) {
    const SavePath& path = files->path;
    if (path.isWide) {
        const uint32_t length = path.folderLength < MAX_PATH ? path.folderLength : MAX_PATH - 1;
        wchar_t folder[MAX_PATH];
        for (uint32_t i = 0; i < length; ++i)
            folder[i] = path.wide[i];
        folder[length] = L'\0';
        return files->api.getTempFileName(folder, L"vtl", 0, files->wideTemporary) != 0;
    }
    char folder[MAX_PATH];
    NarrowFolder(path, folder);
    return GetTempFileNameA(folder, "vtl", 0, files->narrowTemporary) != 0;
}

// The last error as a step's answer: never 0 for a step that failed.
uint32_t StepFailure() {
    return GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
}

uint32_t SetChosenAside(void* context) {
    SaveFiles* files = static_cast<SaveFiles*>(context);
    if (GetFileAttributesA(files->path.narrow) == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        return code == ERROR_FILE_NOT_FOUND ? kNothingToSetAside : StepFailure();
    }
    // A unique name of the folder, made free again for the move.
    char folder[MAX_PATH];
    NarrowFolder(files->path, folder);
    if (GetTempFileNameA(folder, "vtl", 0, files->narrowSpare) == 0 ||
        !DeleteFileA(files->narrowSpare) || !MoveFileA(files->path.narrow, files->narrowSpare)) {
        return StepFailure();
    }
    return 0;
}

uint32_t MoveTemporaryIn(void* context) {
    SaveFiles* files = static_cast<SaveFiles*>(context);
    return MoveFileA(files->narrowTemporary, files->path.narrow) ? 0 : StepFailure();
}

uint32_t PutChosenBack(void* context) {
    SaveFiles* files = static_cast<SaveFiles*>(context);
    return MoveFileA(files->narrowSpare, files->path.narrow) ? 0 : StepFailure();
}

uint32_t DeleteSetAside(void* context) {
    SaveFiles* files = static_cast<SaveFiles*>(context);
    return DeleteFileA(files->narrowSpare) ? 0 : StepFailure();
}

HANDLE OpenTemporary(const SaveFiles& files) {
    if (files.path.isWide) {
        return theModule.createFileW(files.wideTemporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return CreateFileA(files.narrowTemporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void RemoveTemporary(const SaveFiles& files) {
    if (files.path.isWide)
        files.api.deleteFile(files.wideTemporary);
    else
        DeleteFileA(files.narrowTemporary);
}

// The complete file takes the chosen name: 0, or the failure's code. Windows
// 95, 98 and Me have no replacing move: there the old file waits under a
// spare name until the new one is in place.
uint32_t MoveOverChosen(SaveFiles* files) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED;
    if (files->path.isWide) {
        return files->api.moveFileEx(files->wideTemporary, files->path.wide, flags) ? 0
                                                                                    : StepFailure();
    }
    if (MoveFileExA(files->narrowTemporary, files->path.narrow, flags))
        return 0;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return StepFailure();
    const ReplaceSteps steps = {files, SetChosenAside, MoveTemporaryIn, PutChosenBack,
                                DeleteSetAside};
    return ReplaceStepByStep(steps);
}

bool WriteAll(HANDLE file, const void* bytes, uint32_t size) {
    const uint8_t* at = static_cast<const uint8_t*>(bytes);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, at, size, &written, nullptr) || written == 0)
            return false;
        at += written;
        size -= written;
    }
    return true;
}

HANDLE OpenForIdentity(const SavePath& path) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (path.isWide) {
        return theModule.createFileW(path.wide, 0, share, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    return CreateFileA(path.narrow, 0, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

}  // namespace

bool IsTargetFile(const SavePath& path, const TargetPath& target) {
    if (path.isWide && theModule.createFileW == nullptr)
        return false;
    FileHandle chosen(OpenForIdentity(path));
    FileHandle own(OpenTargetFile(target));
    BY_HANDLE_FILE_INFORMATION a = {};
    BY_HANDLE_FILE_INFORMATION b = {};
    return chosen.get() != INVALID_HANDLE_VALUE && own.get() != INVALID_HANDLE_VALUE &&
           GetFileInformationByHandle(chosen.get(), &a) &&
           GetFileInformationByHandle(own.get(), &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

DWORD SaveFileBytes(const SavePath& path, const void* bytes, uint32_t size) {
    SaveFiles files = {path, {}, {}, {}, {}};
    if (path.isWide && !BindWideFileApi(&files.api))
        return ERROR_CALL_NOT_IMPLEMENTED;
    SetLastError(0);
    if (!MakeTemporary(&files))
        return GetLastError() != 0 ? GetLastError() : ERROR_CANNOT_MAKE;
    bool complete = false;
    {
        FileHandle file(OpenTemporary(files));
        complete =
            file.get() != INVALID_HANDLE_VALUE && WriteAll(file.get(), bytes, size) && file.Close();
    }
    // The failure's own code, before the clean-up changes it.
    const DWORD code = complete ? MoveOverChosen(&files) : StepFailure();
    if (code != 0)
        RemoveTemporary(files);
    return code;
}
