#include "page/lists/PageDrawing.h"

#include <commctrl.h>

#include <cstring>

#include "catalogue/ListMetrics.h"
#include "catalogue/ResourceKinds.h"
#include "common/DrawnText.h"
#include "common/GdiOwners.h"
#include "common/ModuleState.h"
#include "common/PageControls.h"
#include "formats/bytes/TextWriter.h"
#include "formats/images/DibLayout.h"
#include "page/lists/IdDisplay.h"
#include "page/lists/ItemTexts.h"
#include "page/lists/LivePictures.h"
#include "page/lists/MemberPicture.h"
#include "page/lists/MessageListView.h"
#include "page/lists/PictureItems.h"
#include "page/lists/PlayingClipFrame.h"
#include "page/lists/StringListView.h"
#include "page/state/DialogFont.h"
#include "page/state/PageStores.h"

namespace {

const UINT kNameFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
const UINT kLineFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
const UINT kColumnFlags = DT_CENTER | DT_SINGLELINE;

// tmHeight of the dialog's font, read at the message: the fixed lists are
// measured while the dialog is created, before the page has its state.
int DialogTextHeight(HWND dialog) {
    int height = 0;
    return ReadDialogTextHeight(dialog, &height) ? height : theModule.textHeight;
}

// The density the dialog's font was scaled for, read at the message for the
// same reason.
int DialogDensity(HWND dialog) {
    int density = ReadDialogDensity(dialog);
    return density > 0 ? density : theModule.density;
}

// What every item of a list box is drawn with.
struct ItemPaint {
    HWND dialog;
    PageState* page;
    HWND list;
    HDC dc;
    RECT r;
    ListMetrics metrics;  // text height and density included
    HBRUSH background;
    COLORREF backgroundColour;
};

// Draws the record's name between the cell's offsets top and bottom.
void DrawRecordName(const ItemPaint& paint, const PictureStore& store, const uint8_t* record,
                    int inset, int top, int bottom) {
    RECT name = {paint.r.left + inset, paint.r.top + top, paint.r.right - inset,
                 paint.r.top + bottom};
    BoundedName slot;
    if (ReadRecordName(store, record, &slot)) {
        char local[64];
        int size = sizeof(local);
        char* text = ScratchText(paint.page, local, &size);
        FormatRecordName(slot, text, static_cast<size_t>(size));
        DrawTextA(paint.dc, text, -1, &name, kNameFlags);
    }
}

void DrawLine(const ItemPaint& paint, int inset, int top, int bottom, const char* text) {
    RECT line = {paint.r.left + inset, top, paint.r.right - inset, bottom};
    DrawTextA(paint.dc, text, -1, &line, kLineFlags);
}

// Blits a w x h thumbnail centred in the cell's box and takes it out of the
// clip region, so that the background fill that follows leaves it standing.
void DrawThumbnail(const ItemPaint& paint, const ThumbnailCell& cell, HBITMAP thumbnail, int w,
                   int h) {
    HDC dc = paint.dc;
    int x = paint.r.left + cell.boxLeft + ((cell.boxSide - w) >> 1);
    int y = paint.r.top + cell.boxTop + ((cell.boxSide - h) >> 1);
    MemoryDC memory(dc);
    if (memory.get() == nullptr)
        return;
    {
        DCSelection selection(memory.get(), thumbnail);
        if (!selection.selected())
            return;
        BitBlt(dc, x, y, w, h, memory.get(), 0, 0, SRCCOPY);
    }
    ExcludeClipRect(dc, x, y, x + w, y + h);
}

// The entry's picture, made on its first drawing.
uintptr_t EntryPicture(const ItemPaint& paint, const PictureStore& store, uint8_t* record) {
    return PictureToDraw(paint.page, paint.list, store.kind, record);
}

void DrawIconItem(const ItemPaint& paint, const PictureStore& store, uint8_t* record) {
    FillRect(paint.dc, &paint.r, paint.background);
    const GroupCell cell = GroupCellOf(store.kind, paint.metrics);
    DrawRecordName(paint, store, record, cell.inset, cell.nameTop, cell.nameBottom);
    HICON picture = reinterpret_cast<HICON>(EntryPicture(paint, store, record));
    if (picture != nullptr)
        DrawIconEx(paint.dc, paint.r.left + cell.pictureLeft, paint.r.top + cell.pictureTop,
                   picture, 0, 0, 0, nullptr, DI_NORMAL);
}

// Below the picture box of a bitmap or clip entry: the size line, then the
// second line (depth or length), each where it has a text.
void DrawPictureLines(const ItemPaint& paint, const ThumbnailCell& cell, int32_t kind,
                      const uint8_t* record) {
    PictureLines lines;
    ReadPictureLines(kind, record, theModule.legacyShellMode, &lines);
    const int top = paint.r.top;
    if (lines.size[0] != '\0')
        DrawLine(paint, cell.inset, top + cell.sizeTop, top + cell.sizeBottom, lines.size);
    if (lines.second[0] != '\0')
        DrawLine(paint, cell.inset, top + cell.sizeBottom, top + cell.secondBottom, lines.second);
}

void DrawBitmapItem(const ItemPaint& paint, const PictureStore& store, uint8_t* record) {
    const ThumbnailCell cell = ThumbnailCellOf(paint.metrics);
    HBITMAP thumbnail = reinterpret_cast<HBITMAP>(EntryPicture(paint, store, record));
    BITMAP size;
    if (thumbnail != nullptr && GetObjectA(thumbnail, sizeof(size), &size) != 0)
        DrawThumbnail(paint, cell, thumbnail, size.bmWidth, size.bmHeight);
    FillRect(paint.dc, &paint.r, paint.background);
    DrawRecordName(paint, store, record, cell.inset, cell.nameTop, cell.nameBottom);
    DrawPictureLines(paint, cell, kKindBitmap, record);
}

// The playing clip's current frame, painted by the player, with its rectangle
// taken out of the clip region. True when the frame was painted.
bool PaintPlayingClipFrame(const ItemPaint& paint, const uint8_t* record) {
    return RepaintPlayingClip(paint.page, paint.dc, paint.r, record);
}

void DrawAviItem(const ItemPaint& paint, UINT itemId, const PictureStore& store, uint8_t* record) {
    const ThumbnailCell cell = ThumbnailCellOf(paint.metrics);
    int w = ReadRecordI32(record, kAviThumbWidthOffset);
    int h = ReadRecordI32(record, kAviThumbHeightOffset);
    if (w != 0 && h != 0) {
        bool playing =
            paint.page->playingIndex >= 0 && itemId == static_cast<UINT>(paint.page->playingIndex);
        if (!(playing && PaintPlayingClipFrame(paint, record))) {
            HBITMAP thumbnail = reinterpret_cast<HBITMAP>(EntryPicture(paint, store, record));
            if (thumbnail != nullptr)
                DrawThumbnail(paint, cell, thumbnail, w, h);
        }
    }
    FillRect(paint.dc, &paint.r, paint.background);
    DrawRecordName(paint, store, record, cell.inset, cell.nameTop, cell.nameBottom);
    DrawPictureLines(paint, cell, kKindAvi, record);
}

int TextWidth(HDC dc, const char* text) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, DrawnTextLength(strlen(text)), &size);
    return size.cx;
}

