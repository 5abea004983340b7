// The screen's density in dots per inch, and the one rule that turns the
// drawing's sizes, all given for 96 dpi, into the screen's pixels.
#pragma once

#include <cstdint>

// The density every pixel size of the drawing is given for.
const int32_t kBaseDensity = 96;

// A density as the drawing uses it: 96 for 0 or less (not read); others
// within 48 and 960 (half and ten times the base), which keeps every scaled
// size far inside int32 and never turns a size of 1 into 0.
int32_t UsableDensity(int64_t density);

// A size or offset given for 96 dpi, at density (made usable first):
// pixels * density / 96, rounded to nearest with halves away from zero, so
// that 1 pixel becomes 2 at 150%. Every scaled size of the page comes from
// here, so that parts drawn and parts measured meet.
int32_t ScaleToDensity(int64_t pixels, int64_t density);
