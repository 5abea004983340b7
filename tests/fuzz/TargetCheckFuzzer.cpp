// The header check over arbitrary bytes: as the file itself, and as a file that
// claims more bytes than it delivers (one that shrank after its size was read).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "module/TargetCheck.h"

namespace {

struct FuzzFile {
    const uint8_t* data;
    size_t size;
    size_t position;
};

bool ReadFuzzFile(void* context, uint8_t* buffer, uint32_t count, uint32_t* delivered) {
    FuzzFile& file = *static_cast<FuzzFile*>(context);
    size_t available = file.position < file.size ? file.size - file.position : 0;
    size_t n = count < available ? count : available;
    if (n > 0)
        memcpy(buffer, file.data + file.position, n);
    file.position += n;
    *delivered = static_cast<uint32_t>(n);
    return true;
}

bool SeekFuzzFile(void* context, int32_t offset) {
    if (offset < 0)
        return false;
    static_cast<FuzzFile*>(context)->position = static_cast<size_t>(offset);
    return true;
}

void RunCheck(const uint8_t* data, size_t size, uint32_t claimedSize) {
    FuzzFile file{data, size, 0};
    TargetByteSource source;
    source.context = &file;
    source.size = claimedSize;
    source.read = ReadFuzzFile;
    source.seek = SeekFuzzFile;
    CheckTargetHeaders(source);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunCheck(data, size, static_cast<uint32_t>(size));
    RunCheck(data, size, 0xFFFFFFFFu);
    return 0;
}
