#include "page/commands/SaveDialog.h"

#include <commdlg.h>

#include <cstddef>

#include "common/BindProc.h"
#include "common/ModuleState.h"

namespace {

// Asks before replacing a file; leaves the process's current folder alone.
const DWORD kQuestionFlags =
    OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;

// The size every system's dialog knows: without the fields Windows 2000 added.
template <typename Description>
constexpr DWORD OldestDescriptionSize() {
    return static_cast<DWORD>(offsetof(Description, lpTemplateName) + sizeof(void*));
}

bool IsForbidden(unsigned c) {
    return c < 32 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' ||
           c == '<' || c == '>' || c == '|';
}

// The folder of the target, with its last separator: the length to keep.
uint32_t FolderLength(const wchar_t* path) {
    uint32_t length = 0;
    for (uint32_t i = 0; path[i] != 0; ++i) {
        if (path[i] == L'\\' || path[i] == L'/')
            length = i + 1;
    }
    return length;
}

// The same by characters: the second byte of a double-byte character (ソ is
// 0x83 0x5C) is no separator.
uint32_t FolderLength(const char* path) {
    uint32_t length = 0;
    for (const char* c = path; *c != '\0'; c = CharNextA(c)) {
        if (*c == '\\' || *c == '/')
            length = static_cast<uint32_t>(c - path) + 1;
    }
    return length;
}

void CopyFolder(const char* path, char* folder) {
    uint32_t length = FolderLength(path);
    for (uint32_t i = 0; i < length && i < MAX_PATH - 1; ++i)
        folder[i] = path[i];
    folder[length < MAX_PATH ? length : MAX_PATH - 1] = '\0';
}

bool AskWide(HWND owner, HMODULE dialogs, const TargetPath& target, const char* defaultName,
             const SaveFileType& type, SavePath* path) {
    BOOL(WINAPI * getSaveFileName)(OPENFILENAMEW*) = nullptr;
    BindProc(dialogs, "GetSaveFileNameW", &getSaveFileName);
    if (getSaveFileName == nullptr)
        return false;
    wchar_t folder[MAX_PATH] = L"";
    if (target.wide != nullptr) {
        uint32_t length = FolderLength(target.wide);
        for (uint32_t i = 0; i < length && i < MAX_PATH - 1; ++i)
            folder[i] = target.wide[i];
    } else if (target.narrow != nullptr) {
        char narrow[MAX_PATH];
        CopyFolder(target.narrow, narrow);
        MultiByteToWideChar(CP_ACP, 0, narrow, -1, folder, MAX_PATH);
    }
    MultiByteToWideChar(CP_ACP, 0, defaultName, -1, path->wide, MAX_PATH);
    for (wchar_t& c : path->wide) {
        if (c == 0)
            break;
        if (IsForbidden(c))
            c = L'_';
    }
    wchar_t extension[8] = L"";
    MultiByteToWideChar(CP_ACP, 0, type.extension, -1, extension, 8);
    OPENFILENAMEW request = {};
    request.lStructSize = OldestDescriptionSize<OPENFILENAMEW>();
    request.hwndOwner = owner;
    request.lpstrFilter = type.wideFilter;
    request.lpstrFile = path->wide;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = folder[0] != 0 ? folder : nullptr;
    request.lpstrDefExt = extension;
    request.Flags = kQuestionFlags;
    if (!getSaveFileName(&request))
        return false;
    path->isWide = true;
    path->folderLength = request.nFileOffset;
    return true;
}

bool AskNarrow(HWND owner, HMODULE dialogs, const TargetPath& target, const char* defaultName,
               const SaveFileType& type, SavePath* path) {
    BOOL(WINAPI * getSaveFileName)(OPENFILENAMEA*) = nullptr;
    BindProc(dialogs, "GetSaveFileNameA", &getSaveFileName);
    if (getSaveFileName == nullptr)
        return false;
    char folder[MAX_PATH] = "";
    if (target.narrow != nullptr)
        CopyFolder(target.narrow, folder);
    lstrcpynA(path->narrow, defaultName, MAX_PATH);
    // Bytes after a lead byte are the second halves of double-byte characters.
    for (char* c = path->narrow; *c != '\0'; ++c) {
        if (IsDBCSLeadByte(static_cast<BYTE>(*c)) && c[1] != '\0')
            ++c;
        else if (IsForbidden(static_cast<unsigned char>(*c)))
            *c = '_';
    }
    OPENFILENAMEA request = {};
    request.lStructSize = OldestDescriptionSize<OPENFILENAMEA>();
    request.hwndOwner = owner;
    request.lpstrFilter = type.narrowFilter;
    request.lpstrFile = path->narrow;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = folder[0] != '\0' ? folder : nullptr;
    request.lpstrDefExt = type.extension;
    request.Flags = kQuestionFlags;
    if (!getSaveFileName(&request))
        return false;
    path->isWide = false;
    path->folderLength = request.nFileOffset;
    return true;
}

}  // namespace

bool AskSaveName(HWND dialog, const TargetPath& target, const char* defaultName,
                 const SaveFileType& type, SavePath* path) {
    *path = SavePath{};
    // Loaded for the question only: most sheets never save anything.
    HMODULE dialogs = LoadLibraryA("comdlg32.dll");
    if (dialogs == nullptr)
        return false;
    HWND owner = GetParent(dialog) != nullptr ? GetParent(dialog) : dialog;
    // The wide functions exist where the module bound the wide opens.
    bool chosen = theModule.createFileW != nullptr
                      ? AskWide(owner, dialogs, target, defaultName, type, path)
                      : AskNarrow(owner, dialogs, target, defaultName, type, path);
    FreeLibrary(dialogs);
    return chosen;
}