void DrawMemberItem(const ItemPaint& paint, const GroupMember& member) {
    FillRect(paint.dc, &paint.r, paint.background);
    bool legacy = theModule.legacyShellMode;
    bool cursor = paint.page->currentKind == kKindCursor;
    MemberColumns columns;
    ReadMemberColumns(member, cursor, legacy, &columns);
    const MemberCell cell = LayOutMemberCell(member.width, member.height, paint.metrics.textHeight,
                                             paint.metrics.density);
    RECT column = paint.r;
    column.top = paint.r.top + cell.pictureTop;
    column.left = column.right - TextWidth(paint.dc, DepthColumnSample(legacy)) - cell.columnPad;
    DrawTextA(paint.dc, columns.depth, -1, &column, kColumnFlags);

    column.right = column.left;
    column.left = column.right - TextWidth(paint.dc, kSizeColumnSample);
    DrawTextA(paint.dc, columns.size, -1, &column, kColumnFlags);

    if (cursor) {
        column.right = column.left;
        column.left = column.right - TextWidth(paint.dc, kHotSpotColumnSample) - cell.columnPad;
        DrawTextA(paint.dc, columns.hotSpot, -1, &column, kColumnFlags);
    }
    // A member's picture is a copy of the file as it was: not drawn once the
    // file changed, until the lists are filled again.
    if (member.imageCopy != nullptr && !paint.page->targetChanged) {
        DrawMemberPicture(paint.dc, paint.r.left + cell.pictureLeft, paint.r.top + cell.pictureTop,
                          member, paint.metrics.density, paint.backgroundColour);
    }
}

