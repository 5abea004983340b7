// The selected file's name, read from the shell's dropped-file list in the form
// every later open of the target takes.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "common/TargetPath.h"

// Reads file 0 of drop into one block from the process heap and points path
// into it: the narrow name when the ANSI code page spells it exactly, else the
// wide name the shell gave (only where the wide functions are bound). False
// when memory ran out; then nothing is allocated. The caller frees *block with
// HeapFree.
bool ReadSelectedPath(HDROP drop, void** block, TargetPath* path);
