// Functions of newer systems are bound by name at run time and may be missing.
#pragma once

#include <windows.h>

// GetProcAddress gives a generic function pointer; every binding goes through
// this one cast. The slot is null when library lacks the function.
template <typename Function>
void BindProc(HMODULE library, const char* name, Function* slot) {
    *slot = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
