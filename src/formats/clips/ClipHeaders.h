// An AVI clip's length and frame size from its own headers, so that the clip
// list is built without opening the multimedia device: RIFF 'AVI ' { LIST
// 'hdrl' { 'avih', LIST 'strl' { 'strh', 'strf', ... } per stream, ... }, ... }.
// The facts are those the page used to ask the device for (and, for a clip
// without video, the AVI file layer), so that the list reads as it did:
//
// - Frame size: biWidth (at 4) by |biHeight| (at 8) of the first video
//   stream's format, its 'strf' (a BITMAPINFOHEADER): the source rectangle the
//   device plays. A top-down format (negative height) shows the same picture. A
//   width or height of 0 or less, or one that a signed 32-bit number cannot
//   hold, is no picture: 0 x 0, as is a clip without a video stream ('vids' in
//   its 'strh').
// - Length with video: dwTotalFrames (at 16) frames of dwMicroSecPerFrame (at
//   0) microseconds from 'avih', in milliseconds rounded down. The device counts
//   its length from the main header alone, never from the streams' own rates.
//   The product is taken in 64 bits, so a clip of more than 71 minutes does not
//   wrap round to a short one.
// - Length without video: the first sound stream ('auds') to its end, dwStart
//   (at 28) + dwLength (at 32) samples of dwScale (at 20) / dwRate (at 24)
//   seconds from its 'strh', in milliseconds rounded as the file layer rounds
//   them: down while rate / scale is below 1000 samples a second, up otherwise.
//   These are the stream header's rate and scale, not the sound format's
//   sample rate: for compressed sound only the header's count the stream's
//   samples. A rate or scale of 0 gives no length; so does a clip with neither
//   video nor sound.
// - hundredths: those milliseconds / 10, rounded down, with the milliseconds
//   capped at 0xFFFFFFFF, the most either source could answer.
//
// Which bytes count: a RIFF size beyond the bytes is taken as the bytes there
// are, and so is any list's size beyond its parent's end: a clip cut short in
// its frames still has whole headers, and players show it. 'avih' and the
// formats of the first video and the first sound stream must be there, since
// the device plays no clip without them. Every header read must lie wholly
// inside its list and hold every field read from it; a sound format must hold
// a whole 14-byte WAVEFORMAT, as the device refuses a shorter one.
// The stream lists are the first dwStreams (at 24 of 'avih') 'strl' lists
// after 'avih', and a stream's format is the first 'strf' after its 'strh', the
// order the device reads them in; a list without a 'strh' is passed over.
// Later video and sound streams are not looked at.
#pragma once

#include <cstddef>
#include <cstdint>

// So that a hostile clip costs bounded time: no more stream lists than this,
// whatever dwStreams says, and no list is walked beyond this many chunks.
const uint32_t kMaxClipStreams = 64;
const uint32_t kMaxClipChunks = 256;

struct ClipFacts {
    uint32_t frameWidth;  // 0 with frameHeight 0: no picture
    uint32_t frameHeight;
    uint32_t hundredths;  // the clip's length in hundredths of a second
};

// Reads the RIFF "AVI " form's header list: 'avih', and each stream's 'strh' and
// 'strf' in LIST 'strl'. False (and facts all 0) when the bytes are not such a clip
// or a header lies outside them.
bool ReadClipFacts(const uint8_t* data, size_t size, ClipFacts* facts);
