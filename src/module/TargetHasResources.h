#pragma once

#include "common/TargetPath.h"

// Opens the file for reading only (sharing read and write), runs the header check
// and closes it again. False for anything that cannot be opened or read.
bool TargetHasResources(const TargetPath& path);