// One item of a list box. An item whose value names no record gets only its
// background.
void DrawListEntry(const ItemPaint& paint, const DRAWITEMSTRUCT* item) {
    if (item->CtlID == kMemberList) {
        const GroupMember* member = MemberOfItem(paint.page, item->itemData);
        if (member != nullptr)
            DrawMemberItem(paint, *member);
        else
            FillRect(paint.dc, &paint.r, paint.background);
        return;
    }
    PictureStore store;
    uint8_t* record = PictureRecordOfItem(paint.page, item->CtlID, item->itemData, &store);
    if (record == nullptr) {
        FillRect(paint.dc, &paint.r, paint.background);
        return;
    }
    switch (item->CtlID) {
        case kIconList:
        case kCursorList:
            DrawIconItem(paint, store, record);
            break;
        case kBitmapList:
            DrawBitmapItem(paint, store, record);
            break;
        case kAviList:
            DrawAviItem(paint, item->itemID, store, record);
            break;
        default:
            break;
    }
}

// The picture lists and the member list.
bool IsPageList(UINT id) {
    const int kind = ResourceKindOfList(static_cast<int>(id));
    return (kind >= 0 && !IsRowKind(kind)) || id == kMemberList;
}

void DrawListBoxItem(HWND dialog, PageState* page, const DRAWITEMSTRUCT* item) {
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    int backgroundIndex = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    HDC dc = item->hDC;
    COLORREF oldText =
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF oldBack = SetBkColor(dc, GetSysColor(backgroundIndex));
    HBRUSH background = GetSysColorBrush(backgroundIndex);
    // An empty list asks with item -1: it has nothing but its focus.
    bool hasItem = static_cast<int>(item->itemID) >= 0;
    if (item->itemAction == ODA_FOCUS) {
        FrameRect(dc, &item->rcItem, background);
    } else if (hasItem && IsPageList(item->CtlID)) {
        ItemPaint paint = {dialog,         page,
                           item->hwndItem, dc,
                           item->rcItem,   ModuleListMetrics(),
                           background,     GetSysColor(backgroundIndex)};
        DrawListEntry(paint, item);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (item->itemState & ODS_FOCUS)
        DrawFocusRect(dc, &item->rcItem);
}

}  // namespace

void MeasurePageItem(HWND dialog, MEASUREITEMSTRUCT* item) {
    if (item->CtlType == ODT_LISTVIEW) {
        if (item->CtlID == kStringList || item->CtlID == kMessageList)
            item->itemHeight = StringRowHeight(dialog);
        return;
    }
    if (item->CtlType != ODT_LISTBOX || !IsPageList(item->CtlID))
        return;
    if (item->CtlID != kMemberList) {
        item->itemHeight = static_cast<UINT>(
            PictureRowHeight(ResourceKindOfList(item->CtlID),
                             ModuleListMetrics(DialogTextHeight(dialog), DialogDensity(dialog))));
        return;
    }
    // The member list's heights follow its pictures. Its rows come only after
    // the page's start, and are drawn with the sizes read then: they are
    // measured with the same, not read again for every row.
    const GroupMember* member = MemberOfItem(FindPageState(dialog), item->itemData);
    const ListMetrics metrics = ModuleListMetrics();
    item->itemHeight = static_cast<UINT>(LayOutMemberCell(member != nullptr ? member->width : 0,
                                                          member != nullptr ? member->height : 0,
                                                          metrics.textHeight, metrics.density)
                                             .rowHeight);
}

void DrawPageItem(HWND dialog, const DRAWITEMSTRUCT* item) {
    PageState* page = FindPageState(dialog);
    switch (item->CtlType) {
        case ODT_LISTBOX:
            DrawListBoxItem(dialog, page, item);
            break;
        case ODT_STATIC:
            if (item->CtlID == kIdDisplay)
                DrawIdDisplay(page, item);
            break;
        case ODT_LISTVIEW:
            if (item->CtlID == kStringList)
                DrawStringRow(page, item);
            else if (item->CtlID == kMessageList)
                DrawMessageRow(page, item);
            break;
        default:
            break;
    }
}
