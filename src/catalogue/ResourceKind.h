// The five resource kinds in the drop-down's order.
#pragma once

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
