#include "media/MemoryFileProc.h"

#include "formats/clips/MemoryFile.h"

namespace {

MemoryFileState LoadState(const MMIOINFO* info) {
    MemoryFileState file;
    file.position = info->lDiskOffset;
    file.addressLow = info->adwInfo[0];
    file.size = static_cast<int32_t>(info->adwInfo[1]);
    file.addressHigh = info->adwInfo[2];
    return file;
}

void StoreState(MMIOINFO* info, const MemoryFileState& file) {
    info->lDiskOffset = file.position;
    info->adwInfo[0] = file.addressLow;
    info->adwInfo[1] = static_cast<DWORD>(file.size);
    info->adwInfo[2] = file.addressHigh;
}

}  // namespace

LRESULT CALLBACK MemoryFileProc(LPSTR infoBytes, UINT message, LPARAM param1, LPARAM param2) {
    MMIOINFO* info = reinterpret_cast<MMIOINFO*>(infoBytes);
    MemoryFileState file = LoadState(info);
    LRESULT result = 0;
    switch (message) {
        case MMIOM_OPEN:
            OpenMemoryFile(&file, reinterpret_cast<const char*>(param1));
            break;
        case MMIOM_READ:
            result = ReadMemoryFile(&file, reinterpret_cast<void*>(param1),
                                    static_cast<int32_t>(param2));
            break;
        case MMIOM_SEEK:
            result =
                SeekMemoryFile(&file, static_cast<int32_t>(param1), static_cast<int32_t>(param2));
            break;
        default:
            // Writes, flushes, closes, renames and private messages: nothing to do.
            return 0;
    }
    StoreState(info, file);
    return result;
}
