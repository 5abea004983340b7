#include "formats/output/ClipboardBlocks.h"

#include <cstring>

#include "formats/bytes/LittleEndian.h"
#include "formats/images/DibLayout.h"

namespace {

const uint32_t kInfoHeaderBytes = 40;
const uint32_t kCoreHeaderBytes = 12;
const uint32_t kBiRgb = 0;
const uint32_t kBiBitfields = 3;
const uint32_t kMaskEntries = 3;
// Clipboard blocks stay below 2 GB, where every consumer's sizes are signed.
const uint64_t kMaxBlockBytes = 0x7FFFFFFF;
// No information header is longer than the version 5 one.
const uint32_t kLongestInfoHeader = 124;

bool IsWhite(const uint8_t* entry) {
    return entry[0] == 255 && entry[1] == 255 && entry[2] == 255;
}

bool AlphaAllZero(const uint8_t* pixels, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i) {
        if (pixels[i * 4 + 3] != 0)
            return false;
    }
    return true;
}

bool AnyOwnEntryWhite(const uint8_t* image, const MemberCopyPlan& plan) {
    for (uint32_t i = 0; i < plan.sourceEntries; ++i) {
        if (IsWhite(image + plan.sourceHeaderSize + size_t{i} * 4))
            return true;
    }
    return false;
}

void WriteFourCC(uint8_t* at, const char* code) {
    memcpy(at, code, 4);
}

}  // namespace

bool PlanMemberCopy(const uint8_t* image, size_t size, MemberCopyPlan* plan) {
    *plan = MemberCopyPlan{};
    MemberImageLayout layout;
    // A PNG member would need the platform's decoder; it is not copied.
    if (!ReadMemberImageLayout(image, size, false, &layout) || layout.isPng)
        return false;
    plan->width = layout.width;
    plan->height = layout.height;
    plan->sourceBitCount = layout.bitCount;
    plan->sourceHeaderSize = layout.headerSize;
    plan->sourceEntries = layout.colorEntries;
    plan->colourBitsOffset = layout.colorBitsOffset;
    plan->maskOffset = layout.maskOffset;

    const uint32_t own = ColourEntriesByDepth(layout.bitCount);
    plan->bitCount = layout.bitCount;
    plan->colourEntries = own;
    if (own != 0 && !AnyOwnEntryWhite(image, *plan)) {
        // White must be a colour of the output: the next depth has room for it.
        plan->bitCount = own == 2 ? 4 : (own == 16 ? 8 : 32);
        plan->colourEntries = ColourEntriesByDepth(plan->bitCount);
    }
    // The layout has placed the colour bits inside size; sides are at most
    // 65535, so the products below stay far inside 64 bits.
    size_t pixels = size_t{layout.width} * layout.height;
    plan->blendAlpha =
        layout.bitCount == 32 && !AlphaAllZero(image + layout.colorBitsOffset, pixels);
    uint64_t imageBytes = PaddedRowBytes(layout.width, plan->bitCount) * layout.height;
    uint64_t blockBytes = kInfoHeaderBytes + uint64_t{plan->colourEntries} * 4 + imageBytes;
    if (blockBytes > kMaxBlockBytes)
        return false;
    plan->imageBytes = static_cast<uint32_t>(imageBytes);
    plan->blockBytes = static_cast<uint32_t>(blockBytes);
    return true;
}

void WriteMemberCopyHeader(const uint8_t* image, const MemberCopyPlan& plan, uint8_t* out) {
    memset(out, 0, kInfoHeaderBytes + size_t{plan.colourEntries} * 4);
    PokeU32(out, kInfoHeaderBytes);
    PokeU32(out + 4, plan.width);
    PokeU32(out + 8, plan.height);
    PokeU16(out + 12, 1);
    PokeU16(out + 14, plan.bitCount);
    uint8_t* table = out + kInfoHeaderBytes;
    const bool promoted = plan.bitCount != plan.sourceBitCount;
    for (uint32_t i = 0; i < plan.colourEntries; ++i) {
        uint8_t* entry = table + size_t{i} * 4;
        if (i < plan.sourceEntries) {
            memcpy(entry, image + plan.sourceHeaderSize + size_t{i} * 4, 3);
        } else if (promoted) {
            entry[0] = entry[1] = entry[2] = 255;
        }
        // Entries past a short table of an unpromoted image stay black: no
        // pixel names them.
    }
}

void BlendOverWhite(const uint8_t* pixels, size_t pixelCount, uint8_t* out) {
    for (size_t i = 0; i < pixelCount; ++i) {
        const uint8_t* in = pixels + i * 4;
        uint8_t* to = out + i * 4;
        const uint32_t alpha = in[3];
        for (int c = 0; c < 3; ++c)
            to[c] = static_cast<uint8_t>((in[c] * alpha + 127) / 255 + (255 - alpha));
        to[3] = 0;
    }
}

bool PlanBitmapCopy(const uint8_t* data, size_t size, BitmapCopyPlan* plan) {
    *plan = BitmapCopyPlan{};
    BitmapLayout layout;
    if (!ReadBitmapLayout(data, size, &layout) || size > kMaxBlockBytes)
        return false;
    if (layout.headerSize != kCoreHeaderBytes) {
        plan->blockBytes = static_cast<uint32_t>(size);
        return true;
    }
    // The layout has placed the triples and the bits inside size.
    plan->coreHeader = true;
    plan->coreEntries = layout.colorTableBytes / 3;
    uint64_t blockBytes =
        uint64_t{size} + plan->coreEntries + (kInfoHeaderBytes - kCoreHeaderBytes);
    if (blockBytes > kMaxBlockBytes)
        return false;
    plan->blockBytes = static_cast<uint32_t>(blockBytes);
    return true;
}

