#include "media/ClipCopy.h"

#include <vfw.h>

#include <cstring>

#include "formats/clips/MemoryFile.h"
#include "formats/output/ClipboardBlocks.h"
#include "media/ClipDevice.h"
#include "media/ClipboardPut.h"

namespace {

// What the stream holds for the first frame: its format's size and
// compression, and the bytes of the frame itself.
struct FrameSource {
    uint32_t formatBytes;
    uint32_t compression;
    uint32_t frameBytes;
};

bool ReadFrameSource(PAVISTREAM stream, uint32_t clipSize, FrameSource* source) {
    LONG formatBytes = 0;
    LONG frameBytes = 0;
    if (AVIStreamReadFormat(stream, AVIStreamStart(stream), nullptr, &formatBytes) != 0 ||
        AVIStreamRead(stream, 0, 1, nullptr, 0, &frameBytes, nullptr) != 0) {
        return false;
    }
    // Both come from the clip's own bytes: neither can be longer than the clip.
    if (formatBytes < static_cast<LONG>(sizeof(BITMAPINFOHEADER)) || frameBytes < 0 ||
        static_cast<uint32_t>(formatBytes) > clipSize ||
        static_cast<uint32_t>(frameBytes) > clipSize) {
        return false;
    }
    // The header alone is enough; a longer format reports the short buffer.
    BITMAPINFOHEADER header = {};
    LONG headerBytes = sizeof(header);
    HRESULT result = AVIStreamReadFormat(stream, AVIStreamStart(stream), &header, &headerBytes);
    if (result != 0 && result != AVIERR_BUFFERTOOSMALL)
        return false;
    source->formatBytes = static_cast<uint32_t>(formatBytes);
    source->compression = header.biCompression;
    source->frameBytes = static_cast<uint32_t>(frameBytes);
    return true;
}

// The bytes of the frame that may be copied; 0 when its header and the bytes
// behind it disagree. An uncompressed stream's frame comes back as the layer
// read it, in a buffer of the stream's sizes, whatever its header claims; a
// decoded one in a buffer the decoder sized from its own header.
uint64_t CopyableFrameLength(const BITMAPINFOHEADER* header, const FrameSource& source) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(header);
    if (source.compression == BI_RGB)
        return PassThroughFrameLength(bytes, source.formatBytes, source.frameBytes);
    return PackedDibLength(bytes, header->biSize);
}

// False when the frame's block could not be allocated: the sound is then not
// tried either. A frame whose header describes more than its bytes hold is an
// error of the clip's and copies nothing.
bool ReadFirstFrame(PAVIFILE file, uint32_t clipSize, ClipCopy* copy) {
    PAVISTREAM stream = nullptr;
    HRESULT result = AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
    if (result == AVIERR_NODATA)
        return true;
    if (result != 0) {
        copy->aviError = result;
        return false;
    }
    bool allocated = true;
    FrameSource source = {};
    PGETFRAME frames = ReadFrameSource(stream, clipSize, &source)
                           ? AVIStreamGetFrameOpen(stream, nullptr)
                           : nullptr;
    if (frames != nullptr) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, 0));
        uint64_t length = header != nullptr ? CopyableFrameLength(header, source) : 0;
        if (header != nullptr && length == 0)
            copy->aviError = AVIERR_BADFORMAT;
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
    HRESULT result = OpenClipFile(name, OF_READ, &file);
    if (result != 0) {
        copy->aviError = result;
    } else {
        if (ReadFirstFrame(file, size, copy) && copy->aviError == 0)
            ReadSound(file, size, copy);
        AVIFileRelease(file);
    }
    AVIFileExit();
}
