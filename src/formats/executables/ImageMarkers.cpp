#include "formats/executables/ImageMarkers.h"

#include "formats/bytes/LittleEndian.h"

namespace {

const uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
const uint16_t kNeSignature = 0x454E;      // "NE"
const uint16_t kPe32Magic = 0x10B;
const uint16_t kPe32PlusMagic = 0x20B;
const uint32_t kResourceDirectory = 2;

// The file offset of rva through the section table, and how many bytes of the
// section's stored data follow it.
bool RvaToFile(const uint8_t* head, size_t headSize, size_t sections, uint32_t count, uint32_t rva,
               uint64_t* offset, uint32_t* room) {
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = sections + static_cast<size_t>(i) * 40;
        uint32_t address = 0;
        uint32_t rawSize = 0;
        uint32_t rawOffset = 0;
        if (!ReadU32(head, headSize, at + 12, &address) ||
            !ReadU32(head, headSize, at + 16, &rawSize) ||
            !ReadU32(head, headSize, at + 20, &rawOffset)) {
            return false;
        }
        if (rva >= address && rva - address < rawSize) {
            *offset = static_cast<uint64_t>(rawOffset) + (rva - address);
            *room = rawSize - (rva - address);
            return true;
        }
    }
    return false;
}

bool LocatePe(const uint8_t* head, size_t headSize, size_t peAt, ImageMarkers* markers) {
    const size_t fileHeader = peAt + 4;
    uint16_t sectionCount = 0;
    uint16_t optionalSize = 0;
    uint16_t magic = 0;
    if (!ReadU16(head, headSize, fileHeader + 2, &sectionCount) ||
        !ReadU32(head, headSize, fileHeader + 4, &markers->timeStamp) ||
        !ReadU16(head, headSize, fileHeader + 16, &optionalSize) ||
        !ReadU16(head, headSize, fileHeader + 20, &magic) ||
        !ReadU32(head, headSize, fileHeader + 20 + 64, &markers->checkSum)) {
        return false;
    }
    markers->format = kImagePe;
    const size_t optional = fileHeader + 20;
    const size_t countAt = optional + (magic == kPe32PlusMagic ? 108 : 92);
    uint32_t directories = 0;
    uint32_t rva = 0;
    uint32_t size = 0;
    uint64_t offset = 0;
    uint32_t room = 0;
    // A directory the header cannot reach, or one outside every section, is
    // no part of the markers; the time stamp and checksum still are.
    if ((magic == kPe32Magic || magic == kPe32PlusMagic) &&
        ReadU32(head, headSize, countAt, &directories) && directories > kResourceDirectory &&
        ReadU32(head, headSize, countAt + 4 + kResourceDirectory * 8, &rva) &&
        ReadU32(head, headSize, countAt + 8 + kResourceDirectory * 8, &size) && size != 0 &&
        RvaToFile(head, headSize, optional + optionalSize, sectionCount, rva, &offset, &room)) {
        markers->tableOffset = offset;
        markers->tableSize = size < room ? size : room;
    }
    return true;
}

bool LocateNe(const uint8_t* head, size_t headSize, size_t neAt, ImageMarkers* markers) {
    uint16_t tableAt = 0;
    uint16_t namesAt = 0;
    if (!ReadU32(head, headSize, neAt + 8, &markers->checkSum) ||
        !ReadU16(head, headSize, neAt + 0x24, &tableAt) ||
        !ReadU16(head, headSize, neAt + 0x26, &namesAt)) {
        return false;
    }
    markers->format = kImageNe;
    // The resource table ends where the resident names begin.
    if (namesAt > tableAt) {
        markers->tableOffset = static_cast<uint64_t>(neAt) + tableAt;
        markers->tableSize = static_cast<uint32_t>(namesAt - tableAt);
    }
    return true;
}

}  // namespace

bool LocateImageMarkers(const uint8_t* head, size_t headSize, uint64_t fileSize,
                        ImageMarkers* markers) {
    *markers = ImageMarkers{};
    uint16_t mz = 0;
    uint32_t newAt = 0;
    if (!ReadU16(head, headSize, 0, &mz) || mz != 0x5A4D || !ReadU32(head, headSize, 0x3C, &newAt))
        return false;
    uint32_t signature = 0;
    uint16_t shortSignature = 0;
    bool found = false;
    if (ReadU32(head, headSize, newAt, &signature) && signature == kPeSignature)
        found = LocatePe(head, headSize, newAt, markers);
    else if (ReadU16(head, headSize, newAt, &shortSignature) && shortSignature == kNeSignature)
        found = LocateNe(head, headSize, newAt, markers);
    if (!found) {
        *markers = ImageMarkers{};
        return false;
    }
    // Only what the file holds is summed, and never more than the cap.
    if (markers->tableOffset > fileSize) {
        markers->tableOffset = 0;
        markers->tableSize = 0;
    } else if (markers->tableSize > fileSize - markers->tableOffset) {
        markers->tableSize = static_cast<uint32_t>(fileSize - markers->tableOffset);
    }
    if (markers->tableSize > kMaxMarkedTableBytes)
        markers->tableSize = kMaxMarkedTableBytes;
    return true;
}

uint32_t MarkerChecksum(const uint8_t* bytes, size_t size) {
    uint32_t sum = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        sum ^= bytes[i];
        sum *= 16777619u;
    }
    return sum;
}

bool SameImageMarkers(const ImageMarkers& a, const ImageMarkers& b) {
    return a.format == b.format && a.timeStamp == b.timeStamp && a.checkSum == b.checkSum &&
           a.tableOffset == b.tableOffset && a.tableSize == b.tableSize && a.tableSum == b.tableSum;
}