void WriteBitmapCopy(const uint8_t* data, size_t size, const BitmapCopyPlan& plan, uint8_t* out) {
    if (!plan.coreHeader) {
        memcpy(out, data, size);
        return;
    }
    memset(out, 0, kInfoHeaderBytes);
    PokeU32(out, kInfoHeaderBytes);
    PokeU32(out + 4, PeekU16(data + 4));
    PokeU32(out + 8, PeekU16(data + 6));
    PokeU16(out + 12, 1);
    PokeU16(out + 14, PeekU16(data + 10));
    uint8_t* table = out + kInfoHeaderBytes;
    const uint8_t* triples = data + kCoreHeaderBytes;
    for (uint32_t i = 0; i < plan.coreEntries; ++i) {
        memcpy(table + size_t{i} * 4, triples + size_t{i} * 3, 3);
        table[size_t{i} * 4 + 3] = 0;
    }
    size_t rest = kCoreHeaderBytes + size_t{plan.coreEntries} * 3;
    memcpy(table + size_t{plan.coreEntries} * 4, data + rest, size - rest);
}

namespace {

// Where a packed DIB's colour table ends and how many pixel bytes follow it.
struct PackedDibParts {
    uint64_t tableEnd;
    uint64_t pixelBytes;
};

bool ReadPackedDibParts(const uint8_t* header, size_t headerBytes, PackedDibParts* parts) {
    uint32_t headerSize = 0;
    if (!ReadU32(header, headerBytes, 0, &headerSize) || headerSize < kInfoHeaderBytes ||
        headerSize > kLongestInfoHeader || headerSize > headerBytes) {
        return false;
    }
    int32_t width = static_cast<int32_t>(PeekU32(header + 4));
    int32_t height = static_cast<int32_t>(PeekU32(header + 8));
    uint32_t bitCount = PeekU16(header + 14);
    uint32_t compression = PeekU32(header + 16);
    uint32_t imageSize = PeekU32(header + 20);
    uint32_t entries = PeekU32(header + 32);
    if (width <= 0 || height == 0 || bitCount == 0 || bitCount > 32)
        return false;
    const uint32_t byDepth = ColourEntriesByDepth(bitCount);
    if (entries == 0 || (byDepth != 0 && entries > byDepth))
        entries = byDepth;
    // A deep frame may name a table for palette devices; none is longer than 256.
    if (entries > 256)
        entries = 256;
    if (headerSize == kInfoHeaderBytes && compression == kBiBitfields && bitCount > 8)
        entries += kMaskEntries;
    uint64_t rows = height < 0 ? 0 - int64_t{height} : int64_t{height};
    parts->tableEnd = uint64_t{headerSize} + uint64_t{entries} * 4;
    parts->pixelBytes = compression == kBiRgb || compression == kBiBitfields
                            ? PaddedRowBytes(static_cast<uint32_t>(width), bitCount) * rows
                            : imageSize;
    return true;
}

}  // namespace

uint64_t PackedDibLength(const uint8_t* header, size_t headerBytes) {
    PackedDibParts parts;
    if (!ReadPackedDibParts(header, headerBytes, &parts))
        return 0;
    uint64_t length = parts.tableEnd + parts.pixelBytes;
    return length > kMaxBlockBytes ? 0 : length;
}

uint64_t PassThroughFrameLength(const uint8_t* frame, uint32_t formatBytes, uint32_t frameBytes) {
    PackedDibParts parts;
    // The header and its table are the stream's format, the pixels the bytes
    // read for the frame right behind it: a header that describes more than
    // either holds would have the copy read past them.
    if (!ReadPackedDibParts(frame, formatBytes, &parts) || parts.tableEnd != formatBytes ||
        parts.pixelBytes > frameBytes) {
        return 0;
    }
    uint64_t length = parts.tableEnd + parts.pixelBytes;
    return length > kMaxBlockBytes ? 0 : length;
}

uint64_t WaveDataOffset(uint32_t formatBytes) {
    return 28 + uint64_t{formatBytes} + (formatBytes & 1);
}

uint32_t WaveBlockBytes(uint32_t formatBytes, uint32_t dataBytes) {
    uint64_t bytes = WaveDataOffset(formatBytes) + dataBytes;
    return bytes > kMaxBlockBytes ? 0 : static_cast<uint32_t>(bytes);
}

void WriteWaveHeaders(uint8_t* block, uint32_t formatBytes, uint32_t dataBytes) {
    const uint32_t total = WaveBlockBytes(formatBytes, dataBytes);
    const size_t dataHeader = 20 + size_t{formatBytes} + (formatBytes & 1);
    WriteFourCC(block, "RIFF");
    PokeU32(block + 4, total - 8);
    WriteFourCC(block + 8, "WAVE");
    WriteFourCC(block + 12, "fmt ");
    PokeU32(block + 16, formatBytes);
    if (formatBytes & 1)
        block[20 + formatBytes] = 0;
    WriteFourCC(block + dataHeader, "data");
    PokeU32(block + dataHeader + 4, dataBytes);
}
