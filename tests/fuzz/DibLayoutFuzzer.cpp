// Any bytes as a bitmap resource and as an icon or cursor image, and, when the
// bytes are a 16-bit image, every bitmap, icon and cursor resource in it. Each
// layout that says yes has every byte it claims read, so AddressSanitizer
// catches a layout that claims bytes outside the resource.
#include <cstddef>
#include <cstdint>

#include "formats/executables/NeResources.h"
#include "formats/images/DibLayout.h"

namespace {

struct Toucher {
    // Bytes still to be read one by one; after that only the two ends of each
    // region are, which still catches a region running past the resource.
    // Resources of an image may overlap, so this keeps each input linear.
    size_t budget;
    uint32_t sum;
};

void TouchRegion(Toucher* toucher, const uint8_t* data, uint64_t offset, uint64_t count) {
    if (count == 0)
        return;
    const uint8_t* start = data + offset;
    if (count <= toucher->budget) {
        toucher->budget -= count;
        for (uint64_t i = 0; i < count; ++i)
            toucher->sum += start[i];
    } else {
        toucher->sum += start[0] + start[count - 1];
    }
}

void CheckBitmap(Toucher* toucher, const uint8_t* data, size_t size) {
    BitmapLayout layout;
    if (!ReadBitmapLayout(data, size, &layout))
        return;
    if (uint64_t{layout.bitsOffset} + layout.imageBytes > size ||
        uint64_t{layout.headerSize} + layout.colorTableBytes != layout.bitsOffset) {
        __builtin_trap();
    }
    TouchRegion(toucher, data, 0, layout.headerSize);
    TouchRegion(toucher, data, layout.headerSize, layout.colorTableBytes);
    TouchRegion(toucher, data, layout.bitsOffset, layout.imageBytes);
    ThumbnailSize thumbnail = FitThumbnail(layout.width, layout.height);
    if (thumbnail.width < 1 || thumbnail.width > 80 || thumbnail.height < 1 ||
        thumbnail.height > 80) {
        __builtin_trap();
    }
}

void CheckMember(Toucher* toucher, const uint8_t* data, size_t size, bool heightHoldsMask) {
    MemberImageLayout layout;
    if (!ReadMemberImageLayout(data, size, heightHoldsMask, &layout))
        return;
    if (layout.imageBytes > size || layout.width == 0 || layout.height == 0 ||
        layout.width > 65535 || layout.height > 65535) {
        __builtin_trap();
    }
    if (layout.isPng) {
        TouchRegion(toucher, data, 0, layout.imageBytes);
    } else {
        if (uint64_t{layout.headerSize} + 4ull * layout.colorEntries != layout.colorBitsOffset ||
            uint64_t{layout.colorBitsOffset} + layout.colorBitsBytes != layout.maskOffset ||
            uint64_t{layout.maskOffset} + layout.maskBytes != layout.imageBytes) {
            __builtin_trap();
        }
        TouchRegion(toucher, data, 0, layout.headerSize);
        TouchRegion(toucher, data, layout.headerSize, 4ull * layout.colorEntries);
        TouchRegion(toucher, data, layout.colorBitsOffset, layout.colorBitsBytes);
        TouchRegion(toucher, data, layout.maskOffset, layout.maskBytes);
    }
    FitThumbnail(layout.width, layout.height);
}

void CheckAll(Toucher* toucher, const uint8_t* data, size_t size) {
    CheckBitmap(toucher, data, size);
    CheckMember(toucher, data, size, true);
    CheckMember(toucher, data, size, false);
}

int CheckBitmapResource(ResName, const uint8_t* data, uint32_t size, void* user) {
    CheckBitmap(static_cast<Toucher*>(user), data, size);
    return 1;
}

int CheckIconResource(ResName, const uint8_t* data, uint32_t size, void* user) {
    CheckMember(static_cast<Toucher*>(user), data, size, true);
    return 1;
}

int CheckCursorResource(ResName, const uint8_t* data, uint32_t size, void* user) {
    // The hot spot comes first.
    if (size >= 4)
        CheckMember(static_cast<Toucher*>(user), data + 4, size - 4, true);
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Toucher toucher = {4 * size, 0};
    CheckAll(&toucher, data, size);
    // The same bytes after a hot spot or a file header, as seeds often carry one.
    if (size >= 4)
        CheckAll(&toucher, data + 4, size - 4);
    if (size >= 14)
        CheckBitmap(&toucher, data + 14, size - 14);
    FitThumbnail(size, -static_cast<int64_t>(size / 3));

    MappedNeImage image = {};
    if (LocateNeResourceTable(data, size, &image)) {
        EnumNeResources(image, MakeIntResName(2), CheckBitmapResource, &toucher);
        EnumNeResources(image, MakeIntResName(3), CheckIconResource, &toucher);
        EnumNeResources(image, MakeIntResName(1), CheckCursorResource, &toucher);
    }
    return static_cast<int>(toucher.sum & 0);
}
