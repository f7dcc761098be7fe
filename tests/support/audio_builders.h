#pragma once
// Builders of synthetic AC3, DTS, MPEG audio and WAV streams for tests: correct headers from
// parameters, filler payloads that never look like a sync word, whole streams of N frames.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varnix::test {

using Bytes = std::vector<std::uint8_t>;

// Bytes that never contain 0xFF, 0x0B 0x77 or 0x7F 0xFE (no accidental sync word).
Bytes Filler(std::size_t count, std::uint8_t seed = 0);
// Concatenation.
Bytes Join(std::initializer_list<Bytes> parts);

// ---- AC3 ----
struct AC3FrameParams {
    int fscod = 0;        // 0 48 kHz, 1 44.1 kHz, 2 32 kHz, 3 reserved
    int frmsizecod = 30;  // 448 kbit/s
    int bsid = 8;
    int bsmod = 0;
    int acmod = 7;  // 3/2
    int cmixlev = 1;
    int surmixlev = 1;
    int dsurmod = 0;
    bool lfeon = true;
};
// The length in bytes the frame-size table gives (0 for fscod 3 or codes above 37).
std::size_t AC3FrameLength(const AC3FrameParams& p);
// One frame: header fields by the parameters, filler up to the frame length (at least the 8
// header bytes when the table gives no length).
Bytes BuildAC3Frame(const AC3FrameParams& p);
// N frames; with alternate44k1 every second frame takes the odd frame-size code of the same bit
// rate (at 44.1 kHz one word longer), as 44.1 kHz encoders mix them.
Bytes BuildAC3Stream(const AC3FrameParams& p, int frames, bool alternate44k1 = false);

// ---- DTS ----
struct DTSFrameParams {
    int ftype = 1, shortCount = 31, cpf = 0, nblks = 15, fsize = 2011, amode = 9, sfreq = 13,
        rate = 15, mix = 0, dynf = 0, timef = 0, auxf = 0, hdcd = 0, extAudioId = 0, extAudio = 0,
        aspf = 1, lff = 2, hflag = 1, hcrc = 0, filts = 0, vernum = 7, chist = 0, pcmr = 6,
        sumf = 0, sums = 0, dialnorm = 0;
};
// One core frame of FSIZE + 1 bytes (at least the 15 header bytes).
Bytes BuildDTSFrame(const DTSFrameParams& p);
Bytes BuildDTSStream(const DTSFrameParams& p, int frames);

// ---- MPEG audio ----
struct MPAFrameParams {
    int version = 0;  // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5, 3 reserved
    int layer = 1;    // 0 layer I, 1 layer II, 2 layer III, 3 reserved
    bool crc = true;  // protection bit 0
    int bitRateIndex = 10;
    int sampleRateIndex = 1;  // 48 kHz for MPEG-1
    bool padding = false;
    bool privateBit = false;
    int mode = 0;  // 0 stereo, 1 joint, 2 dual, 3 mono
    int modeExtension = 0;
    bool copyright = false;
    bool original = false;
    int emphasis = 0;
};
std::uint32_t MPAHeaderWord(const MPAFrameParams& p);
// Bytes of a whole frame by the standard's formula; 0 for free format or an invalid header.
std::size_t MPAFrameLength(const MPAFrameParams& p);
// Samples per frame of the parameters' layer and version.
std::size_t MPASamplesPerFrame(const MPAFrameParams& p);
// One frame; a free-format or invalid header gets `freeLength` bytes in all.
Bytes BuildMPAFrame(const MPAFrameParams& p, std::size_t freeLength = 0);
Bytes BuildMPAStream(const MPAFrameParams& p, int frames);
// An ID3v2.3 tag: a 10-byte header announcing `size` bytes (synchsafe), then that many bytes.
Bytes BuildID3v2Tag(std::uint32_t size);
// The header alone, announcing `size` bytes (which need not follow).
Bytes BuildID3v2Header(std::uint32_t size);
// A first frame whose payload carries `tag` ("Xing" or "Info") after the side information.
Bytes BuildMPATagFrame(const MPAFrameParams& p, const std::string& tag);

// ---- WAV ----
struct WAVFormat {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 2;
    std::uint32_t sampleRate = 48000;
    std::uint16_t bitsPerSample = 16;
    std::optional<std::uint32_t> byteRate;    // default: blockAlign x sampleRate
    std::optional<std::uint16_t> blockAlign;  // default: channels x bits / 8
    std::uint32_t fmtSize = 16;               // 16, 18 (cbSize 0) or 40 (extensible)
};
struct RIFFChunk {
    std::string id;
    Bytes body;
    std::optional<std::uint32_t> declaredSize;  // default: body size
    bool pad = true;                            // a pad byte after an odd body
};
RIFFChunk FmtChunk(const WAVFormat& f);
// A data chunk of `bytes` sample bytes (a ramp), declaring `declared` when given.
RIFFChunk DataChunk(std::size_t bytes, std::optional<std::uint32_t> declared = std::nullopt);
RIFFChunk ListChunk(const std::string& text);
RIFFChunk FactChunk(std::uint32_t samples);
// "RIFF", the RIFF size (default: everything after it), "WAVE", then the chunks in order.
Bytes BuildRIFF(const std::vector<RIFFChunk>& chunks,
                std::optional<std::uint32_t> riffSize = std::nullopt);
// The plain layout: fmt then data.
Bytes BuildWAV(const WAVFormat& f, std::size_t dataBytes);

}  // namespace varnix::test
