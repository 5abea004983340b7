// The catalogue's views of the page's stores, member array, message rows and text buffer,
// and of the sizes its lists are made with.
#pragma once

#include "catalogue/ListMetrics.h"
#include "catalogue/MessageRows.h"
#include "catalogue/RecordStore.h"
#include "common/ModuleState.h"
#include "page/state/PageState.h"

// False for the string kind and any index outside the kinds.
bool PictureStoreOfPage(PageState* page, int32_t kind, PictureStore* store);

inline TextBuffer TextBufferOfPage(PageState* page) {
    return TextBuffer{&page->textBuffer, &page->textBufferSize};
}

// The sizes the module read last, which the lists are built and drawn with;
// textHeight and density, when given, in place of the module's.
inline ListMetrics ModuleListMetrics(int textHeight = -1, int density = -1) {
    return ListMetrics{theModule.iconWidth,
                       theModule.iconHeight,
                       theModule.cursorWidth,
                       theModule.cursorHeight,
                       textHeight >= 0 ? textHeight : theModule.textHeight,
                       density >= 0 ? density : theModule.density};
}

// The page's scratch text buffer, or local (of *size bytes) while the page has
// none; *size becomes the size of the one returned.
inline char* ScratchText(const PageState* page, char* local, int* size) {
    if (page == nullptr || page->textBuffer == nullptr || page->textBufferSize <= 0)
        return local;
    *size = page->textBufferSize;
    return page->textBuffer;
}

inline MemberArray MemberArrayOfPage(PageState* page) {
    return MemberArray{&page->members, &page->memberCount};
}

inline MessageRowArray MessageRowsOfPage(PageState* page) {
    return MessageRowArray{&page->messageRows, &page->messageRowCount, &page->messageTables,
                           &page->messageTableCount};
}
