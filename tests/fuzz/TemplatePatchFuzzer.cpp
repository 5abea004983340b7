// The template patch on arbitrary bytes: it either refuses or writes exactly
// inside the destination it was given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/executables/TemplatePatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x10000)
        return 0;
    // The first input byte shrinks the destination, so short ones are tried too.
    const uint32_t shortfall = size > 0 ? data[0] % 4 : 0;
    const uint32_t sourceSize = static_cast<uint32_t>(size);
    const uint32_t destinationSize = sourceSize > shortfall ? sourceSize - shortfall : 0;
    std::vector<uint8_t> source(data, data + size);
    std::vector<uint8_t> destination(destinationSize);
    if (PatchTemplateTypeface(source.data(), sourceSize, destination.data(), destinationSize)) {
        if (std::memcmp(destination.data() + 56, source.data() + 64, sourceSize - 64) != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
