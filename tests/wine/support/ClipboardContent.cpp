#include "support/ClipboardContent.h"

#include <gtest/gtest.h>

#include <cstring>

const char kSentinel[] = "sentinel";

void SeedClipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(kSentinel));
    memcpy(GlobalLock(block), kSentinel, sizeof(kSentinel));
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

std::vector<uint8_t> ClipboardBytes(UINT format) {
    std::vector<uint8_t> bytes;
    if (!OpenClipboard(nullptr))
        return bytes;
    HGLOBAL block = GetClipboardData(format);
    const uint8_t* data =
        block != nullptr ? static_cast<const uint8_t*>(GlobalLock(block)) : nullptr;
    if (data != nullptr) {
        bytes.assign(data, data + GlobalSize(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return bytes;
}
