#include "page/ItemTexts.h"

#include "common/TextWriter.h"

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
