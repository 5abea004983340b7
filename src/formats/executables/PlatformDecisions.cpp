#include "formats/executables/PlatformDecisions.h"

namespace {
const uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
const uint32_t kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT
}  // namespace

bool IsLegacyShellMode(uint32_t platformId, uint32_t major, uint32_t minor) {
    if (platformId == kPlatformWindows)
        return major == 4 && minor == 0;
    if (platformId == kPlatformNt)
        return major == 4;
    return false;
}

bool IsThemedPlatform(uint32_t platformId, uint32_t major, uint32_t minor) {
    return (platformId == kPlatformNt && major > 5) || (major == 5 && minor >= 1);
}

bool ServesWideRows(uint32_t platformId) {
    return platformId == kPlatformNt;
}

bool HasModernCommonControls(int32_t getVersionResult, uint32_t major, uint32_t minor) {
    return getVersionResult == 0 && (major > 4 || minor >= 70);
}
