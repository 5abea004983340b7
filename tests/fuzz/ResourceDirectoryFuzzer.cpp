// Any bytes as a PE image: the ends of every leaf's texts and in-file data are
// read, so a position or length outside the bytes is caught, and the language
// counts run over the same walk.
#include <cstddef>
#include <cstdint>

#include "formats/executables/ResourceDirectory.h"

namespace {

// A text's first and last bytes: the walk gives it as one run, so a run
// outside the bytes shows at one end. Reading every unit of every leaf would
// make a directory whose many leaves share one long name take minutes.
uint32_t Ends(const ResourceKey& key) {
    return key.length == 0 ? 0 : key.text[0] + key.text[key.length * 2 - 1];
}

int Touch(const ResourceLeaf& leaf, void* user) {
    uint32_t* sum = static_cast<uint32_t*>(user);
    *sum += Ends(leaf.type) + Ends(leaf.name) + leaf.language;
    return 1;
}

struct Image {
    const uint8_t* data;
    size_t size;
    uint32_t sum;
};

int TouchData(const ResourceLeaf& leaf, void* user) {
    Image* image = static_cast<Image*>(user);
    if (!leaf.dataInFile)
        return 1;
    if (leaf.fileOffset > image->size || leaf.size > image->size - leaf.fileOffset)
        __builtin_trap();
    if (leaf.size > 0)
        image->sum += image->data[leaf.fileOffset] + image->data[leaf.fileOffset + leaf.size - 1];
    return Touch(leaf, &image->sum);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PeResourceSection section;
    if (!LocatePeResources(data, size, &section))
        return 0;
    if (section.directory >= section.end || section.end > size)
        __builtin_trap();
    Image image = {data, size, 0};
    WalkPeResources(section, TouchData, &image);
    const ResName types[] = {MakeIntResName(3), MakeIntResName(6), "AVI", MakeIntResName(11)};
    TypeLanguage pairs[16];
    uint32_t found = 0;
    CountTypeLanguages(section, types, 4, pairs, 16, &found);
    uint16_t languages[4];
    volatile uint32_t sum = image.sum + DistinctLanguages(pairs, found, languages, 4);
    (void)sum;
    return 0;
}
