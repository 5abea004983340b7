// The answer of a handled dialog message that carries a result.
#pragma once

#include <windows.h>

// Sets DWLP_MSGRESULT; the dialog procedure returns the TRUE this gives.
inline INT_PTR Answer(HWND dialog, LONG_PTR result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}
