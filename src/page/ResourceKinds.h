// The five resource kinds in drop-down order, with the list that shows each and
// its names in both shell modes.
#pragma once

#include "page/PageState.h"

struct ResourceKindInfo {
    int listId;
    const char* name;        // Shift-JIS
    const char* legacyName;  // Shift-JIS, half-width where the full name has katakana
};

extern const ResourceKindInfo kResourceKinds[kKindCount];

// The list control of a kind; 0 for a kind outside 0..4.
int ResourceKindList(int kind);

// The kind's name in the given mode; null for a kind outside 0..4.
const char* ResourceKindName(int kind, bool legacyShellMode);
