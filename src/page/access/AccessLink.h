// The tie between a page and the accessible objects it hands out. A screen
// reader may hold such an object long after the page is gone, so the object
// holds this small record and never the page: it asks the record whether the
// page still lives before it looks at anything of the page's.
#pragma once

#include <windows.h>

struct PageState;

struct AccessLink {
    volatile LONG references;  // the page's while it lives, one per object
    volatile LONG pageAlive;
};

// The page's link, made at the first question, with a reference for the
// caller to drop; null when memory ran out. Once the page has cut its link
// (its end has begun) a link is made that is cut already and that the page
// does not keep: an object asked for then answers as disconnected and lives
// on its own.
AccessLink* PageAccessLink(PageState* page);

void HoldAccessLink(AccessLink* link);
void DropAccessLink(AccessLink* link);

bool AccessLinkAlive(const AccessLink* link);

// At the page's end: every object handed out answers as disconnected from
// now on, and the page lets go of its link.
void CutAccessLink(PageState* page);
