#include "catalogue/ListMetrics.h"

#include "catalogue/ResourceKinds.h"

namespace {

// List boxes refuse item heights above 255.
int ClampToItemHeight(int64_t height) {
    return height < 1 ? 1 : (height > 255 ? 255 : static_cast<int>(height));
}

}  // namespace

int PictureRowHeight(int32_t kind, const ListMetrics& metrics) {
    const int64_t text = metrics.textHeight;
    if (kind == kKindIcon)
        return ClampToItemHeight(int64_t{metrics.iconHeight} + text + 12);
    if (kind == kKindCursor)
        return ClampToItemHeight(int64_t{metrics.cursorHeight} + text + 12);
    return ClampToItemHeight(3 * text + 100);
}

int PictureColumnWidth(int32_t kind, const ListMetrics& metrics) {
    int64_t width = kind == kKindIcon     ? int64_t{metrics.iconWidth} + 16
                    : kind == kKindCursor ? int64_t{metrics.cursorWidth} + 16
                                          : 90;
    // LB_SETCOLUMNWIDTH carries the width in 16 bits.
    return width < 1 ? 1 : (width > 32767 ? 32767 : static_cast<int>(width));
}
