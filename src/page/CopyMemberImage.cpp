#include "page/CopyMemberImage.h"

#include <cstring>

#include "common/ErrorReports.h"
#include "common/GdiOwners.h"
#include "media/ClipboardBlocks.h"
#include "media/ClipboardPut.h"
#include "page/PlainDib.h"

namespace {

struct TwoColourInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

struct PaletteInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// Calls that fail without a code of their own still report a real one.
bool Failed(DWORD fallback) {
    if (GetLastError() == 0)
        SetLastError(fallback);
    return false;
}

// A 32-bit section of the image's size. When the output has a table the
// picture is drawn here first: the blit into the target then finds each
// colour's entry, white included.
HBITMAP CreateCanvas(HDC like, const MemberCopyPlan& plan) {
    BITMAPINFO info = {};
    info.bmiHeader = PlainDibHeader(plan.width, plan.height, 32, 0);
    void* bits = nullptr;
    return CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// Paints the mask (transparent white, opaque black), inverts the colour bits
// over it, and maps the result into the output's own depth and table. out
// holds the output's header and table; its bits follow them.
bool DrawOverWhite(HWND dialog, const uint8_t* image, const MemberCopyPlan& plan, uint8_t* out) {
    const int w = static_cast<int>(plan.width);
    const int h = static_cast<int>(plan.height);
    SetLastError(0);
    WindowDC windowDC(dialog);
    if (windowDC.get() == nullptr)
        return Failed(ERROR_DC_NOT_FOUND);
    MemoryDC memory(windowDC.get());
    if (memory.get() == nullptr)
        return Failed(ERROR_NOT_ENOUGH_MEMORY);
    void* targetBits = nullptr;
    GdiObject target(CreateDIBSection(windowDC.get(), reinterpret_cast<const BITMAPINFO*>(out),
                                      DIB_RGB_COLORS, &targetBits, nullptr, 0));
    if (target.get() == nullptr || targetBits == nullptr)
        return Failed(ERROR_NOT_ENOUGH_MEMORY);
    GdiObject separateCanvas(plan.colourEntries != 0 ? CreateCanvas(windowDC.get(), plan)
                                                     : nullptr);
    if (plan.colourEntries != 0 && separateCanvas.get() == nullptr)
        return Failed(ERROR_NOT_ENOUGH_MEMORY);
    HGDIOBJ canvas = separateCanvas.get() != nullptr ? separateCanvas.get() : target.get();
    {
        DCSelection canvasSelection(memory.get(), canvas);
        if (!canvasSelection.selected())
            return Failed(ERROR_CAN_NOT_COMPLETE);
        TwoColourInfo mask = {};
        mask.header = PlainDibHeader(plan.width, plan.height, 1, 0);
        mask.colours[1] = RGBQUAD{255, 255, 255, 0};
        if (!StretchSucceeded(StretchDIBits(
                memory.get(), 0, 0, w, h, 0, 0, w, h, image + plan.maskOffset,
                reinterpret_cast<const BITMAPINFO*>(&mask), DIB_RGB_COLORS, SRCCOPY))) {
            return Failed(ERROR_CAN_NOT_COMPLETE);
        }
        PaletteInfo colour = {};
        colour.header =
            PlainDibHeader(plan.width, plan.height, plan.sourceBitCount, plan.sourceEntries);
        memcpy(colour.colours, image + plan.sourceHeaderSize, size_t{plan.sourceEntries} * 4);
        if (!StretchSucceeded(StretchDIBits(
                memory.get(), 0, 0, w, h, 0, 0, w, h, image + plan.colourBitsOffset,
                reinterpret_cast<const BITMAPINFO*>(&colour), DIB_RGB_COLORS, SRCINVERT))) {
            return Failed(ERROR_CAN_NOT_COMPLETE);
        }
        if (separateCanvas.get() != nullptr) {
            MemoryDC targetDC(windowDC.get());
            if (targetDC.get() == nullptr)
                return Failed(ERROR_NOT_ENOUGH_MEMORY);
            DCSelection targetSelection(targetDC.get(), target.get());
            if (!targetSelection.selected() ||
                !StretchBlt(targetDC.get(), 0, 0, w, h, memory.get(), 0, 0, w, h, SRCCOPY)) {
                return Failed(ERROR_CAN_NOT_COMPLETE);
            }
        }
    }
    GdiFlush();
    memcpy(out + 40 + size_t{plan.colourEntries} * 4, targetBits, plan.imageBytes);
    return true;
}

}  // namespace

HGLOBAL MemberImageBlock(HWND dialog, const GroupMember& member) {
    GlobalLockScope source(member.imageCopy);
    const uint8_t* image = static_cast<const uint8_t*>(source.get());
    MemberCopyPlan plan;
    if (image == nullptr || !PlanMemberCopy(image, source.size(), &plan))
        return nullptr;
    HGLOBAL block = AllocateClipboardBlock(plan.blockBytes);
    if (block == nullptr) {
        ReportSystemError(dialog, 2);
        return nullptr;
    }
    bool complete = false;
    {
        GlobalLockScope output(block);
        uint8_t* out = static_cast<uint8_t*>(output.get());
        if (out == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        } else {
            WriteMemberCopyHeader(image, plan, out);
            if (plan.blendAlpha) {
                BlendOverWhite(image + plan.colourBitsOffset, size_t{plan.width} * plan.height,
                               out + 40);
                complete = true;
            } else {
                complete = DrawOverWhite(dialog, image, plan, out);
            }
        }
    }
    if (!complete) {
        // The code is taken before the block goes: freeing may change it.
        DWORD code = GetLastError();
        GlobalFree(block);
        SetLastError(code);
        ReportSystemError(dialog, 2);
        return nullptr;
    }
    return block;
}
