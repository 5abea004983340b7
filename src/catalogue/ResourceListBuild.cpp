// The build of the four picture lists, in the order icons, bitmaps, cursors,
// clips, from a data module or a 16-bit image.
#include "catalogue/ListFill.h"
#include "catalogue/RecordPlaces.h"
#include "catalogue/ResourceKinds.h"

#include "common/ErrorReports.h"
#include "common/PageControls.h"

namespace {

typedef int (*EntryBuilder)(ResName name, const uint8_t* data, uint32_t size,
                            ListFillContext* context);

struct ListWalk {
    ListFillContext* fill;
    EntryBuilder builder;
    ResName type;
};

// One entry through its builder. Only a memory shortage stops the walk; it is
// reported once, with the error the failing call left.
int Deliver(ListWalk* walk, ResName name, const uint8_t* data, uint32_t size) {
    SetLastError(0);
    if (walk->builder(name, data, size, walk->fill) == 0)
        return 1;
    if (GetLastError() == 0)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ReportSystemError(walk->fill->dialog, 2);
    walk->fill->failed = 1;
    return 0;
}

BOOL CALLBACK ModuleEntry(HMODULE, LPCSTR, LPSTR name, LONG_PTR user) {
    ListWalk* walk = reinterpret_cast<ListWalk*>(user);
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    // A resource that cannot be found or read is skipped; the walk goes on.
    if (!FindResourceBytes(*walk->fill->source, walk->type, name, &data, &size) ||
        !ResourceBytesReadable(data, size)) {
        return TRUE;
    }
    return Deliver(walk, name, data, size) != 0;
}

int NeEntry(ResName name, const uint8_t* data, uint32_t size, void* user) {
    return Deliver(static_cast<ListWalk*>(user), name, data, size);
}

void Walk(ListFillContext* fill, ResName type, EntryBuilder builder) {
    ListWalk walk = {fill, builder, type};
    const ResourceSource& source = *fill->source;
    if (source.module != nullptr) {
        EnumResourceNamesA(source.module, type, ModuleEntry, reinterpret_cast<LONG_PTR>(&walk));
    } else if (source.isNeImage) {
        EnumNeResources(source.image, type, NeEntry, &walk);
    }
}

// Each picture kind's entry builder, in the build's order.
struct ListPlan {
    int32_t kind;
    EntryBuilder builder;
};

// One row of entries: the list scrolls sideways.
void FitListToOneRow(HWND list, int rowHeight) {
    RECT window;
    RECT client;
    if (!GetWindowRect(list, &window) || !GetClientRect(list, &client))
        return;
    int frame = (window.bottom - window.top) - (client.bottom - client.top);
    SetWindowPos(list, nullptr, 0, 0, window.right - window.left, frame + rowHeight,
                 SWP_NOZORDER | SWP_NOMOVE);
}

const PictureStore& StoreOf(const ResourceListStores& stores, int32_t kind) {
    switch (kind) {
        case kKindIcon:
            return stores.icon;
        case kKindBitmap:
            return stores.bitmap;
        case kKindCursor:
            return stores.cursor;
        default:
            return stores.avi;
    }
}

}  // namespace

int FillResourceLists(HWND dialog, const ResourceListStores& stores, const ResourceSource& source,
                      const ListMetrics& metrics, const int32_t lastSelection[kKindCount],
                      RecordOrder order, uint32_t kinds) {
    static const ListPlan plans[] = {
        {kKindIcon, AddIconItem},
        {kKindBitmap, AddBitmapItem},
        {kKindCursor, AddCursorItem},
        {kKindAvi, AddAviItem},
    };
    ListFillContext fill = {};
    fill.dialog = dialog;
    fill.text = stores.text;
    fill.source = &source;
    fill.metrics = metrics;
    for (const ListPlan& plan : plans) {
        if ((kinds & (1u << plan.kind)) == 0)
            continue;
        HWND list = GetDlgItem(dialog, ResourceKindList(plan.kind));
        fill.list = list;
        fill.store = StoreOf(stores, plan.kind);
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LB_SETCOLUMNWIDTH,
                     static_cast<WPARAM>(PictureColumnWidth(plan.kind, metrics)), 0);
        const uint32_t firstRecord = static_cast<uint32_t>(*fill.store.used);
        Walk(&fill, ResourceKindType(plan.kind), plan.builder);
        // What the walk counted goes in at its final places, also after a
        // shortage: the entries read so far are shown.
        if (PlaceRecords(list, fill.store, firstRecord, order) != 0 && !fill.failed) {
            ReportSystemError(dialog, 2);
            fill.failed = 1;
        }
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, FALSE);
        FitListToOneRow(list, PictureRowHeight(plan.kind, metrics));
        if (SendMessageA(list, LB_GETCOUNT, 0, 0) > 0) {
            int32_t selection = lastSelection[plan.kind] < 0 ? 0 : lastSelection[plan.kind];
            SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
        }
        if (fill.failed)
            break;
    }
    return fill.failed ? -1 : 0;
}
