// The header check over arbitrary bytes, for both builds' image widths: as the
// file itself, and as a file that claims more bytes than it delivers (one that
// shrank after its size was read).
#include <cstddef>
#include <cstdint>

#include "formats/executables/TargetCheck.h"
#include "support/MemoryTargetFile.h"

namespace {

void RunCheck(const uint8_t* data, size_t size, uint32_t claimedSize) {
    MemoryTargetFile file{data, size, 0};
    CheckTargetHeaders(MemoryTargetSource(&file, claimedSize), kPe32Only);
    file.position = 0;
    CheckTargetHeaders(MemoryTargetSource(&file, claimedSize), kPe32AndPe32Plus);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunCheck(data, size, static_cast<uint32_t>(size));
    RunCheck(data, size, 0xFFFFFFFFu);
    return 0;
}
