#include "catalogue/RecordPlaces.h"

#include "formats/executables/ResourceRecords.h"
#include "formats/texts/SortedPlaces.h"

namespace {

struct PlaceContext {
    const PictureStore* store;
    const uint32_t* offsets;
    RecordOrder order;
};

int CompareRecords(uint32_t placed, uint32_t added, void* context) {
    const PlaceContext* place = static_cast<const PlaceContext*>(context);
    const uint8_t* block = *place->store->block;
    return place->order(*place->store, block + place->offsets[placed],
                        block + place->offsets[added]);
}

bool Insert(HWND list, UINT message, uint32_t offset) {
    const LRESULT result = SendMessageA(list, message, static_cast<WPARAM>(-1),
                                        static_cast<LPARAM>(ItemValueOf(offset)));
    if (result == LB_ERR || result == LB_ERRSPACE) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    return true;
}

// Without room for the order, the list sorts the entries itself as they come.
int AddOneByOne(HWND list, const PictureStore& store, uint32_t from) {
    for (uint32_t at = from; at < static_cast<uint32_t>(*store.used);
         at += RecordSizeAt(store, at)) {
        if (!Insert(list, LB_ADDSTRING, at))
            return -1;
    }
    return 0;
}

}  // namespace

int PlaceRecords(HWND list, const PictureStore& store, uint32_t from, RecordOrder order) {
    const uint32_t used = static_cast<uint32_t>(*store.used);
    uint32_t count = 0;
    for (uint32_t at = from; at < used; at += RecordSizeAt(store, at))
        ++count;
    if (count == 0)
        return 0;
    uint32_t* offsets =
        static_cast<uint32_t*>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(count) * 8));
    if (offsets == nullptr)
        return AddOneByOne(list, store, from);
    uint32_t* places = offsets + count;
    uint32_t i = 0;
    for (uint32_t at = from; at < used; at += RecordSizeAt(store, at))
        offsets[i++] = at;
    PlaceContext context = {&store, offsets, order};
    PlaceLikeSortedList(places, count, CompareRecords, &context);
    // Room for every entry at once; an old list that lacks the message grows
    // as it goes.
    SendMessageA(list, LB_INITSTORAGE, count, 0);
    int result = 0;
    for (i = 0; i < count && result == 0; ++i) {
        // LB_INSERTSTRING puts the entry where it is told, even in a sorted list.
        if (!Insert(list, LB_INSERTSTRING, offsets[places[i]]))
            result = -1;
    }
    GlobalFree(offsets);
    return result;
}
