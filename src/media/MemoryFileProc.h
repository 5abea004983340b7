#pragma once

#include <windows.h>
#include <mmsystem.h>

// The multimedia I/O procedure installed for '$$$ ': serves opens, reads and
// seeks of memory file names from the named block. Never writes.
LRESULT CALLBACK MemoryFileProc(LPSTR info, UINT message, LPARAM param1, LPARAM param2);
