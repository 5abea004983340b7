// The catalogue's views of the page's stores, member array and text buffer.
#pragma once

#include "catalogue/RecordStore.h"
#include "page/PageState.h"

// False for the string kind and any index outside the kinds.
bool PictureStoreOfPage(PageState* page, int32_t kind, PictureStore* store);

inline TextBuffer TextBufferOfPage(PageState* page) {
    return TextBuffer{&page->textBuffer, &page->textBufferSize};
}

inline MemberArray MemberArrayOfPage(PageState* page) {
    return MemberArray{&page->members, &page->memberCount};
}
