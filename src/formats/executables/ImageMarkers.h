// What a target file carries in its own headers that changes when it is
// rebuilt or replaced, even by a copy that keeps its size and write time: a PE
// image's time stamp and checksum, and the bytes of its resource directory
// (a 16-bit image's resource table and its header's CRC field).
#pragma once

#include <cstddef>
#include <cstdint>

// The first bytes of the file that the markers are read from.
constexpr uint32_t kMarkerHeadBytes = 4096;
// At most this much of the resource directory is summed: the directory's
// tables and entries come first, the data after them.
constexpr uint32_t kMaxMarkedTableBytes = 65536;

enum ImageFormat : uint32_t { kImageUnknown = 0, kImagePe = 1, kImageNe = 2 };

struct ImageMarkers {
    uint32_t format;     // ImageFormat
    uint32_t timeStamp;  // PE file header's TimeDateStamp; 0 for NE
    uint32_t checkSum;   // PE optional header's CheckSum; NE header's CRC field
    uint64_t tableOffset;
    uint32_t tableSize;  // bytes of the resource directory to sum, 0 for none
    uint32_t tableSum;   // MarkerChecksum of those bytes
};

// Reads the markers' header fields from head (the file's first headSize
// bytes) and where the resource directory lies in a file of fileSize bytes.
// False when head holds no PE or NE image; the markers are then all 0.
bool LocateImageMarkers(const uint8_t* head, size_t headSize, uint64_t fileSize,
                        ImageMarkers* markers);

// The offset of the PE or NE header that the DOS header in head points at.
bool ImageHeaderOffset(const uint8_t* head, size_t headSize, uint32_t* newAt);

// True when the header, at *newAt, lies too far into the file for head (the
// file's first headSize bytes) to hold it with its section table: the markers
// are then read from a second read of kMarkerHeadBytes from *newAt on.
bool MarkerWindowNeeded(const uint8_t* head, size_t headSize, uint32_t* newAt);

// As LocateImageMarkers, from window: windowSize bytes of the file from
// windowAt on, holding the header that begins at newAt.
bool LocateImageMarkersAt(const uint8_t* window, size_t windowSize, uint64_t windowAt,
                          uint32_t newAt, uint64_t fileSize, ImageMarkers* markers);

// A checksum of the resource directory's bytes (FNV-1a).
uint32_t MarkerChecksum(const uint8_t* bytes, size_t size);

// The file the markers were read from is the same image as before.
bool SameImageMarkers(const ImageMarkers& a, const ImageMarkers& b);
