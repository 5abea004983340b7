// Clips from the fixture writer read back, and patched where a fact must come
// from one header field and not from another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "formats/bytes/LittleEndian.h"
#include "formats/clips/ClipHeaders.h"
#include "writers/AviWriter.h"

namespace {

// Offset of the body of the nth chunk with the code.
size_t BodyOf(const Bytes& clip, const char* code, int nth = 0) {
    auto at = std::search(clip.begin(), clip.end(), code, code + 4);
    for (; nth > 0 && at != clip.end(); --nth)
        at = std::search(at + 1, clip.end(), code, code + 4);
    EXPECT_NE(clip.end(), at) << code;
    return static_cast<size_t>(at - clip.begin()) + 8;
}

// "WxH hundredths", or "no clip, " and the facts left behind.
std::string Read(const Bytes& clip, size_t size) {
    ClipFacts facts = {7, 7, 7};
    bool read = ReadClipFacts(clip.data(), size, &facts);
    std::string text = std::to_string(facts.frameWidth) + "x" + std::to_string(facts.frameHeight) +
                       " " + std::to_string(facts.hundredths);
    return read ? text : "no clip, " + text;
}

std::string Read(const Bytes& clip) {
    return Read(clip, clip.size());
}

TEST(ClipHeaders, MadeClipsReadAsTheDeviceAndTheFileLayerGaveThem) {
    EXPECT_EQ("32x24 40", Read(MakeClip({32, 24, 24, 4, 10, 11025})));
    EXPECT_EQ("32x24 40", Read(MakeClip({32, 24, 32, 4, 10, 0})));
    EXPECT_EQ("80x6 105", Read(MakeClip({80, 6, 24, 21, 20, 0})));
    // 4408 samples at 11025 a second are 399.8 ms, which the file layer rounds up.
    EXPECT_EQ("0x0 40", Read(MakeClip({0, 0, 24, 4, 10, 11025})));
}

TEST(ClipHeaders, EachFactComesFromItsOwnField) {
    // The frame size is the video format's, whatever the main header says.
    Bytes claimed = MakeClip({32, 24, 24, 4, 10, 0}, {40, 30, 0});
    EXPECT_EQ("40x30 40", Read(claimed));
    PutU32(claimed, BodyOf(claimed, "strf") + 8, static_cast<uint32_t>(-30));
    EXPECT_EQ("40x30 40", Read(claimed));
    PutU32(claimed, BodyOf(claimed, "strf") + 4, 0);
    EXPECT_EQ("0x0 40", Read(claimed));
    // Only the first video stream's: the sound stream made a second video
    // stream, whose format reads as 11025 x 11025.
    Bytes twoVideos = MakeClip({32, 24, 24, 4, 10, 11025});
    std::memcpy(&twoVideos[BodyOf(twoVideos, "strh", 1)], "vids", 4);
    EXPECT_EQ("32x24 40", Read(twoVideos));

    // With video the main header's frames count, not the streams; no 32-bit wrap.
    Bytes av = MakeClip({32, 24, 24, 4, 10, 11025});
    PutU32(av, BodyOf(av, "avih") + 16, 7);
    EXPECT_EQ("32x24 70", Read(av));
    PutU32(av, BodyOf(av, "avih"), 0xFFFFFFFF);
    PutU32(av, BodyOf(av, "avih") + 16, 0xFFFFFFFF);
    EXPECT_EQ("32x24 429496729", Read(av));

    // Without video, start + length samples; below 1000 a second rounded down:
    // 5408 samples at 536 a second are 10089.6 ms.
    Bytes sound = MakeClip({0, 0, 24, 4, 10, 11025});
    const size_t strh = BodyOf(sound, "strh");
    PutU32(sound, strh + 24, 536);
    PutU32(sound, strh + 28, 1000);
    EXPECT_EQ("0x0 1008", Read(sound));
    // From 1000 a second on rounded up: 10004 samples at 2001 per 2 units
    // are 9999.0005 ms.
    PutU32(sound, strh + 20, 2);
    PutU32(sound, strh + 24, 2001);
    PutU32(sound, strh + 28, 10004 - PeekU32(&sound[strh + 32]));
    EXPECT_EQ("0x0 1000", Read(sound));
    PutU32(sound, strh + 20, 0xFFFFFFFF);
    EXPECT_EQ("0x0 429496729", Read(sound));
    PutU32(sound, strh + 20, 0);
    EXPECT_EQ("0x0 0", Read(sound));
}

TEST(ClipHeaders, OddChunksArePaddedAndCutFramesLeaveWholeHeaders) {
    Bytes clip = MakeClip({32, 24, 24, 4, 10, 11025});
    const Bytes junk = {'J', 'U', 'N', 'K', 3, 0, 0, 0, 1, 2, 3, 0};
    clip.insert(clip.begin() + static_cast<ptrdiff_t>(BodyOf(clip, "avih") + 56), junk.begin(),
                junk.end());
    PutU32(clip, 4, PeekU32(&clip[4]) + 12);    // RIFF
    PutU32(clip, 16, PeekU32(&clip[16]) + 12);  // LIST 'hdrl'
    EXPECT_EQ("32x24 40", Read(clip));
    EXPECT_EQ("32x24 40", Read(clip, BodyOf(clip, "movi") + 100));

    // Cut inside a header, a short sound format, a form that is no clip.
    EXPECT_EQ("no clip, 0x0 0", Read(clip, BodyOf(clip, "avih") + 20));
    EXPECT_EQ("no clip, 0x0 0", Read(clip, BodyOf(clip, "strf") + 30));
    EXPECT_EQ("no clip, 0x0 0", Read(clip, 11));
    Bytes shortSound = clip;
    PutU32(shortSound, BodyOf(shortSound, "strf", 1) - 4, 12);
    EXPECT_EQ("no clip, 0x0 0", Read(shortSound));
    std::memcpy(&clip[8], "WAVE", 4);
    EXPECT_EQ("no clip, 0x0 0", Read(clip));
}

}  // namespace
