// The byte layouts of what a copy puts on the clipboard: a member image over
// white as a packed DIB, a bitmap resource as a packed DIB with an information
// header, the length of a decoded clip frame, and a clip's sound as a RIFF WAVE
// file. Every input that comes from a target file is checked here before it is
// read; the platform side only allocates, draws and hands blocks over.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Member images ----

// How a member's image copy (header height already halved) becomes a packed
// DIB over white.
struct MemberCopyPlan {
    uint32_t width;
    uint32_t height;
    uint16_t sourceBitCount;
    uint16_t bitCount;          // of the output
    uint32_t sourceEntries;     // colour entries the image itself carries
    uint32_t sourceHeaderSize;  // where the image's colour table starts
    uint32_t colourEntries;     // of the output's table (2, 16, 256 or 0)
    uint32_t colourBitsOffset;  // in the image copy
    uint32_t maskOffset;        // in the image copy
    uint32_t imageBytes;        // output pixel bytes
    uint32_t blockBytes;        // 40 + 4 * colourEntries + imageBytes
    // A 32-bit image whose alpha is not all zero: blended by its alpha. Any
    // other image is drawn through its mask.
    bool blendAlpha;
};

// False when the image cannot be copied: a PNG stream, a header or bits that
// do not fit the copy's size, or an output that would pass 2 GB.
bool PlanMemberCopy(const uint8_t* image, size_t size, MemberCopyPlan* plan);

// Writes the output's 40-byte header and colour table (40 + 4 * colourEntries
// bytes): the image's own colours with their fourth byte cleared, and white
// in every entry a promotion to a deeper table added.
void WriteMemberCopyHeader(const uint8_t* image, const MemberCopyPlan& plan, uint8_t* out);

// Blends pixelCount blue-green-red-alpha pixels over white: each colour byte v
// becomes floor((v * A + 127) / 255) + 255 - A; the fourth byte becomes 0.
void BlendOverWhite(const uint8_t* pixels, size_t pixelCount, uint8_t* out);

// ---- Bitmap resources ----

struct BitmapCopyPlan {
    bool coreHeader;       // converted to a 40-byte header
    uint32_t coreEntries;  // RGBTRIPLE entries converted
    uint32_t blockBytes;   // size of the CF_DIB block
};

// False when the resource cannot be drawn as it stands (header, colour table
// or pixel bits outside its size): nothing of it is copied.
bool PlanBitmapCopy(const uint8_t* data, size_t size, BitmapCopyPlan* plan);

// Writes plan.blockBytes bytes: an information header resource unchanged; a
// core header one with a 40-byte header, four-byte colour entries and the
// remaining bytes unchanged.
void WriteBitmapCopy(const uint8_t* data, size_t size, const BitmapCopyPlan& plan, uint8_t* out);

// ---- Clip frames ----

// Length of a packed DIB from the header at its start (headerBytes of which
// are readable): header, colour table (bit-field masks counted only for a
// 40-byte header), and rows of |height|, or the image size of a compressed
// form. 0 when the header is not a usable information header.
uint64_t PackedDibLength(const uint8_t* header, size_t headerBytes);

// Length of a frame that the AVI layer hands back undecoded: its header and
// table are the stream's format of formatBytes, its pixels the frameBytes the
// stream read for it. 0 when the header describes a table or pixels other than
// those bytes hold.
uint64_t PassThroughFrameLength(const uint8_t* frame, uint32_t formatBytes, uint32_t frameBytes);

// ---- Sound ----

// Offset of the "data" chunk's contents: the format block is followed by a pad
// byte when its length is odd, so that the chunk stays word-aligned.
uint64_t WaveDataOffset(uint32_t formatBytes);

// Bytes of the WAVE block; 0 when it would pass 2 GB.
uint32_t WaveBlockBytes(uint32_t formatBytes, uint32_t dataBytes);

// Writes the RIFF, "fmt " and "data" headers (and a zero pad byte) around a
// format of formatBytes at offset 20 and dataBytes of data at WaveDataOffset;
// block holds WaveBlockBytes(formatBytes, dataBytes) bytes.
void WriteWaveHeaders(uint8_t* block, uint32_t formatBytes, uint32_t dataBytes);
