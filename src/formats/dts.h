#pragma once
// DTS (Coherent Acoustics) core frames: the header fields Varnix reads, their tables, the
// per-file queries and the text report of a header. Nothing is decoded: every frame is taken to
// be as long as the first one and counts 512 samples when cutting.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varnix {

class ByteSource;

constexpr std::uint32_t kDTSSync = 0x7FFE8001;
constexpr std::uint32_t kDTSSamplesPerFrame = 512;
// The sync word and the 11 bytes after it hold every core header field up to DIALNORM.
constexpr std::size_t kDTSCoreHeaderBytes = 15;
// The bytes that the DTSHeader record is filled from (sync word to RATE).
constexpr std::size_t kDTSHeaderBytes = 10;
// Channel arrangements from this code on are user defined and have no entry in the tables.
constexpr unsigned kDTSUserDefinedArrangement = 15;

// Sample rate by SFREQ (0 and the reserved codes give 0).
extern const std::array<std::uint32_t, 16> DTSSampleRateTable;
// By AMODE 0..14.
extern const std::array<unsigned, 15> DTSChannelCounts;
extern const std::array<const char*, 15> DTSChannelLongNames;
extern const std::array<const char*, 15> DTSChannelShortNames;
// Bit-rate texts in kbit/s by RATE 0..31 ("768", ..., "Variable", "Lossless").
extern const std::array<const char*, 32> DTSBitRateTexts;
// Bits per second by RATE 0..29, as the reports and lists show them (754500 for code 15).
extern const std::array<std::uint32_t, 30> DTSBitRateTable;

// Table lookups that give 0 (or "User defined") outside the tables.
std::uint32_t DTSSampleRate(unsigned sfreq);
unsigned DTSChannelCount(unsigned amode);
std::string DTSChannelLongName(unsigned amode);
std::uint32_t DTSBitRate(unsigned rateCode);

// Every field of a core frame header, in stream order.
struct DTSCoreHeader {
    std::uint32_t sync = 0;
    unsigned ftype = 0, shortCount = 0, cpf = 0, nblks = 0, fsize = 0, amode = 0, sfreq = 0,
             rate = 0, mix = 0, dynf = 0, timef = 0, auxf = 0, hdcd = 0, extAudioId = 0,
             extAudio = 0, aspf = 0, lff = 0, hflag = 0, hcrc = 0, filts = 0, vernum = 0, chist = 0,
             pcmr = 0, sumf = 0, sums = 0, dialnorm = 0;

    // Reads the sync word and the fields from the 11 bytes after it (missing bytes read as 0).
    // True when the sync word is 7F FE 80 01.
    bool decode(std::span<const std::uint8_t> bytes);
};

// The record that the probe and the cutter use, filled from the first 10 bytes of a file.
struct DTSHeader {
    std::uint32_t sync = 0;
    std::uint8_t frameType = 0;     // FTYPE
    std::uint8_t deficit = 0;       // (SHORT + 1) mod 32
    std::uint16_t blocks = 0;       // NBLKS + 1
    std::uint32_t frameBytes = 0;   // FSIZE + 1
    std::uint16_t channelCode = 0;  // AMODE
    std::uint8_t rateIndex = 0;     // SFREQ - 1, or 0 when SFREQ is 0
    std::uint16_t bitRateCode = 0;  // RATE

    // Fills the record from the first bytes of a frame; true when the sync word matches. Without
    // it the record is zero apart from the sync value; with fewer than 10 bytes it is all zero.
    bool decode(std::span<const std::uint8_t> bytes);
};

// The header of a file's first frame. Unless `force` is set, only a file whose name ends in ".dts"
// (in any letter case) is read. None for another name, a file shorter than the header, or one
// that does not begin with the sync word.
std::optional<DTSHeader> ReadDTSHeader(const std::string& fileName, bool force);
// Frames in the file: its size div the frame length, where a first frame not followed by a sync
// word counts as 2048 bytes long. 0 without the sync word, and 0 when the file cannot be read.
std::uint64_t GetDTSFrameCount(const std::string& fileName);
// The same count over any source; throws IoError when the source cannot be read.
std::uint64_t CountDTSFrames(ByteSource& source);
// Sample rate of the first frame; 0 when the file is too short or the code is invalid.
std::uint32_t GetDTSSampleRate(const std::string& fileName);
// True when the first frame carries low-frequency effects.
bool GetDTSLFE(const std::string& fileName);
// One line per header field (labels and values), starting with the sync check.
std::string DTSHeaderReport(const std::string& fileName);
std::string DTSHeaderReportOf(std::span<const std::uint8_t> bytes);
// The low n bits of v, most significant first ("110" for 6, 3); empty for n <= 0.
std::string BinaryText(std::uint32_t value, int n);

}  // namespace varnix
