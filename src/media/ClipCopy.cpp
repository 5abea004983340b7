#include "media/ClipCopy.h"

#include <vfw.h>

#include <cstring>

#include "media/ClipboardBlocks.h"
#include "media/ClipboardPut.h"
#include "media/MemoryFile.h"

namespace {

const CLSID kAviFileClass = {0x00020000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// False when the frame's block could not be allocated: the sound is then not
// tried either.
bool ReadFirstFrame(PAVIFILE file, ClipCopy* copy) {
    PAVISTREAM stream = nullptr;
    HRESULT result = AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
    if (result == AVIERR_NODATA)
        return true;
    if (result != 0) {
        copy->aviError = result;
        return false;
    }
    bool allocated = true;
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    if (frames != nullptr) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, 0));
        uint64_t length = 0;
        if (header != nullptr) {
            // The decoder wrote the header it describes: as long as it says.
            length = PackedDibLength(reinterpret_cast<const uint8_t*>(header), header->biSize);
        }
        if (length != 0) {
            HGLOBAL block = AllocateClipboardBlock(static_cast<SIZE_T>(length));
            void* bytes = block != nullptr ? GlobalLock(block) : nullptr;
            if (bytes != nullptr) {
                memcpy(bytes, header, static_cast<size_t>(length));
                GlobalUnlock(block);
                copy->frame = block;
            } else {
                copy->systemError = block != nullptr ? ERROR_NOT_ENOUGH_MEMORY : GetLastError();
                if (block != nullptr)
                    GlobalFree(block);
                allocated = false;
            }
        }
        AVIStreamGetFrameClose(frames);
    }
    AVIStreamRelease(stream);
    return allocated;
}

// Reads format and samples into a new WAVE block; the sizes written are the
// bytes the stream actually gave.
void ReadSoundInto(PAVISTREAM stream, uint32_t clipSize, ClipCopy* copy) {
    const LONG start = AVIStreamStart(stream);
    const LONG length = AVIStreamLength(stream);
    LONG formatBytes = 0;
    HRESULT result = AVIStreamReadFormat(stream, start, nullptr, &formatBytes);
    LONG dataBytes = 0;
    if (result == 0)
        result = AVIStreamRead(stream, start, length, nullptr, 0, &dataBytes, nullptr);
    if (result != 0) {
        copy->aviError = result;
        return;
    }
    // Both come from the clip's own bytes: neither can be longer than the clip.
    if (formatBytes <= 0 || dataBytes < 0 || static_cast<uint32_t>(formatBytes) > clipSize ||
        static_cast<uint32_t>(dataBytes) > clipSize) {
        copy->aviError = AVIERR_BADFORMAT;
        return;
    }
    const uint32_t blockBytes =
        WaveBlockBytes(static_cast<uint32_t>(formatBytes), static_cast<uint32_t>(dataBytes));
    HGLOBAL block = blockBytes != 0 ? AllocateClipboardBlock(blockBytes) : nullptr;
    uint8_t* bytes = block != nullptr ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr;
    if (bytes == nullptr) {
        copy->systemError =
            block != nullptr || blockBytes == 0 ? ERROR_NOT_ENOUGH_MEMORY : GetLastError();
        if (block != nullptr)
            GlobalFree(block);
        return;
    }
    LONG formatRead = formatBytes;
    result = AVIStreamReadFormat(stream, start, bytes + 20, &formatRead);
    if (formatRead < 0 || formatRead > formatBytes)
        formatRead = formatBytes;
    LONG dataRead = 0;
    if (result == 0) {
        // A shorter format moves the data no further than the block allows.
        result = AVIStreamRead(stream, start, length,
                               bytes + WaveDataOffset(static_cast<uint32_t>(formatRead)), dataBytes,
                               &dataRead, nullptr);
    }
    if (dataRead < 0 || dataRead > dataBytes)
        dataRead = dataBytes;
    if (result == 0)
        WriteWaveHeaders(bytes, static_cast<uint32_t>(formatRead), static_cast<uint32_t>(dataRead));
    GlobalUnlock(block);
    if (result != 0) {
        copy->aviError = result;
        GlobalFree(block);
        return;
    }
    const uint32_t used =
        WaveBlockBytes(static_cast<uint32_t>(formatRead), static_cast<uint32_t>(dataRead));
    if (used < blockBytes) {
        HGLOBAL shrunk = GlobalReAlloc(block, used, GMEM_MOVEABLE);
        if (shrunk != nullptr)
            block = shrunk;
    }
    copy->wave = block;
}

void ReadSound(PAVIFILE file, uint32_t clipSize, ClipCopy* copy) {
    PAVISTREAM stream = nullptr;
    HRESULT result = AVIFileGetStream(file, &stream, streamtypeAUDIO, 0);
    if (result == AVIERR_NODATA)
        return;
    if (result != 0) {
        copy->aviError = result;
        return;
    }
    ReadSoundInto(stream, clipSize, copy);
    AVIStreamRelease(stream);
}

}  // namespace

void ReadClipCopy(const uint8_t* data, uint32_t size, ClipCopy* copy) {
    *copy = ClipCopy{};
    AVIFileInit();
    char name[kMemoryFileNameCapacity];
    MemoryFileName(name, 1, data, size);
    PAVIFILE file = nullptr;
    HRESULT result = AVIFileOpenA(&file, name, OF_READ, const_cast<CLSID*>(&kAviFileClass));
    if (result != 0) {
        copy->aviError = result;
    } else {
        if (ReadFirstFrame(file, copy) && copy->aviError == 0)
            ReadSound(file, size, copy);
        AVIFileRelease(file);
    }
    AVIFileExit();
}
