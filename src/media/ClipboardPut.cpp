#include "media/ClipboardPut.h"

namespace {

void FreeBlocks(ClipboardBlock* blocks, int count) {
    for (int i = 0; i < count; ++i) {
        if (blocks[i].block != nullptr)
            GlobalFree(blocks[i].block);
        blocks[i].block = nullptr;
    }
}

}  // namespace

HGLOBAL AllocateClipboardBlock(SIZE_T bytes) {
    SetLastError(0);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, bytes);
    // Some failures leave no code; the report must not read "success".
    if (block == nullptr && GetLastError() == 0)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

void PutOnClipboard(HWND owner, ClipboardBlock* blocks, int count) {
    bool any = false;
    for (int i = 0; i < count; ++i)
        any = any || blocks[i].block != nullptr;
    if (!any || !OpenClipboard(owner)) {
        FreeBlocks(blocks, count);
        return;
    }
    if (EmptyClipboard()) {
        for (int i = 0; i < count; ++i) {
            if (blocks[i].block != nullptr && SetClipboardData(blocks[i].format, blocks[i].block))
                blocks[i].block = nullptr;
        }
    }
    CloseClipboard();
    FreeBlocks(blocks, count);
}
