#include "page/lists/PictureItems.h"

#include "catalogue/ResourceKinds.h"
#include "common/PageControls.h"
#include "page/state/PageStores.h"

bool PictureStoreOfList(PageState* page, int listId, PictureStore* store) {
    return page != nullptr && PictureStoreOfPage(page, ResourceKindOfList(listId), store);
}

uint8_t* PictureRecordOfItem(PageState* page, int listId, uintptr_t itemValue,
                             PictureStore* store) {
    return PictureStoreOfList(page, listId, store) ? RecordOfItem(*store, itemValue) : nullptr;
}

const GroupMember* MemberOfItem(const PageState* page, uintptr_t itemValue) {
    if (page == nullptr || page->members == nullptr || page->memberCount < 0)
        return nullptr;
    uint32_t index = ItemOffsetOf(itemValue);
    if (index >= static_cast<uint32_t>(page->memberCount))
        return nullptr;
    return reinterpret_cast<const GroupMember*>(page->members) + index;
}

bool SelectedItemValue(HWND dialog, int listId, uintptr_t* value) {
    LRESULT selection = SendDlgItemMessageA(dialog, listId, LB_GETCURSEL, 0, 0);
    if (selection < 0)
        return false;
    LRESULT data =
        SendDlgItemMessageA(dialog, listId, LB_GETITEMDATA, static_cast<WPARAM>(selection), 0);
    if (data == LB_ERR)
        return false;
    *value = static_cast<uintptr_t>(data);
    return true;
}

uint8_t* SelectedPictureRecord(HWND dialog, PageState* page, int listId, PictureStore* store) {
    uintptr_t value = 0;
    return SelectedItemValue(dialog, listId, &value)
               ? PictureRecordOfItem(page, listId, value, store)
               : nullptr;
}

const GroupMember* SelectedMember(HWND dialog, const PageState* page) {
    uintptr_t value = 0;
    return SelectedItemValue(dialog, kMemberList, &value) ? MemberOfItem(page, value) : nullptr;
}
