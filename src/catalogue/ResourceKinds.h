// The resource kinds in the drop-down's order, each with the list that shows
// it, the resource type its entries come from and its names in both shell
// modes. Everything that goes from a kind to one of these asks here. Kinds
// after the first five are listed only where the file holds them; they come
// last, so that a kind's place in the drop-down stays its number.
#pragma once

#include <cstdint>

#include "formats/bytes/ResName.h"

enum ResourceKind {
    kKindIcon = 0,
    kKindBitmap = 1,
    kKindCursor = 2,
    kKindString = 3,
    kKindAvi = 4,
    kKindMessage = 5,
    kKindCount = 6
};

// Kinds listed whether or not the file holds them.
constexpr int kAlwaysListedKinds = 5;

inline bool IsResourceKind(int kind) {
    return kind >= 0 && kind < kKindCount;
}

// A kind's bit in a set of kinds.
inline int32_t KindBit(int kind) {
    return static_cast<int32_t>(1) << kind;
}

// Kinds shown as rows of a list view (identifier and text) rather than as
// entries of a list box.
inline bool IsRowKind(int kind) {
    return kind == kKindString || kind == kKindMessage;
}

// The list control of a kind; 0 for a kind outside.
int ResourceKindList(int kind);

// The kind a list control shows; -1 for any other control.
int ResourceKindOfList(int listId);

// The resource type of the kind's entries: the group types for icons and
// cursors, the string tables' blocks for strings, the message tables for
// messages. Null for a kind outside.
ResName ResourceKindType(int kind);

// The kind's name in the given mode (Shift-JIS); null for a kind outside.
const char* ResourceKindName(int kind, bool legacyShellMode);
