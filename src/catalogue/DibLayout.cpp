#include "catalogue/DibLayout.h"

bool ReadBitmapLayout(const uint8_t*, size_t, BitmapLayout* layout) {
    *layout = BitmapLayout{};
    return false;
}

bool IsPngImage(const uint8_t*, size_t) {
    return false;
}

bool ReadMemberImageLayout(const uint8_t*, size_t, bool, MemberImageLayout* layout) {
    *layout = MemberImageLayout{};
    return false;
}

ThumbnailSize FitThumbnail(int64_t, int64_t) {
    return ThumbnailSize{0, 0};
}
