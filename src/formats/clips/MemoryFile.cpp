#include "formats/clips/MemoryFile.h"

#include <cstring>

#include "formats/bytes/TextWriter.h"

namespace {

// Reads at most maxDigits hex digits from text; stops at the first non-digit.
uint64_t ParseHex(const char** text, int maxDigits) {
    uint64_t value = 0;
    const char* p = *text;
    for (int i = 0; i < maxDigits; ++i, ++p) {
        int digit;
        if (*p >= '0' && *p <= '9') {
            digit = *p - '0';
        } else if (*p >= 'a' && *p <= 'f') {
            digit = *p - 'a' + 10;
        } else if (*p >= 'A' && *p <= 'F') {
            digit = *p - 'A' + 10;
        } else {
            break;
        }
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    *text = p;
    return value;
}

const int kAddressDigits = sizeof(void*) * 2;

}  // namespace

void MemoryFileName(char* name, int digit, const void* block, uint32_t size) {
    uint64_t address = reinterpret_cast<uintptr_t>(block);
    TextWriter text = StartText(name, kMemoryFileNameCapacity);
    AppendDecimal(&text, static_cast<uint32_t>(digit));
    AppendString(&text, ".$$$+");
    AppendHex(&text, address, kAddressDigits);
    AppendHex(&text, size, 8);
}

void OpenMemoryFile(MemoryFileState* file, const char* name) {
    file->addressLow = 0;
    file->addressHigh = 0;
    file->size = 0;
    // The digit and ".$$$+" are not looked at; a shorter name, or none at all,
    // parses as an empty file.
    const char* p = name != nullptr ? name : "";
    for (int i = 0; i < 6 && *p != '\0'; ++i)
        ++p;
    uint64_t address = ParseHex(&p, kAddressDigits);
    uint64_t size = ParseHex(&p, 8);
    file->addressLow = static_cast<uint32_t>(address);
    file->addressHigh = static_cast<uint32_t>(address >> 32);
    file->size = static_cast<int32_t>(static_cast<uint32_t>(size));
    file->position = 0;
}

int32_t ReadMemoryFile(MemoryFileState* file, void* buffer, int32_t count) {
    // A seek may leave the position anywhere; outside the block nothing is read.
    if (count <= 0 || file->position < 0 || file->size <= 0 || file->position >= file->size) {
        return 0;
    }
    int32_t available = file->size - file->position;
    if (count > available)
        count = available;
    memcpy(buffer, static_cast<const char*>(MemoryFileBlock(*file)) + file->position,
           static_cast<size_t>(count));
    file->position += count;
    return count;
}

int32_t SeekMemoryFile(MemoryFileState* file, int32_t offset, int32_t origin) {
    int64_t base;
    switch (origin) {
        case 0:
            base = 0;
            break;
        case 1:
            base = file->position;
            break;
        case 2:
            base = file->size;
            break;
        default:
            return file->position;
    }
    int64_t target = base + offset;
    // A target that does not fit the 32-bit position fails like a bad seek.
    if (target < INT32_MIN || target > INT32_MAX)
        return -1;
    file->position = static_cast<int32_t>(target);
    return file->position;
}

const void* MemoryFileBlock(const MemoryFileState& file) {
    uintptr_t address = file.addressLow;
#if UINTPTR_MAX > 0xFFFFFFFFu
    address |= static_cast<uintptr_t>(file.addressHigh) << 32;
#endif
    return reinterpret_cast<const void*>(address);
}
