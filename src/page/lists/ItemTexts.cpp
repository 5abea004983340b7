#include "page/lists/ItemTexts.h"

#include "catalogue/ResourceKinds.h"
#include "formats/bytes/TextWriter.h"

const char kSizeColumnSample[] = "000000x000000";
const char kHotSpotColumnSample[] = "(00,00)";

const char* ColourDepthText(int32_t bitsPerPixel, bool legacyShellMode) {
    if (bitsPerPixel <= 1)
        return legacyShellMode ? "ﾓﾉｸﾛ" : "モノクロ";
    if (bitsPerPixel <= 4)
        return "16 色";
    if (bitsPerPixel <= 8)
        return "256 色";
    if (bitsPerPixel <= 16)
        return "16 bpp";
    if (bitsPerPixel <= 24)
        return "24 bpp";
    return "32 bpp";
}

const char* DepthColumnSample(bool legacyShellMode) {
    // Half-width katakana make the monochrome text the narrower one.
    return legacyShellMode ? "256 色" : "モノクロ";
}

bool ReadRecordName(const PictureStore& store, const uint8_t* record, BoundedName* name) {
    const uint8_t* block = *store.block;
    if (block == nullptr || record < block)
        return false;
    uint64_t offset = static_cast<uint64_t>(record - block);
    uint64_t used = static_cast<uint64_t>(*store.used < 0 ? 0 : *store.used);
    if (offset + store.fixedPart > used)
        return false;
    return ReadBoundedName(record + store.fixedPart,
                           static_cast<size_t>(used - offset - store.fixedPart), name);
}

namespace {

void AppendRecordName(TextWriter* text, const BoundedName& name, bool quoted) {
    if (!name.isText) {
        AppendDecimal(text, name.id);
        return;
    }
    if (quoted)
        AppendChars(text, "\"", 1);
    AppendChars(text, name.text, name.length);
    if (quoted)
        AppendChars(text, "\"", 1);
}

}  // namespace

void FormatRecordName(const BoundedName& name, char* buffer, size_t size) {
    TextWriter text = StartText(buffer, size);
    AppendRecordName(&text, name, true);
}

void FormatBareRecordName(const BoundedName& name, char* buffer, size_t size) {
    TextWriter text = StartText(buffer, size);
    AppendRecordName(&text, name, false);
}

void WriteSizeText(char* buffer, size_t capacity, int32_t width, int32_t height) {
    // A top-down bitmap stores its height negative; its picture is as high.
    auto side = [](int32_t value) {
        return value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    };
    TextWriter text = StartText(buffer, capacity);
    AppendDecimal(&text, side(width));
    AppendChars(&text, "x", 1);
    AppendDecimal(&text, side(height));
}

void WriteClipLengthText(char* buffer, size_t capacity, uint32_t hundredths) {
    TextWriter seconds = StartText(buffer, capacity);
    AppendDecimal(&seconds, hundredths / 100);
    AppendChars(&seconds, ".", 1);
    AppendDecimal(&seconds, hundredths % 100, 2);
    AppendString(&seconds, " 秒");
}

void ReadPictureLines(int32_t kind, const uint8_t* record, bool legacyShellMode,
                      PictureLines* lines) {
    lines->size[0] = '\0';
    lines->second[0] = '\0';
    const bool clip = kind == kKindAvi;
    const int32_t width = ReadRecordI32(record, clip ? kAviFrameWidthOffset : kBitmapWidthOffset);
    const int32_t height =
        ReadRecordI32(record, clip ? kAviFrameHeightOffset : kBitmapHeightOffset);
    if (width != 0 && height != 0)
        WriteSizeText(lines->size, sizeof(lines->size), width, height);
    if (clip) {
        WriteClipLengthText(lines->second, sizeof(lines->second),
                            static_cast<uint32_t>(ReadRecordI32(record, kAviLengthOffset)));
        return;
    }
    const int32_t bitsPerPixel = ReadRecordI32(record, kBitmapBitsPerPixelOffset);
    if (bitsPerPixel != 0) {
        TextWriter depth = StartText(lines->second, sizeof(lines->second));
        AppendString(&depth, ColourDepthText(bitsPerPixel, legacyShellMode));
    }
}

void ReadMemberColumns(const GroupMember& member, bool cursor, bool legacyShellMode,
                       MemberColumns* columns) {
    columns->depth = ColourDepthText(static_cast<int32_t>(member.bitsPerPixel), legacyShellMode);
    WriteSizeText(columns->size, sizeof(columns->size), static_cast<int32_t>(member.width),
                  static_cast<int32_t>(member.height));
    TextWriter hotSpot = StartText(columns->hotSpot, sizeof(columns->hotSpot));
    if (!cursor)
        return;
    AppendChars(&hotSpot, "(", 1);
    AppendDecimal(&hotSpot, member.hotSpotX);
    AppendChars(&hotSpot, ",", 1);
    AppendDecimal(&hotSpot, member.hotSpotY);
    AppendChars(&hotSpot, ")", 1);
}
