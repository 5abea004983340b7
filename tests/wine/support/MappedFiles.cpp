#include "support/MappedFiles.h"

#include <windows.h>
#include <psapi.h>

namespace {

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// Under Wine the names come as device paths, so only the file name part is
// compared.
bool FileMappedInProcess(const std::string& path) {
    const std::string wanted = FileNamePart(path);
    const char* at = nullptr;
    MEMORY_BASIC_INFORMATION region;
    while (VirtualQuery(at, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && (region.Type == MEM_MAPPED || region.Type == MEM_IMAGE)) {
            char name[MAX_PATH] = {};
            if (GetMappedFileNameA(GetCurrentProcess(), region.BaseAddress, name, MAX_PATH) &&
                lstrcmpiA(FileNamePart(name).c_str(), wanted.c_str()) == 0) {
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
