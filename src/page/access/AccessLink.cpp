#include "page/access/AccessLink.h"

#include "page/state/PageState.h"

AccessLink* PageAccessLink(PageState* page) {
    if (page->accessLink != nullptr) {
        HoldAccessLink(page->accessLink);
        return page->accessLink;
    }
    AccessLink* link =
        static_cast<AccessLink*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(AccessLink)));
    if (link == nullptr)
        return nullptr;
    link->references = 1;  // the caller's
    if (page->accessLinkCut)
        return link;
    link->references = 2;  // and the page's
    link->pageAlive = 1;
    page->accessLink = link;
    return link;
}

void HoldAccessLink(AccessLink* link) {
    InterlockedIncrement(&link->references);
}

void DropAccessLink(AccessLink* link) {
    if (InterlockedDecrement(&link->references) == 0)
        HeapFree(GetProcessHeap(), 0, link);
}

bool AccessLinkAlive(const AccessLink* link) {
    return link->pageAlive != 0;
}

void CutAccessLink(PageState* page) {
    AccessLink* link = page->accessLink;
    page->accessLink = nullptr;
    page->accessLinkCut = 1;
    if (link == nullptr)
        return;
    InterlockedExchange(&link->pageAlive, 0);
    DropAccessLink(link);
}
