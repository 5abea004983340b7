// The page's data is read on the page's thread only. A screen reader's calls
// on an accessible object may come on other threads (a host whose page thread
// is in the multithreaded apartment hands calls from other processes to its
// worker threads): such a call is carried to the page's thread by a message
// sent to the control, run there while the caller waits, and its answer
// carried back.
#pragma once

#include <windows.h>

typedef HRESULT (*PageThreadWork)(void* context);

// work(context) on control's thread: at once when the caller is on it, else
// carried there. RPC_E_DISCONNECTED when the control is gone or no longer
// answers carried calls (its hook is off: the page has ended); E_FAIL when
// the page's thread did not take the call in time (hung) or too many calls
// wait at once.
HRESULT RunOnPageThread(HWND control, PageThreadWork work, void* context);

// For a hooked control's procedure: true when message is a carried call,
// which has then run on this thread (only a call whose caller still waits in
// this process is run); *result is the message's answer.
bool RunCarriedCall(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
