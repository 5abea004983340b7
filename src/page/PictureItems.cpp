#include "page/PictureItems.h"

#include "catalogue/ResourceKinds.h"
#include "page/PageStores.h"

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
