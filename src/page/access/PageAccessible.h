// What a screen reader gets when it asks the page's picture lists, member
// list, string list or play button for their accessible object: the system's
// own object for the control, with the entries' names and descriptions (and,
// for the list boxes, the entries themselves, which the system's object of a
// list box without strings does not always know), the lists' names and the
// play button's name added.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// WM_GETOBJECT sent to a hooked list or the play button. For OBJID_CLIENT,
// sets *result to the control's object as LresultFromObject hands it over and
// answers true; false leaves the message to the control (another object asked
// for, no accessibility libraries, no page, memory short).
bool AnswerAccessibleObject(HWND control, WPARAM flags, LPARAM objectId, LRESULT* result);

// A hooked control's messages for the accessibility code: WM_GETOBJECT as
// above, the calls of its objects carried from other threads
// (PageThreadCall.h) and the default actions they posted. False for every
// other message.
bool AnswerAccessMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The hook of the play button, whose picture alone says what it does.
LRESULT CALLBACK PlayButtonHook(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
