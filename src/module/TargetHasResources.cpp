#include "module/TargetHasResources.h"

#include <windows.h>

#include "formats/executables/TargetCheck.h"

namespace {

// A 64-bit process opens PE32+ and PE32 images alike as data modules; the
// 32-bit library keeps to the images its shells always showed it.
const PeImageWidths kBuildImageWidths = sizeof(void*) == 8 ? kPe32AndPe32Plus : kPe32Only;

bool ReadFromFile(void* context, uint8_t* buffer, uint32_t count, uint32_t* delivered) {
    DWORD read = 0;
    BOOL ok = ReadFile(static_cast<HANDLE>(context), buffer, count, &read, nullptr);
    *delivered = read;
    return ok != FALSE;
}

bool SeekInFile(void* context, int32_t offset) {
    return SetFilePointer(static_cast<HANDLE>(context), offset, nullptr, FILE_BEGIN) !=
           INVALID_SET_FILE_POINTER;
}

}  // namespace

bool TargetHasResources(const TargetPath& path) {
    HANDLE file = OpenTargetFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    TargetByteSource source;
    source.context = file;
    source.size = GetFileSize(file, nullptr);
    source.read = ReadFromFile;
    source.seek = SeekInFile;
    bool result = CheckTargetHeaders(source, kBuildImageWidths);
    CloseHandle(file);
    return result;
}
