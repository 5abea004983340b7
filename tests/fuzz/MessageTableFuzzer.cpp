// Any bytes as a message table, and as a PE image whose message tables are
// read: every row's text is read whole and checked against the rules a list
// relies on (sorted, one row per ID, texts inside the resource, no NUL).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/executables/ResourceDirectory.h"
#include "formats/texts/MessageTable.h"

namespace {

void ReadTable(const uint8_t* data, size_t size) {
    std::vector<MessageRow> rows(MessageRowsBound(size));
    uint32_t count = 0;
    if (ReadMessageTable(data, size, 0, rows.data(), static_cast<uint32_t>(rows.size()), &count) !=
        0)
        return;
    volatile uint32_t sum = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const MessageRow& row = rows[i];
        if ((i > 0 && rows[i - 1].id >= row.id) || row.encoding > kMessageUtf8 ||
            row.textOffset > size || row.textBytes > size - row.textOffset)
            __builtin_trap();
        const uint32_t unit = row.encoding == kMessageUnicode ? 2 : 1;
        for (uint32_t b = 0; b < row.textBytes; b += unit) {
            if (data[row.textOffset + b] == 0 && (unit == 1 || data[row.textOffset + b + 1] == 0))
                __builtin_trap();
        }
        sum = sum + MessageTextWithoutBreak(data + row.textOffset, row.textBytes, row.encoding);
        char id[11];
        MessageIdText(row.id, id, sizeof id);
    }
}

struct Image {
    const uint8_t* data;
    uint64_t bytesLeft;  // as the page's count of a language's messages reads at most
};

int ReadLeaf(const ResourceLeaf& leaf, void* user) {
    Image* image = static_cast<Image*>(user);
    if (leaf.type.text != nullptr || leaf.type.id != 11 || !leaf.dataInFile ||
        leaf.size > image->bytesLeft)
        return 1;
    image->bytesLeft -= leaf.size;
    ReadTable(image->data + leaf.fileOffset, leaf.size);
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadTable(data, size);
    PeResourceSection section;
    Image image = {data, 2 * static_cast<uint64_t>(size)};
    if (LocatePeResources(data, size, &section))
        WalkPeResources(section, ReadLeaf, &image);
    return 0;
}
