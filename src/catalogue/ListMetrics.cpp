#include "catalogue/ListMetrics.h"

#include "catalogue/ResourceKinds.h"

GroupCell GroupCellOf(int32_t kind, const ListMetrics& metrics) {
    const bool cursor = kind == kKindCursor;
    return LayOutGroupCell(cursor ? metrics.cursorWidth : metrics.iconWidth,
                           cursor ? metrics.cursorHeight : metrics.iconHeight, metrics.textHeight,
                           metrics.density);
}

ThumbnailCell ThumbnailCellOf(const ListMetrics& metrics) {
    return LayOutThumbnailCell(metrics.textHeight, metrics.density);
}

int PictureRowHeight(int32_t kind, const ListMetrics& metrics) {
    return kind == kKindIcon || kind == kKindCursor ? GroupCellOf(kind, metrics).rowHeight
                                                    : ThumbnailCellOf(metrics).rowHeight;
}

int PictureColumnWidth(int32_t kind, const ListMetrics& metrics) {
    return kind == kKindIcon || kind == kKindCursor ? GroupCellOf(kind, metrics).columnWidth
                                                    : ThumbnailCellOf(metrics).columnWidth;
}
