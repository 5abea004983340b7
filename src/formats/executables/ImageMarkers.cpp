#include "formats/executables/ImageMarkers.h"

#include "formats/bytes/LittleEndian.h"

namespace {

// Bytes of the file from offset at on: the file's head, or the window read
// where the header lies.
struct Window {
    const uint8_t* bytes;
    size_t size;
    uint64_t at;
};

// Where offset lies in the window; false when before it or past its end.
bool WindowPlace(const Window& window, uint64_t offset, size_t* place) {
    if (offset < window.at || offset - window.at > window.size)
        return false;
    *place = static_cast<size_t>(offset - window.at);
    return true;
}

bool ReadU16At(const Window& window, uint64_t offset, uint16_t* value) {
    size_t place = 0;
    return WindowPlace(window, offset, &place) && ReadU16(window.bytes, window.size, place, value);
}

bool ReadU32At(const Window& window, uint64_t offset, uint32_t* value) {
    size_t place = 0;
    return WindowPlace(window, offset, &place) && ReadU32(window.bytes, window.size, place, value);
}

const uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
const uint16_t kNeSignature = 0x454E;      // "NE"
const uint16_t kPe32Magic = 0x10B;
const uint16_t kPe32PlusMagic = 0x20B;
const uint32_t kResourceDirectory = 2;

// The file offset of rva through the section table, and how many bytes of the
// section's stored data follow it.
bool RvaToFile(const Window& head, uint64_t sections, uint32_t count, uint32_t rva,
               uint64_t* offset, uint32_t* room) {
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = sections + static_cast<uint64_t>(i) * 40;
        uint32_t address = 0;
        uint32_t rawSize = 0;
        uint32_t rawOffset = 0;
        if (!ReadU32At(head, at + 12, &address) || !ReadU32At(head, at + 16, &rawSize) ||
            !ReadU32At(head, at + 20, &rawOffset)) {
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

bool LocatePe(const Window& head, uint64_t peAt, ImageMarkers* markers) {
    const uint64_t fileHeader = peAt + 4;
    uint16_t sectionCount = 0;
    uint16_t optionalSize = 0;
    uint16_t magic = 0;
    // The checksum lies at the same place in both optional headers; the
    // directories follow a 64-bit image's wider fields 16 bytes later.
    if (!ReadU16At(head, fileHeader + 2, &sectionCount) ||
        !ReadU32At(head, fileHeader + 4, &markers->timeStamp) ||
        !ReadU16At(head, fileHeader + 16, &optionalSize) ||
        !ReadU16At(head, fileHeader + 20, &magic) ||
        !ReadU32At(head, fileHeader + 20 + 64, &markers->checkSum)) {
        return false;
    }
    markers->format = kImagePe;
    const uint64_t optional = fileHeader + 20;
    const uint64_t countAt = optional + (magic == kPe32PlusMagic ? 108 : 92);
    uint32_t directories = 0;
    uint32_t rva = 0;
    uint32_t size = 0;
    uint64_t offset = 0;
    uint32_t room = 0;
    // A directory the header cannot reach, or one outside every section, is
    // no part of the markers; the time stamp and checksum still are.
    if ((magic == kPe32Magic || magic == kPe32PlusMagic) &&
        ReadU32At(head, countAt, &directories) && directories > kResourceDirectory &&
        ReadU32At(head, countAt + 4 + kResourceDirectory * 8, &rva) &&
        ReadU32At(head, countAt + 8 + kResourceDirectory * 8, &size) && size != 0 &&
        RvaToFile(head, optional + optionalSize, sectionCount, rva, &offset, &room)) {
        markers->tableOffset = offset;
        markers->tableSize = size < room ? size : room;
    }
    return true;
}

bool LocateNe(const Window& head, uint64_t neAt, ImageMarkers* markers) {
    uint16_t tableAt = 0;
    uint16_t namesAt = 0;
    if (!ReadU32At(head, neAt + 8, &markers->checkSum) || !ReadU16At(head, neAt + 0x24, &tableAt) ||
        !ReadU16At(head, neAt + 0x26, &namesAt)) {
        return false;
    }
    markers->format = kImageNe;
    // The resource table ends where the resident names begin.
    if (namesAt > tableAt) {
        markers->tableOffset = neAt + tableAt;
        markers->tableSize = static_cast<uint32_t>(namesAt - tableAt);
    }
    return true;
}

}  // namespace

bool ImageHeaderOffset(const uint8_t* head, size_t headSize, uint32_t* newAt) {
    uint16_t mz = 0;
    return ReadU16(head, headSize, 0, &mz) && mz == 0x5A4D && ReadU32(head, headSize, 0x3C, newAt);
}

bool MarkerWindowNeeded(const uint8_t* head, size_t headSize, uint32_t* newAt) {
    return ImageHeaderOffset(head, headSize, newAt) && *newAt >= headSize / 2;
}

bool LocateImageMarkersAt(const uint8_t* window, size_t windowSize, uint64_t windowAt,
                          uint32_t newAt, uint64_t fileSize, ImageMarkers* markers) {
    *markers = ImageMarkers{};
    const Window head = {window, windowSize, windowAt};
    uint32_t signature = 0;
    uint16_t shortSignature = 0;
    bool found = false;
    if (ReadU32At(head, newAt, &signature) && signature == kPeSignature)
        found = LocatePe(head, newAt, markers);
    else if (ReadU16At(head, newAt, &shortSignature) && shortSignature == kNeSignature)
        found = LocateNe(head, newAt, markers);
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

bool LocateImageMarkers(const uint8_t* head, size_t headSize, uint64_t fileSize,
                        ImageMarkers* markers) {
    *markers = ImageMarkers{};
    uint32_t newAt = 0;
    return ImageHeaderOffset(head, headSize, &newAt) &&
           LocateImageMarkersAt(head, headSize, 0, newAt, fileSize, markers);
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
