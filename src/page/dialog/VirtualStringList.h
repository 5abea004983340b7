// The string list made virtual before its first fill.
#pragma once

#include <windows.h>

// The template's string list keeps rows of its own, which a file of thousands
// of strings would make the page wait for: before its first fill it is
// replaced by the same list with LVS_OWNERDATA, which holds only a count and
// asks for what it draws, and which takes the hook given. That style is taken
// only at creation. Returns the replacement, or null where the list is
// virtual already or the replacement cannot be made: the template's list then
// stays and is filled row by row. The template's list is destroyed, which a
// caller inside one of its messages must not touch again.
HWND MakeStringListVirtual(HWND dialog, WNDPROC hook);
