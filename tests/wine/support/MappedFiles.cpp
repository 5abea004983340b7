#include "support/MappedFiles.h"

#include <windows.h>
#include <psapi.h>

namespace {

std::wstring FileNamePart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

// Under Wine the names come as device paths, so only the file name part is
// compared.
bool FileMappedInProcess(const std::string& path) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    return FileMappedInProcess(std::wstring(wide));
}

bool FileMappedInProcess(const std::wstring& path) {
    const std::wstring wanted = FileNamePart(path);
    const char* at = nullptr;
    MEMORY_BASIC_INFORMATION region;
    while (VirtualQuery(at, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && (region.Type == MEM_MAPPED || region.Type == MEM_IMAGE)) {
            wchar_t name[MAX_PATH] = {};
            if (GetMappedFileNameW(GetCurrentProcess(), region.BaseAddress, name, MAX_PATH) &&
                lstrcmpiW(FileNamePart(name).c_str(), wanted.c_str()) == 0) {
                return true;
            }
        }
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return false;
}
