// Whether the file is still the one the page's lists were filled from. The
// page reads the file only when it draws or acts, and the file may be rebuilt,
// replaced, deleted or locked between two messages: every paint and command
// looks at its size and write time without opening it, and every opening also
// compares the markers of its own headers.
#pragma once

#include <windows.h>

#include "common/TargetPath.h"
#include "page/state/PageState.h"

enum TargetState { kTargetSame, kTargetChanged, kTargetUnreadable };

// The file's identity as it is now. False (the thread's last error set, or 0)
// when the file cannot be found or read.
bool ReadTargetIdentity(const TargetPath& path, TargetIdentity* identity);

// Compares the file with the page's identity: the size and write time alone,
// or with markers the headers' markers too (one short read of the file). A
// change is noticed once: the page stops reading the file and posts itself a
// rebuild, asked for again at every call until it has filled the lists.
// *error receives the code of a file that cannot be read.
TargetState CheckPageTarget(PageState* page, bool markers, DWORD* error);

// Marks the file as changed and posts the rebuild, once per change.
void NoticeTargetChange(PageState* page);

// Posts the refill unless one is on its way or a fill is under way; every
// paint and command asks again while the page waits for one.
void AskForRefill(PageState* page);

// The same file: size, write time and markers.
bool SameTargetIdentity(const TargetIdentity& a, const TargetIdentity& b);

// Before a command acts: false when the file changed (the page rebuilds) or,
// when the command needs the file, cannot be read; either is reported here,
// once. A command acting on texts or pictures kept in memory passes false.
bool TargetReadyForCommand(HWND dialog, PageState* page, bool needsFile);

// Reports a file that a command could not read, with the system's text for
// error; a changed file, or no code at all, as ERROR_FILE_INVALID, whose text
// says the file was changed from outside.
void ReportUnreadableTarget(HWND dialog, DWORD error);

// Whether texts kept for rows may still be given (cached: the row asked for
// is kept). Kept texts are given only while the file is the one they were
// read from, by its size and write time and by its markers, which a copy
// keeping the stamp changes: once per paint, and outside paints once per
// interval (the look costs about a millisecond under some systems; a thousand
// rows read one by one would take a second for it), so that a change is seen
// within a quarter of a second. False when the file changed (noticed).
bool KeptTextsHold(PageState* page, bool cached);
