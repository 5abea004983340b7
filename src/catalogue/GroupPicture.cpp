#include "catalogue/GroupPicture.h"

#include "formats/images/DibLayout.h"
#include "formats/images/GroupDirectory.h"

namespace {

// The image id the platform chooses from a checked copy of the directory: the
// platform reads as many entries as the count says, so it is given no more
// than lie inside the group.
uint16_t ChooseImage(const uint8_t* group, uint32_t size, bool cursor, int width, int height) {
    uint32_t count = GroupEntryCount(group, size);
    if (count == 0)
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, LookupDirectoryBytes(count));
    if (block == nullptr)
        return 0;
    uint8_t* directory = static_cast<uint8_t*>(block);
    WriteLookupDirectory(group, size, count, cursor, directory);
    // Cursors ask for 0 x 0: the platform then uses the current cursor size.
    int id = LookupIconIdFromDirectoryEx(directory, cursor ? FALSE : TRUE, cursor ? 0 : width,
                                         cursor ? 0 : height, LR_DEFAULTCOLOR);
    GlobalFree(block);
    return static_cast<uint16_t>(id);
}

}  // namespace

HICON MakeGroupPicture(const ResourceSource& source, const ImageIndex* index, const uint8_t* group,
                       uint32_t size, bool cursor, int width, int height) {
    uint16_t id = ChooseImage(group, size, cursor, width, height);
    if (id == 0)
        return nullptr;
    const uint8_t* image = nullptr;
    uint32_t imageSize = 0;
    if (!FindGroupImage(source, index, cursor, id, &image, &imageSize))
        return nullptr;
    if (cursor) {
        if (imageSize < 4)
            return nullptr;
        image += 4;
        imageSize -= 4;
    }
    MemberImageLayout layout;
    if (!ReadMemberImageLayout(image, imageSize, true, &layout))
        return nullptr;
    return CreateIconFromResourceEx(const_cast<uint8_t*>(image), layout.imageBytes, TRUE,
                                    0x00030000, width, height, LR_DEFAULTCOLOR);
}
