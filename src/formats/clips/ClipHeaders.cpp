// Chunks are walked by offset inside runs that never reach past the bytes:
// each run ends at its list's end or at the bytes' end, whichever comes first,
// a chunk's header is tested before it is read, and a header chunk is used only
// when the whole of it lies inside its run.
#include "formats/clips/ClipHeaders.h"

#include "formats/bytes/LittleEndian.h"

namespace {

constexpr uint32_t FourCc(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24);
}

const uint32_t kRiffId = FourCc("RIFF");
const uint32_t kAviForm = FourCc("AVI ");
const uint32_t kListId = FourCc("LIST");
const uint32_t kHeaderList = FourCc("hdrl");
const uint32_t kMainHeaderId = FourCc("avih");
const uint32_t kStreamList = FourCc("strl");
const uint32_t kStreamHeaderId = FourCc("strh");
const uint32_t kStreamFormatId = FourCc("strf");
const uint32_t kVideoStream = FourCc("vids");
const uint32_t kSoundStream = FourCc("auds");

const size_t kChunkHeaderBytes = 8;
const size_t kListTypeBytes = 4;
const size_t kFormHeaderBytes = 12;  // 'RIFF', size, form type

const size_t kMicroSecPerFrameOffset = 0;
const size_t kTotalFramesOffset = 16;
const size_t kStreamsOffset = 24;
const uint32_t kMainHeaderBytes = 28;

const size_t kScaleOffset = 20;
const size_t kRateOffset = 24;
const size_t kStartOffset = 28;
const size_t kLengthOffset = 32;
const uint32_t kStreamHeaderBytes = 36;

const size_t kWidthOffset = 4;
const size_t kHeightOffset = 8;
const uint32_t kVideoFormatBytes = 12;
const uint32_t kSoundFormatBytes = 14;

const uint32_t kLargestSigned = 0x7FFFFFFF;
const uint64_t kMaxMilliseconds = 0xFFFFFFFF;
// From this many samples a second on, the file layer rounds a time up.
const uint32_t kRoundUpRate = 1000;

// The chunks from at up to end; end never passes the bytes' size.
struct ChunkRun {
    size_t at;
    size_t end;
    uint32_t walked;
};

struct Chunk {
    uint32_t id;
    size_t body;
    uint32_t bodyBytes;  // as its header says; may reach past the run
};

bool NextChunk(const uint8_t* data, ChunkRun* run, Chunk* chunk) {
    if (run->walked >= kMaxClipChunks || !BytesInside(run->end, run->at, kChunkHeaderBytes))
        return false;
    ++run->walked;
    chunk->id = PeekU32(data + run->at);
    chunk->bodyBytes = PeekU32(data + run->at + 4);
    chunk->body = run->at + kChunkHeaderBytes;
    // A body of odd size is followed by a pad byte. The size is compared with
    // what is left rather than added, which could wrap a 32-bit size_t.
    if (chunk->bodyBytes >= run->end - chunk->body) {
        run->at = run->end;
    } else {
        run->at = chunk->body + chunk->bodyBytes + (chunk->bodyBytes & 1u);
    }
    return true;
}

bool FindChunk(const uint8_t* data, ChunkRun* run, uint32_t id, Chunk* chunk) {
    while (NextChunk(data, run, chunk)) {
        if (chunk->id == id)
            return true;
    }
    return false;
}

// The next list of the type in run, its chunks cut at run's end.
bool FindList(const uint8_t* data, ChunkRun* run, uint32_t type, ChunkRun* list) {
    Chunk chunk;
    while (FindChunk(data, run, kListId, &chunk)) {
        if (chunk.bodyBytes < kListTypeBytes ||
            !BytesInside(run->end, chunk.body, kListTypeBytes) ||
            PeekU32(data + chunk.body) != type) {
            continue;
        }
        size_t left = run->end - chunk.body;
        list->at = chunk.body + kListTypeBytes;
        list->end = chunk.bodyBytes < left ? chunk.body + chunk.bodyBytes : run->end;
        list->walked = 0;
        return true;
    }
    return false;
}

// A header chunk lies wholly inside its run and holds the fields read from it.
bool HeaderFits(const ChunkRun& run, const Chunk& chunk, uint32_t need) {
    return chunk.bodyBytes >= need && BytesInside(run.end, chunk.body, chunk.bodyBytes);
}

