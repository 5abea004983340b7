// What a screen reader gets when it asks the page's picture lists, member
// list, string list, play button, ID display or language drop-down for their
// accessible object: the system's own object for the control, with the
// entries' names and descriptions (and, for the list boxes, the entries
// themselves, which the system's object of a list box without strings does
// not always know) and the controls' own names added.
#pragma once

#include <windows.h>

#include "page/state/PageState.h"

// WM_GETOBJECT sent to a hooked control. For OBJID_CLIENT,
// sets *result to the control's object as LresultFromObject hands it over and
// answers true; false leaves the message to the control (another object asked
// for, no accessibility libraries, no page, memory short).
bool AnswerAccessibleObject(HWND control, WPARAM flags, LPARAM objectId, LRESULT* result);

// A hooked control's messages for the accessibility code: WM_GETOBJECT as
// above, the calls of its objects carried from other threads
// (PageThreadCall.h) and the default actions they posted. False for every
// other message.
bool AnswerAccessMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The hook of the controls the page names for a screen reader: the play
// button, whose picture alone says what it does; the ID display, whose
// drawing adds the entry's language to its text; the language drop-down,
// which the system's object would name by its chosen item.
LRESULT CALLBACK SpokenControlHook(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
