#include "page/commands/CopyMemberImage.h"

#include <cstring>

#include "common/GdiOwners.h"
#include "common/PlainDib.h"
#include "formats/output/ClipboardBlocks.h"
#include "media/ClipboardPut.h"
#include "page/lists/MemberPicture.h"

namespace {

// The copy of a PNG member stays below 2 GB with its header.
const uint64_t kLargestPngPixelBytes = 0x7FFFFFFF - 40;

struct TwoColourInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

struct PaletteInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// The code of the call that just failed, or fallback for calls that fail
// without one. Taken at once: the owners' clean-up on the way out (an unlock
// above all) may change the thread's last error.
DWORD FailureCode(DWORD fallback) {
    DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

// A 32-bit section of the image's size. When the output has a table the
// picture is drawn here first: the blit into the target then finds each
// colour's entry, white included.
// A PNG member is drawn into one as well. Null, or the section and its bits.
HBITMAP CreateCanvas(HDC like, uint32_t width, uint32_t height, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader = PlainDibHeader(width, height, 32, 0);
    *bits = nullptr;
    HBITMAP canvas = CreateDIBSection(like, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    return canvas != nullptr && *bits != nullptr ? canvas : nullptr;
}

// Paints the mask (transparent white, opaque black), inverts the colour bits
// over it, and maps the result into the output's own depth and table. out
// holds the output's header and table; its bits follow them. 0 or the failure.
DWORD DrawOverWhite(HWND dialog, const uint8_t* image, const MemberCopyPlan& plan, uint8_t* out) {
    const int w = static_cast<int>(plan.width);
    const int h = static_cast<int>(plan.height);
    SetLastError(0);
    WindowDC windowDC(dialog);
    if (windowDC.get() == nullptr)
        return FailureCode(ERROR_DC_NOT_FOUND);
    MemoryDC memory(windowDC.get());
    if (memory.get() == nullptr)
        return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
    void* targetBits = nullptr;
    GdiObject target(CreateDIBSection(windowDC.get(), reinterpret_cast<const BITMAPINFO*>(out),
                                      DIB_RGB_COLORS, &targetBits, nullptr, 0));
    if (target.get() == nullptr || targetBits == nullptr)
        return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
    void* canvasBits = nullptr;
    GdiObject separateCanvas(
        plan.colourEntries != 0 ? CreateCanvas(windowDC.get(), plan.width, plan.height, &canvasBits)
                                : nullptr);
    if (plan.colourEntries != 0 && separateCanvas.get() == nullptr)
        return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
    HGDIOBJ canvas = separateCanvas.get() != nullptr ? separateCanvas.get() : target.get();
    {
        DCSelection canvasSelection(memory.get(), canvas);
        if (!canvasSelection.selected())
            return FailureCode(ERROR_CAN_NOT_COMPLETE);
        TwoColourInfo mask = {};
        mask.header = PlainDibHeader(plan.width, plan.height, 1, 0);
        mask.colours[1] = RGBQUAD{255, 255, 255, 0};
        if (!StretchSucceeded(StretchDIBits(
                memory.get(), 0, 0, w, h, 0, 0, w, h, image + plan.maskOffset,
                reinterpret_cast<const BITMAPINFO*>(&mask), DIB_RGB_COLORS, SRCCOPY))) {
            return FailureCode(ERROR_CAN_NOT_COMPLETE);
        }
        PaletteInfo colour = {};
        colour.header =
            PlainDibHeader(plan.width, plan.height, plan.sourceBitCount, plan.sourceEntries);
        memcpy(colour.colours, image + plan.sourceHeaderSize, size_t{plan.sourceEntries} * 4);
        if (!StretchSucceeded(StretchDIBits(
                memory.get(), 0, 0, w, h, 0, 0, w, h, image + plan.colourBitsOffset,
                reinterpret_cast<const BITMAPINFO*>(&colour), DIB_RGB_COLORS, SRCINVERT))) {
            return FailureCode(ERROR_CAN_NOT_COMPLETE);
        }
        if (separateCanvas.get() != nullptr) {
            MemoryDC targetDC(windowDC.get());
            if (targetDC.get() == nullptr)
                return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
            DCSelection targetSelection(targetDC.get(), target.get());
            if (!targetSelection.selected() ||
                !StretchBlt(targetDC.get(), 0, 0, w, h, memory.get(), 0, 0, w, h, SRCCOPY)) {
                return FailureCode(ERROR_CAN_NOT_COMPLETE);
            }
        }
    }
    GdiFlush();
    memcpy(out + 40 + size_t{plan.colourEntries} * 4, targetBits, plan.imageBytes);
    return 0;
}

// The PNG member as the page draws it, over white: a 32-bit packed DIB whose
// fourth bytes are 0, as a blended member's. 0 with *block, 0 with no block
// where the platform cannot draw the stream, or the failure.
DWORD PngOverWhite(HWND dialog, const uint8_t* image, size_t size, const MemberImageLayout& layout,
                   HGLOBAL* block) {
    const uint64_t pixelBytes = uint64_t{layout.width} * layout.height * 4;
    if (pixelBytes > kLargestPngPixelBytes)
        return 0;
    IconHandle icon(CreatePngMemberIcon(image, size, layout));
    if (icon.get() == nullptr)
        return 0;
    const int w = static_cast<int>(layout.width);
    const int h = static_cast<int>(layout.height);
    SetLastError(0);
    WindowDC windowDC(dialog);
    if (windowDC.get() == nullptr)
        return FailureCode(ERROR_DC_NOT_FOUND);
    MemoryDC memory(windowDC.get());
    if (memory.get() == nullptr)
        return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
    void* bits = nullptr;
    GdiObject canvas(CreateCanvas(windowDC.get(), layout.width, layout.height, &bits));
    if (canvas.get() == nullptr)
        return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
    memset(bits, 0xFF, static_cast<size_t>(pixelBytes));
    {
        DCSelection selection(memory.get(), canvas.get());
        if (!selection.selected() ||
            !DrawIconEx(memory.get(), 0, 0, icon.get(), w, h, 0, nullptr, DI_NORMAL)) {
            return FailureCode(ERROR_CAN_NOT_COMPLETE);
        }
    }
    GdiFlush();
    HGLOBAL output = AllocateClipboardBlock(static_cast<SIZE_T>(40 + pixelBytes));
    if (output == nullptr)
        return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
    bool written = false;
    {
        GlobalLockScope lock(output);
        uint8_t* out = static_cast<uint8_t*>(lock.get());
        if (out != nullptr) {
            const BITMAPINFOHEADER header = PlainDibHeader(layout.width, layout.height, 32);
            memcpy(out, &header, 40);
            memcpy(out + 40, bits, static_cast<size_t>(pixelBytes));
            for (uint64_t i = 3; i < pixelBytes; i += 4)
                out[40 + i] = 0;
            written = true;
        }
    }
    if (!written) {
        GlobalFree(output);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    *block = output;
    return 0;
}

// A DIB member through its plan: blended by its alpha, or drawn through its
// mask. 0 with *block, or the failure.
DWORD DibOverWhite(HWND dialog, const uint8_t* image, const MemberCopyPlan& plan, HGLOBAL* block) {
    HGLOBAL output = AllocateClipboardBlock(plan.blockBytes);
    if (output == nullptr)
        return FailureCode(ERROR_NOT_ENOUGH_MEMORY);
    DWORD failure = 0;
    {
        GlobalLockScope lock(output);
        uint8_t* out = static_cast<uint8_t*>(lock.get());
        if (out == nullptr) {
            failure = ERROR_NOT_ENOUGH_MEMORY;
        } else {
            WriteMemberCopyHeader(image, plan, out);
            if (plan.blendAlpha) {
                BlendOverWhite(image + plan.colourBitsOffset, size_t{plan.width} * plan.height,
                               out + 40);
            } else {
                failure = DrawOverWhite(dialog, image, plan, out);
            }
        }
    }
    if (failure != 0) {
        GlobalFree(output);
        return failure;
    }
    *block = output;
    return 0;
}

}  // namespace

HGLOBAL MemberImageBlock(HWND dialog, const GroupMember& member, DWORD* failure) {
    *failure = 0;
    HGLOBAL block = nullptr;
    GlobalLockScope source(member.imageCopy);
    const uint8_t* image = static_cast<const uint8_t*>(source.get());
    if (image == nullptr)
        return nullptr;
    MemberCopyPlan plan;
    MemberImageLayout layout;
    if (PlanMemberCopy(image, source.size(), &plan))
        *failure = DibOverWhite(dialog, image, plan, &block);
    else if (ReadMemberImageLayout(image, source.size(), false, &layout) && layout.isPng)
        *failure = PngOverWhite(dialog, image, source.size(), layout, &block);
    return block;
}

bool MemberIsCopyable(const GroupMember& member) {
    GlobalLockScope source(member.imageCopy);
    const uint8_t* image = static_cast<const uint8_t*>(source.get());
    MemberCopyPlan plan;
    MemberImageLayout layout;
    if (image == nullptr)
        return false;
    if (PlanMemberCopy(image, source.size(), &plan))
        return true;
    if (!ReadMemberImageLayout(image, source.size(), false, &layout) || !layout.isPng ||
        uint64_t{layout.width} * layout.height * 4 > kLargestPngPixelBytes) {
        return false;
    }
    IconHandle icon(CreatePngMemberIcon(image, source.size(), layout));
    return icon.get() != nullptr;
}
