// Any bytes as a 16-bit target: locate the resource table, then walk every type
// the page asks for, reading what each resource delivers and looking names up.
// Work per input stays linear: integer names are looked up in the identifier
// index, and only the first few names of each type take a walk of their own
// (which also checks the index against the walk).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/executables/NeIdIndex.h"
#include "formats/executables/NeResources.h"

namespace {

const uint32_t kWalkedLookups = 8;

struct FuzzWalk {
    MappedNeImage image;
    ResName type;
    const NeIdEntry* index;
    uint32_t indexCount;
    uint32_t seen;
    size_t budget;  // bytes still to be read one by one; then only the ends
    uint32_t sum;
};

void LookUpByWalk(FuzzWalk* walk, ResName name) {
    // The name is valid only during the callback: look it up while it is.
    char copy[256];
    ResName wanted = name;
    if (!IsIntResName(name)) {
        strncpy(copy, name, sizeof(copy) - 1);
        copy[sizeof(copy) - 1] = '\0';
        wanted = copy;
    }
    ResourceLookup lookup = {wanted, nullptr, 0};
    EnumNeResources(walk->image, walk->type, FindNamedResource, &lookup);
    if (lookup.foundData == nullptr)
        __builtin_trap();  // a delivered name is always found again
    if (lookup.foundSize > 0)
        walk->sum += lookup.foundData[lookup.foundSize - 1];
    if (IsIntResName(name)) {
        const NeIdEntry* entry = FindNeId(walk->index, walk->indexCount, ResNameId(name));
        if (entry == nullptr || entry->data != lookup.foundData || entry->size != lookup.foundSize)
            __builtin_trap();
    }
}

int Touch(ResName name, const uint8_t* data, uint32_t size, void* user) {
    FuzzWalk* walk = static_cast<FuzzWalk*>(user);
    if (size <= walk->budget) {
        walk->budget -= size;
        for (uint32_t i = 0; i < size; ++i)
            walk->sum += data[i];
    } else {
        walk->sum += data[0] + data[size - 1];
    }
    if (!IsIntResName(name))
        walk->sum += static_cast<uint32_t>(strlen(name));
    if (walk->seen++ < kWalkedLookups) {
        LookUpByWalk(walk, name);
    } else if (IsIntResName(name)) {
        const NeIdEntry* entry = FindNeId(walk->index, walk->indexCount, ResNameId(name));
        if (entry == nullptr)
            __builtin_trap();
        walk->sum += entry->size;
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
    size_t budget = 4 * size;
    for (ResName type : kTypes) {
        uint32_t count = CountNeIdResources(image, type);
        std::vector<NeIdEntry> index(count);
        uint32_t stored = FillNeIdIndex(image, type, index.data(), count);
        if (stored != count)
            __builtin_trap();
        for (uint32_t i = 1; i < stored; ++i) {
            if (index[i - 1].id > index[i].id ||
                (index[i - 1].id == index[i].id && index[i - 1].order >= index[i].order)) {
                __builtin_trap();
            }
        }
        FuzzWalk walk = {image, type, index.data(), stored, 0, budget, 0};
        EnumNeResources(image, type, Touch, &walk);
        budget = walk.budget;
    }
    return 0;
}
