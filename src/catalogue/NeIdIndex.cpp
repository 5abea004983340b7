#include "catalogue/NeIdIndex.h"

uint32_t CountNeIdResources(const MappedNeImage&, ResName) {
    return 0;
}

uint32_t FillNeIdIndex(const MappedNeImage&, ResName, NeIdEntry*, uint32_t) {
    return 0;
}

const NeIdEntry* FindNeId(const NeIdEntry*, uint32_t, uint16_t) {
    return nullptr;
}
