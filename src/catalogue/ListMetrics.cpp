#include "catalogue/ListMetrics.h"

#include "catalogue/ResourceKinds.h"

int PictureRowHeight(int32_t kind, const ListMetrics& metrics) {
    const int64_t text = metrics.textHeight;
    const int64_t height = kind == kKindIcon     ? metrics.iconHeight + text + 12
                           : kind == kKindCursor ? metrics.cursorHeight + text + 12
                                                 : 3 * text + 100;
    // List boxes refuse item heights above 255.
    return height < 1 ? 1 : (height > 255 ? 255 : static_cast<int>(height));
}

int PictureColumnWidth(int32_t kind, const ListMetrics& metrics) {
    int64_t width = kind == kKindIcon     ? int64_t{metrics.iconWidth} + 16
                    : kind == kKindCursor ? int64_t{metrics.cursorWidth} + 16
                                          : 90;
    // LB_SETCOLUMNWIDTH carries the width in 16 bits.
    return width < 1 ? 1 : (width > 32767 ? 32767 : static_cast<int>(width));
}
