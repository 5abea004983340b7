// A resource name kept in a block of its own: a name read from a list's
// store points into that store, which a refill of the lists rewrites, so a
// name that must outlive a message loop (a report box, a refill) is copied.
#pragma once

#include <windows.h>

#include "formats/bytes/ResName.h"

struct KeptResName {
    uint16_t id;
    char* text;  // GMEM_FIXED copy of a text name, null for an identifier
};

// False when memory for a text name's copy ran out (the thread's last error
// says so); kept is then empty.
bool KeepResName(ResName name, KeptResName* kept);

// The kept name, valid until it is freed.
ResName KeptResNameOf(const KeptResName& kept);

void FreeKeptResName(KeptResName* kept);
