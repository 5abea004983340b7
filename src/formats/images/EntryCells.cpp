#include "formats/images/EntryCells.h"

#include "formats/images/DibLayout.h"
#include "formats/images/ScreenDensity.h"

namespace {

const int64_t kMaxColumnWidth = 32767;
// Text heights and picture sides beyond any font's or icon's: the sums below
// stay inside int32 whatever the caller passes.
const int64_t kMaxPart = 1 << 20;

int32_t Clamp(int64_t value, int64_t low, int64_t high) {
    return static_cast<int32_t>(value < low ? low : (value > high ? high : value));
}

int64_t Part(int64_t value) {
    return value < 0 ? 0 : (value > kMaxPart ? kMaxPart : value);
}

// The vertical margins of a bitmap's or clip's entry, top to bottom.
struct ThumbnailMargins {
    int64_t top, namePad, aboveBox, belowBox, sizePad, secondPad, bottom;
};

ThumbnailMargins ScaledMargins(int64_t density) {
    return ThumbnailMargins{ScaleToDensity(1, density), ScaleToDensity(6, density),
                            ScaleToDensity(1, density), ScaleToDensity(1, density),
                            ScaleToDensity(4, density), ScaleToDensity(6, density),
                            ScaleToDensity(1, density)};
}

int64_t RowOf(const ThumbnailMargins& m, int64_t text, int64_t box) {
    return m.top + text + m.namePad + m.aboveBox + box + m.belowBox + text + m.sizePad + text +
           m.secondPad + m.bottom;
}

}  // namespace

GroupCell LayOutGroupCell(int64_t pictureWidth, int64_t pictureHeight, int64_t textHeight,
                          int64_t density) {
    const int64_t text = Part(textHeight);
    GroupCell cell = {};
    cell.inset = ScaleToDensity(2, density);
    cell.nameTop = ScaleToDensity(1, density);
    cell.nameBottom = Clamp(cell.nameTop + text + ScaleToDensity(6, density), 0, INT32_MAX);
    cell.pictureLeft = ScaleToDensity(8, density);
    cell.pictureTop = Clamp(int64_t{cell.nameBottom} + ScaleToDensity(1, density), 0, INT32_MAX);
    cell.rowHeight =
        Clamp(int64_t{cell.pictureTop} + Part(pictureHeight) + ScaleToDensity(4, density), 1,
              kMaxItemHeight);
    cell.columnWidth =
        Clamp(int64_t{cell.pictureLeft} * 2 + Part(pictureWidth), 1, kMaxColumnWidth);
    return cell;
}

ThumbnailCell LayOutThumbnailCell(int64_t textHeight, int64_t density) {
    const int64_t text = Part(textHeight);
    ThumbnailMargins m = ScaledMargins(density);
    int64_t box = ScaleToDensity(kThumbnailSide, density);
    if (RowOf(m, text, box) > kMaxItemHeight) {
        m = ScaledMargins(kBaseDensity);
        const int64_t room = kMaxItemHeight - RowOf(m, text, 0);
        box = room < box ? room : box;
        box = box < 1 ? 1 : box;
    }
    ThumbnailCell cell = {};
    cell.inset = ScaleToDensity(2, density);
    cell.nameTop = static_cast<int32_t>(m.top);
    cell.nameBottom = static_cast<int32_t>(m.top + text + m.namePad);
    cell.boxLeft = ScaleToDensity(5, density);
    cell.boxTop = static_cast<int32_t>(cell.nameBottom + m.aboveBox);
    cell.boxSide = static_cast<int32_t>(box);
    cell.sizeTop = static_cast<int32_t>(cell.boxTop + box + m.belowBox);
    cell.sizeBottom = static_cast<int32_t>(cell.sizeTop + text + m.sizePad);
    cell.secondBottom = static_cast<int32_t>(cell.sizeBottom + text + m.secondPad);
    cell.rowHeight = Clamp(cell.secondBottom + m.bottom, 1, kMaxItemHeight);
    cell.columnWidth = Clamp(int64_t{cell.boxLeft} * 2 + box, 1, kMaxColumnWidth);
    return cell;
}

MemberCell LayOutMemberCell(int64_t memberWidth, int64_t memberHeight, int64_t textHeight,
                            int64_t density) {
    MemberCell cell = {};
    cell.pictureLeft = ScaleToDensity(8, density);
    cell.pictureTop = ScaleToDensity(2, density);
    cell.columnPad = ScaleToDensity(20, density);
    cell.pictureWidth = ScaleToDensity(Part(memberWidth), density);
    cell.pictureHeight = ScaleToDensity(Part(memberHeight), density);
    const int64_t text = Part(textHeight);
    const int64_t tallest = cell.pictureHeight > text ? cell.pictureHeight : text;
    cell.rowHeight = Clamp(tallest + ScaleToDensity(4, density), 1, kMaxItemHeight);
    return cell;
}
