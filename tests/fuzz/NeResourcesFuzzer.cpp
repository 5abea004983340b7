// Any bytes as a 16-bit target: locate the resource table, then walk every type
// the page asks for, reading every delivered byte and looking each name up.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "catalogue/NeResources.h"

namespace {

struct FuzzWalk {
    MappedNeImage image;
    ResName type;
    uint32_t sum;
};

int Touch(ResName name, const uint8_t* data, uint32_t size, void* user) {
    FuzzWalk* walk = static_cast<FuzzWalk*>(user);
    for (uint32_t i = 0; i < size; ++i)
        walk->sum += data[i];
    if (!IsIntResName(name))
        walk->sum += static_cast<uint32_t>(strlen(name));
    {
        // The name is valid only during this call: look it up while it is.
        char copy[256];
        ResName wanted = name;
        if (!IsIntResName(name)) {
            strncpy(copy, name, sizeof(copy) - 1);
            copy[sizeof(copy) - 1] = '\0';
            wanted = copy;
        }
        ResourceLookup lookup = {wanted, nullptr, 0};
        EnumNeResources(walk->image, walk->type, FindNamedResource, &lookup);
        if (lookup.foundData != nullptr && lookup.foundSize > 0) {
            walk->sum += lookup.foundData[lookup.foundSize - 1];
        }
    }
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MappedNeImage image = {};
    if (!LocateNeResourceTable(data, size, &image))
        return 0;
    static const ResName kTypes[] = {MakeIntResName(14),
                                     MakeIntResName(12),
                                     MakeIntResName(2),
                                     MakeIntResName(6),
                                     MakeIntResName(1),
                                     MakeIntResName(3),
                                     "AVI"};
    for (ResName type : kTypes) {
        FuzzWalk walk = {image, type, 0};
        EnumNeResources(image, type, Touch, &walk);
    }
    return 0;
}
