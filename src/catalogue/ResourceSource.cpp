// Opening a target either way and finding one resource's bytes in it.
#include "catalogue/ResourceSource.h"

#include "catalogue/MapNeImage.h"

bool OpenResourceSource(const TargetPath& path, ResourceSource* source) {
    source->module = nullptr;
    source->isNeImage = 0;
    source->image = MappedNeImage{};
    source->language = path.language;
    // No code of the target runs in this form, and no DllMain is called.
    HMODULE module = LoadTargetAsData(path);
    if (module != nullptr) {
        source->module = module;
        return true;
    }
    if (MapNeImage(path, &source->image)) {
        source->isNeImage = 1;
        return true;
    }
    source->image = MappedNeImage{};
    return false;
}

void CloseResourceSource(ResourceSource* source) {
    if (source->module != nullptr)
        FreeLibrary(source->module);
    if (source->isNeImage)
        UnmapNeImage(source->image);
    source->module = nullptr;
    source->isNeImage = 0;
    source->image = MappedNeImage{};
}

bool FindResourceBytes(const ResourceSource& source, ResName type, ResName name,
                       const uint8_t** data, uint32_t* size) {
    return FindResourceBytesIn(source, type, name, source.language, data, size);
}

bool FindResourceBytesIn(const ResourceSource& source, ResName type, ResName name,
                         uint32_t language, const uint8_t** data, uint32_t* size) {
    if (source.module != nullptr) {
        HRSRC found = language != 0 ? FindResourceExA(source.module, type, name,
                                                      static_cast<WORD>(language & 0xFFFF))
                                    : FindResourceA(source.module, name, type);
        if (found == nullptr)
            return false;
        HGLOBAL loaded = LoadResource(source.module, found);
        if (loaded == nullptr)
            return false;
        const void* bytes = LockResource(loaded);
        if (bytes == nullptr)
            return false;
        *data = static_cast<const uint8_t*>(bytes);
        *size = SizeofResource(source.module, found);
        return true;
    }
    if (!source.isNeImage)
        return false;
    ResourceLookup lookup = {name, nullptr, 0};
    EnumNeResources(source.image, type, FindNamedResource, &lookup);
    if (lookup.foundData == nullptr)
        return false;
    *data = lookup.foundData;
    *size = lookup.foundSize;
    return true;
}

bool ResourceBytesReadable(const void* data, size_t length) {
    return data != nullptr && !IsBadReadPtr(data, length);
}
