// The one picture that stands for an icon or cursor group in its list.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/ImageIndex.h"

// The group's image that the platform chooses for the given size (cursors: the
// system cursor size), made into an icon of width x height from the group's
// own image bytes (a cursor's hot spot skipped). Null when the group has no
// usable image or a call failed.
HICON MakeGroupPicture(const ResourceSource& source, const ImageIndex* index, const uint8_t* group,
                       uint32_t size, bool cursor, int width, int height);
