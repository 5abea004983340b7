// Any bytes as an AVI clip. AddressSanitizer catches a read outside them; the
// facts must be ones the list can show: a picture has both sides or neither,
// each side fits the list's signed 32-bit field, and a refusal leaves nothing.
#include <cstddef>
#include <cstdint>

#include "formats/clips/ClipHeaders.h"

namespace {

bool SameFacts(const ClipFacts& a, const ClipFacts& b) {
    return a.frameWidth == b.frameWidth && a.frameHeight == b.frameHeight &&
           a.hundredths == b.hundredths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClipFacts facts = {1, 2, 3};
    bool read = ReadClipFacts(data, size, &facts);
    if (!read && !SameFacts(facts, ClipFacts{0, 0, 0}))
        __builtin_trap();
    if ((facts.frameWidth == 0) != (facts.frameHeight == 0))
        __builtin_trap();
    if (facts.frameWidth > 0x7FFFFFFF || facts.frameHeight > 0x7FFFFFFF ||
        facts.hundredths > 0xFFFFFFFFu / 10) {
        __builtin_trap();
    }
    // Nothing but the bytes decides.
    ClipFacts again = {4, 5, 6};
    if (ReadClipFacts(data, size, &again) != read || !SameFacts(facts, again))
        __builtin_trap();
    return 0;
}