// The next chunk of the id in run, when it is a header that fits.
bool FindHeader(const uint8_t* data, ChunkRun* run, uint32_t id, uint32_t need, Chunk* chunk) {
    return FindChunk(data, run, id, chunk) && HeaderFits(*run, *chunk, need);
}

uint32_t Hundredths(uint64_t milliseconds) {
    if (milliseconds > kMaxMilliseconds)
        milliseconds = kMaxMilliseconds;
    return static_cast<uint32_t>(milliseconds / 10);
}

// samples * scale * 1000 / rate, without passing 64 bits on the way.
uint64_t SoundMilliseconds(uint64_t samples, uint32_t scale, uint32_t rate) {
    if (scale == 0 || rate == 0)
        return 0;
    if (samples > UINT64_MAX / scale)
        return kMaxMilliseconds;
    uint64_t units = samples * scale;
    uint64_t whole = units / rate;
    if (whole > kMaxMilliseconds / 1000)
        return kMaxMilliseconds;
    uint64_t fraction = units % rate * 1000;
    if (rate / scale >= kRoundUpRate)
        fraction += rate - 1;
    return whole * 1000 + fraction / rate;
}

}  // namespace

bool ReadClipFacts(const uint8_t* data, size_t size, ClipFacts* facts) {
    *facts = ClipFacts{0, 0, 0};
    if (!BytesInside(size, 0, kFormHeaderBytes) || PeekU32(data) != kRiffId ||
        PeekU32(data + 8) != kAviForm) {
        return false;
    }
    uint32_t riffBytes = PeekU32(data + 4);
    if (riffBytes < kListTypeBytes)
        return false;
    ChunkRun form = {kFormHeaderBytes, riffBytes < size - 8 ? 8 + size_t{riffBytes} : size, 0};
    ChunkRun headers;
    Chunk main;
    if (!FindList(data, &form, kHeaderList, &headers) ||
        !FindHeader(data, &headers, kMainHeaderId, kMainHeaderBytes, &main)) {
        return false;
    }
    uint32_t streams = PeekU32(data + main.body + kStreamsOffset);
    if (streams > kMaxClipStreams)
        streams = kMaxClipStreams;

    bool video = false;
    bool sound = false;
    uint32_t width = 0;
    uint32_t height = 0;
    uint64_t soundMilliseconds = 0;
    for (uint32_t n = 0; n < streams; ++n) {
        ChunkRun list;
        if (!FindList(data, &headers, kStreamList, &list))
            break;
        Chunk header;
        if (!FindChunk(data, &list, kStreamHeaderId, &header))
            continue;
        if (!HeaderFits(list, header, kStreamHeaderBytes))
            return false;
        const uint8_t* fields = data + header.body;
        uint32_t type = PeekU32(fields);
        Chunk format;
        if (type == kVideoStream && !video) {
            if (!FindHeader(data, &list, kStreamFormatId, kVideoFormatBytes, &format))
                return false;
            video = true;
            width = PeekU32(data + format.body + kWidthOffset);
            height = PeekU32(data + format.body + kHeightOffset);
            // A negative height, of a top-down format, as its magnitude.
            if (height > kLargestSigned)
                height = 0u - height;
        } else if (type == kSoundStream && !sound) {
            if (!FindHeader(data, &list, kStreamFormatId, kSoundFormatBytes, &format))
                return false;
            sound = true;
            uint64_t end =
                uint64_t{PeekU32(fields + kStartOffset)} + PeekU32(fields + kLengthOffset);
            soundMilliseconds = SoundMilliseconds(end, PeekU32(fields + kScaleOffset),
                                                  PeekU32(fields + kRateOffset));
        }
    }

    if (width != 0 && width <= kLargestSigned && height != 0 && height <= kLargestSigned) {
        facts->frameWidth = width;
        facts->frameHeight = height;
    }
    if (video) {
        uint64_t frames = PeekU32(data + main.body + kTotalFramesOffset);
        facts->hundredths =
            Hundredths(frames * PeekU32(data + main.body + kMicroSecPerFrameOffset) / 1000);
    } else if (sound) {
        facts->hundredths = Hundredths(soundMilliseconds);
    }
    return true;
}
