// WM_COMPAREITEM: the sorted lists hold no strings, so their order is the
// order of their records.
#include "common/PageControls.h"
#include "formats/texts/TextOrder.h"
#include "page/lists/ItemTexts.h"
#include "page/lists/PageDrawing.h"
#include "page/lists/PictureItems.h"

namespace {

int Order(int64_t first, int64_t second) {
    return first < second ? -1 : (first > second ? 1 : 0);
}

int PlatformOrder(uint32_t flags, const char* first, int firstLength, const char* second,
                  int secondLength) {
    return CompareStringA(GetThreadLocale(), flags, first, firstLength, second, secondLength);
}

// Identifiers first by number, then texts in the platform's string order.
int CompareNames(const BoundedName& first, const BoundedName& second) {
    if (first.isText != second.isText)
        return first.isText ? 1 : -1;
    if (!first.isText)
        return Order(first.id, second.id);
    // The order of lstrcmpA, with lengths so that a text never runs past its store.
    // Windows 95 and NT 4 refuse LOCALE_USE_CP_ACP; there the thread locale's
    // own code page reads the names, which is the system's in every shell.
    const uint32_t flagsToTry[] = {LOCALE_USE_CP_ACP, 0};
    return OrderTexts(first.text, first.length, second.text, second.length, flagsToTry,
                      sizeof(flagsToTry) / sizeof(flagsToTry[0]), PlatformOrder);
}

// The name of a picture list's item. The stores count a record before the
// list places it, so the item being placed is a counted record too.
bool ItemName(PageState* page, int listId, uintptr_t itemValue, BoundedName* name) {
    PictureStore store;
    if (!PictureStoreOfList(page, listId, &store))
        return false;
    const uint8_t* record = RecordOfItem(store, itemValue);
    return record != nullptr && ReadRecordName(store, record, name);
}

// Smallest picture first, then by colour depth.
int CompareMembers(const GroupMember& first, const GroupMember& second) {
    if (first.width != second.width)
        return Order(first.width, second.width);
    if (first.height != second.height)
        return Order(first.height, second.height);
    return Order(static_cast<int32_t>(first.bitsPerPixel),
                 static_cast<int32_t>(second.bitsPerPixel));
}

}  // namespace

int OrderRecordNames(const PictureStore& store, const uint8_t* placed, const uint8_t* added) {
    BoundedName first;
    BoundedName second;
    if (!ReadRecordName(store, placed, &first) || !ReadRecordName(store, added, &second))
        return 0;
    return CompareNames(first, second);
}

int OrderMembers(const GroupMember& placed, const GroupMember& added) {
    return CompareMembers(placed, added);
}

int ComparePageItems(HWND dialog, const COMPAREITEMSTRUCT* item) {
    PageState* page = FindPageState(dialog);
    if (item->CtlID == kMemberList) {
        const GroupMember* first = MemberOfItem(page, item->itemData1);
        const GroupMember* second = MemberOfItem(page, item->itemData2);
        return first != nullptr && second != nullptr ? CompareMembers(*first, *second) : 0;
    }
    BoundedName first;
    BoundedName second;
    if (!ItemName(page, static_cast<int>(item->CtlID), item->itemData1, &first) ||
        !ItemName(page, static_cast<int>(item->CtlID), item->itemData2, &second)) {
        return 0;
    }
    return CompareNames(first, second);
}
