#include "page/dialog/PlayGlyphs.h"

#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/images/ScreenDensity.h"

namespace {

const int kGlyphSide = 9;

// The library's glyph id, stretched nearest-neighbour to its side at the
// module's density; the bitmap as loaded at 96 dpi. Null when it cannot be made.
HBITMAP LoadGlyph(int id) {
    HBITMAP loaded = LoadBitmapA(theModule.moduleHandle, MAKEINTRESOURCEA(id));
    const int side = ScaleToDensity(kGlyphSide, theModule.density);
    if (loaded == nullptr || side == kGlyphSide)
        return loaded;
    GdiObject source(loaded);
    MemoryDC from(nullptr);
    MemoryDC to(nullptr);
    if (from.get() == nullptr || to.get() == nullptr)
        return nullptr;
    // A memory context starts with a one-bit bitmap: a compatible one is one-bit too.
    GdiObject scaled(CreateCompatibleBitmap(to.get(), side, side));
    if (scaled.get() == nullptr)
        return nullptr;
    {
        DCSelection fromSelection(from.get(), source.get());
        DCSelection toSelection(to.get(), scaled.get());
        if (!fromSelection.selected() || !toSelection.selected())
            return nullptr;
        SetStretchBltMode(to.get(), COLORONCOLOR);
        if (!StretchBlt(to.get(), 0, 0, side, side, from.get(), 0, 0, kGlyphSide, kGlyphSide,
                        SRCCOPY))
            return nullptr;
    }
    return static_cast<HBITMAP>(scaled.release());
}

}  // namespace

void LoadPlayGlyphs(PageState* page) {
    page->playBitmap = LoadGlyph(101);
    page->stopBitmap = LoadGlyph(102);
}

void ReloadPlayGlyphs(HWND dialog, PageState* page) {
    HBITMAP play = LoadGlyph(101);
    HBITMAP stop = LoadGlyph(102);
    if (play == nullptr || stop == nullptr) {
        if (play != nullptr)
            DeleteObject(play);
        if (stop != nullptr)
            DeleteObject(stop);
        return;
    }
    HBITMAP oldPlay = page->playBitmap;
    HBITMAP oldStop = page->stopBitmap;
    page->playBitmap = play;
    page->stopBitmap = stop;
    HWND button = GetDlgItem(dialog, kPlayButton);
    if (page->themedPlayButton) {
        InvalidateRect(button, nullptr, TRUE);
    } else {
        SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(page->playingIndex >= 0 ? stop : play));
    }
    if (oldPlay != nullptr)
        DeleteObject(oldPlay);
    if (oldStop != nullptr)
        DeleteObject(oldStop);
}
