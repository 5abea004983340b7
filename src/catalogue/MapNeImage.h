// Mapping a 16-bit target read-only for the NE resource walk.
#pragma once

#include "common/TargetPath.h"
#include "formats/executables/NeResources.h"

// True when the file is mapped and its NE header and resource table position
// pass LocateNeResourceTable; on false nothing stays open and image is left
// unspecified.
bool MapNeImage(const TargetPath& path, MappedNeImage* image);

// Unmaps the view and closes the mapping, then the file. Only for an image that
// MapNeImage filled with success.
void UnmapNeImage(const MappedNeImage& image);
