// Any bytes as a member image copy, a bitmap resource and a decoded frame's
// header, turned into clipboard blocks: every byte a plan claims is read and
// every byte it sizes is written, so AddressSanitizer catches a plan that
// reaches outside the input or the block.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/output/ClipboardBlocks.h"

namespace {

void CheckMember(const uint8_t* data, size_t size) {
    MemberCopyPlan plan;
    if (!PlanMemberCopy(data, size, &plan))
        return;
    if (plan.blockBytes != 40 + 4ull * plan.colourEntries + plan.imageBytes)
        __builtin_trap();
    std::vector<uint8_t> out(plan.blockBytes);
    WriteMemberCopyHeader(data, plan, out.data());
    if (plan.blendAlpha) {
        if (plan.imageBytes != 4ull * plan.width * plan.height)
            __builtin_trap();
        BlendOverWhite(data + plan.colourBitsOffset, size_t{plan.width} * plan.height,
                       out.data() + 40);
    }
    // The drawing reads the mask rows from here.
    uint64_t maskBytes = ((uint64_t{plan.width} + 31) / 32 * 4) * plan.height;
    if (plan.maskOffset + maskBytes > size)
        __builtin_trap();
}

void CheckBitmap(const uint8_t* data, size_t size) {
    BitmapCopyPlan plan;
    if (!PlanBitmapCopy(data, size, &plan))
        return;
    std::vector<uint8_t> out(plan.blockBytes);
    WriteBitmapCopy(data, size, plan, out.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckMember(data, size);
    CheckBitmap(data, size);
    PackedDibLength(data, size);
    if (size >= 8) {
        // Sizes the stream layer might report.
        uint32_t format = data[0] | (data[1] << 8) | (data[2] << 16) | (uint32_t{data[3]} << 24);
        uint32_t sound = data[4] | (data[5] << 8) | (data[6] << 16) | (uint32_t{data[7]} << 24);
        uint32_t bytes = WaveBlockBytes(format % 4096, sound % 65536);
        std::vector<uint8_t> block(bytes);
        WriteWaveHeaders(block.data(), format % 4096, sound % 65536);
    }
    return 0;
}
