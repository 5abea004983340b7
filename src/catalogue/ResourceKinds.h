// The five resource kinds in the drop-down's order, each with the list that
// shows it, the resource type its entries come from and its names in both
// shell modes. Everything that goes from a kind to one of these asks here.
#pragma once

#include "formats/bytes/ResName.h"

enum ResourceKind {
    kKindIcon = 0,
    kKindBitmap = 1,
    kKindCursor = 2,
    kKindString = 3,
    kKindAvi = 4,
    kKindCount = 5
};

inline bool IsResourceKind(int kind) {
    return kind >= 0 && kind < kKindCount;
}

// The list control of a kind; 0 for a kind outside 0..4.
int ResourceKindList(int kind);

// The kind a list control shows; -1 for any other control.
int ResourceKindOfList(int listId);

// The resource type of the kind's entries: the group types for icons and
// cursors, the string tables' blocks for strings. Null for a kind outside.
ResName ResourceKindType(int kind);

// The kind's name in the given mode (Shift-JIS); null for a kind outside.
const char* ResourceKindName(int kind, bool legacyShellMode);
