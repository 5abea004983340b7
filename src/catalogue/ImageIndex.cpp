// Finding a group's member images: by the platform for data modules, through
// an index built once for 16-bit files.
#include "catalogue/ImageIndex.h"

bool BuildImageIndex(const ResourceSource& source, bool cursor, ImageIndex* index) {
    index->entries = nullptr;
    index->count = 0;
    if (!source.isNeImage)
        return true;
    ResName type = MakeIntResName(cursor ? 1 : 3);
    uint32_t count = CountNeIdResources(source.image, type);
    if (count == 0)
        return true;
    SetLastError(0);
    void* block = GlobalAlloc(GMEM_FIXED, SIZE_T{count} * sizeof(NeIdEntry));
    if (block == nullptr)
        return false;
    index->entries = static_cast<NeIdEntry*>(block);
    index->count = FillNeIdIndex(source.image, type, index->entries, count);
    return true;
}

void FreeImageIndex(ImageIndex* index) {
    if (index->entries != nullptr)
        GlobalFree(index->entries);
    index->entries = nullptr;
    index->count = 0;
}

bool FindGroupImage(const ResourceSource& source, const ImageIndex* index, bool cursor, uint16_t id,
                    const uint8_t** data, uint32_t* size) {
    if (source.isNeImage && index != nullptr) {
        const NeIdEntry* found = FindNeId(index->entries, index->count, id);
        if (found == nullptr)
            return false;
        *data = found->data;
        *size = found->size;
        return true;
    }
    const uint8_t* bytes = nullptr;
    uint32_t length = 0;
    ResName type = MakeIntResName(cursor ? 1 : 3);
    // A chosen language's member, else a neutral one, else the platform's.
    const ResName name = MakeIntResName(id);
    if (!FindResourceBytes(source, type, name, &bytes, &length) &&
        (source.language == 0 ||
         (!FindResourceBytesIn(source, type, name, TargetLanguage(0), &bytes, &length) &&
          !FindResourceBytesIn(source, type, name, 0, &bytes, &length))))
        return false;
    if (!ResourceBytesReadable(bytes, length))
        return false;
    *data = bytes;
    *size = length;
    return true;
}
