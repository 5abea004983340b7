// The legacy-mode font patch of the page's dialog template, on bytes alone.
#pragma once

#include <cstdint>

// Where the items start in the template as stored and in the patched copy.
constexpr uint32_t kTemplateItemsOffset = 64;
constexpr uint32_t kPatchedItemsOffset = 56;
constexpr uint32_t kTemplateTypefaceOffset = 38;

// Copies an extended dialog template of the page's own shape (no menu, no class,
// empty title, typeface "MS UI Gothic") into destination with the typeface
// replaced by "ＭＳ Ｐゴシック"; the items move from byte 64 to byte 56.
// destination must hold sourceSize bytes. False, with destination untouched,
// when the source is not of that shape or destination is too small.
bool PatchTemplateTypeface(const uint8_t* source, uint32_t sourceSize, uint8_t* destination,
                           uint32_t destinationSize);
