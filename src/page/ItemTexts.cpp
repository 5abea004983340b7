#include "page/ItemTexts.h"

#include "formats/TextWriter.h"

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

void FormatRecordName(const BoundedName& name, char* buffer, size_t size) {
    TextWriter text = StartText(buffer, size);
    if (!name.isText) {
        AppendDecimal(&text, name.id);
        return;
    }
    AppendChars(&text, "\"", 1);
    AppendChars(&text, name.text, name.length);
    AppendChars(&text, "\"", 1);
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
