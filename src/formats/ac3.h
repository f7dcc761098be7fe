#pragma once
// Dolby Digital (AC3, ATSC A/52) frames: the header fields Varnix reads, the tables that give
// them meaning, the per-file queries, and the walk over frames of differing lengths.
//
// Nothing is decoded: an AC3 stream is a sequence of frames of 1536 samples each, and cuts fall
// on frame boundaries.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/progress.h"
#include "core/timecode.h"

namespace varnix {

class ByteSource;

constexpr std::uint32_t kAC3SamplesPerFrame = 1536;
constexpr unsigned kAC3FrameSizeCodes = 38;
// Bytes of a frame header that hold every field read here (sync word to the LFE flag).
constexpr std::size_t kAC3HeaderBytes = 7;
// Bytes that the per-file queries of the channel mode, LFE flag, bit-stream mode and bit-rate
// index read: a file shorter than this gives 0 for them.
constexpr std::size_t kAC3QueryBytes = 10;

// Frame length in 16-bit words by sample-rate code (48 kHz, 44.1 kHz, 32 kHz) and frame-size
// code 0..37 (ATSC A/52 frame size code table).
extern const std::array<std::array<std::uint16_t, kAC3FrameSizeCodes>, 3> AC3FrameSizeTable;
// Bits per second by bit-rate index (see GetAC3BitRateIndex); 32..50 repeat 0..18 for the
// 44.1 kHz streams, whose index has bit 5 set.
extern const std::array<std::uint32_t, 51> AC3BitRateTable;
// Full-bandwidth channels by audio coding mode 0..7.
extern const std::array<unsigned, 8> AC3ChannelCounts;
extern const std::array<const char*, 8> AC3ChannelModeNames;
extern const std::array<const char*, 8> AC3BitStreamModeNames;

// Sample rate of a sample-rate code: 48000, 44100, 32000, and 48000 for the reserved code 3.
std::uint32_t AC3SampleRate(unsigned fscod);
// Frame length in bytes; 0 for the reserved sample-rate code 3 or a frame-size code above 37.
std::uint32_t AC3FrameBytes(unsigned fscod, unsigned frmsizecod);
// Bit rate of a bit-rate index; 0 outside the table.
std::uint32_t AC3BitRate(unsigned bitRateIndex);
// "Dolby " + channel count + ".1" with LFE, ".0" without (acmod 7 with LFE: "Dolby 5.1").
std::string AC3SystemText(unsigned acmod, bool lfe);
// The LFE flag of a header (at least 7 bytes): it follows the optional mix-level fields that
// the audio coding mode calls for.
bool ParseAC3LFE(std::span<const std::uint8_t> header);

// The fields of one frame header.
struct AC3Header {
    bool sync = false;  // bytes 0-1 are 0B 77
    std::uint8_t fscod = 0;
    std::uint8_t frmsizecod = 0;
    std::uint8_t bsid = 0;
    std::uint8_t bsmod = 0;
    std::uint8_t acmod = 0;
    bool lfeon = false;

    // Reads the fields from the first bytes of a frame. True when the bytes hold a whole header
    // (7 bytes) that begins with the sync word and gives a frame length.
    bool decode(std::span<const std::uint8_t> bytes);
    std::uint32_t frameBytes() const { return AC3FrameBytes(fscod, frmsizecod); }
    std::uint32_t sampleRate() const { return AC3SampleRate(fscod); }
    // (byte 4 >> 1) & 0x3F: frmsizecod div 2, plus 32 when the low bit of fscod is set.
    unsigned bitRateIndex() const { return ((fscod << 5) | (frmsizecod >> 1)) & 0x3F; }
};

// Per-file queries. Each reads the first bytes of the file and assumes it begins with a frame;
// a file too short for the bytes a query needs counts as unreadable and gives 0 / false.
unsigned GetAC3SampleRateCode(const std::string& fileName);
unsigned GetAC3ChannelMode(const std::string& fileName);
bool GetAC3LFE(const std::string& fileName);
unsigned GetAC3BitStreamMode(const std::string& fileName);
unsigned GetAC3BitRateIndex(const std::string& fileName);
// Length in bytes of the first frame; 0 without the sync word or a frame length.
std::uint32_t GetAC3FrameBytes(const std::string& fileName);
// Samples of the whole file (see AC3FrameLayout); 0 without the sync word or a frame length, and
// 0 when the file cannot be read to its end.
std::uint64_t GetAC3TotalSamples(const std::string& fileName);
// The time code of the last video frame that the samples reach (non-drop-frame for NTSC).
TimeCode AC3SamplesToTimeCode(unsigned fscod, double fps, std::int64_t samples);

// Where the frames of an AC3 file lie.
//
// Most streams hold frames of one length L, and frame i starts at i x L. A 44.1 kHz stream mixes
// two lengths (834 and 836 bytes at 192 kbit/s), and a file joined from streams of different bit
// rates changes length where they meet. Such files are walked frame by frame from the start, each
// frame by its own length, until a position without the sync word, a frame length of 0, or a
// frame that runs past the end of the file; only walked frames count, and frameStarts holds the
// start of every walked frame plus the end of the last one.
struct AC3FrameLayout {
    std::uint64_t fileSize = 0;
    std::uint32_t firstFrameBytes = 0;  // L; 0 when the file does not begin with a usable header
    std::uint8_t sampleRateCode = 0;    // fscod of the first frame
    bool uniform = true;                // every walked frame is L bytes long
    // Uniform: file size div L. Otherwise: the frames walked.
    std::uint64_t frameCount = 0;
    // Only when not uniform: frameCount + 1 offsets (the last is the end of the last frame).
    std::vector<std::uint64_t> frameStarts;

    std::uint64_t totalSamples() const { return frameCount * kAC3SamplesPerFrame; }
    // Byte offset where frame `index` starts: index x L when uniform (at most the file size);
    // otherwise the walked start, or the file size for an index past the last walked frame.
    std::uint64_t frameStart(std::uint64_t index) const;
};

// The layout of a file. A 48 kHz or 32 kHz stream is taken as uniform without a walk when a few
// frames spread over the file (the second, the middle and the last whole one) all have the
// first frame's length; otherwise, and always at 44.1 kHz, the file is walked through a
// read-ahead block. A file that cannot be opened or read gives the empty layout (no frames).
AC3FrameLayout ReadAC3FrameLayout(const std::string& fileName);
// The same over any source; `alwaysWalk` skips the shortcut for uniform streams. Throws IoError
// when the source cannot be read.
AC3FrameLayout ReadAC3FrameLayoutOf(ByteSource& source, bool alwaysWalk = false);

// The starts of the frames `indices` (ascending, repeats allowed) by the rules of
// AC3FrameLayout::frameStart, found in one walk that keeps only these offsets, so that memory
// does not grow with the file; `idle` is called every 2048 frames of a walk (at most 7.5 MiB).
// Without a usable first header every start is 0. Throws IoError when the source cannot be read.
std::vector<std::uint64_t> FindAC3FrameStarts(ByteSource& source,
                                              const std::vector<std::uint64_t>& indices,
                                              bool alwaysWalk = false,
                                              const IdleCallback& idle = {});

}  // namespace varnix
