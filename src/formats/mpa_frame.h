#pragma once
// MPEG-1, MPEG-2 and MPEG-2.5 audio frame headers (layers I, II and III), their bit-rate and
// sample-rate tables (ISO/IEC 11172-3, 13818-3), the "Xing"/"Info" frame that some encoders put
// first, and the display texts of version, layer, channel mode and emphasis.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnix {

class TMPAFrame {
  public:
    // Sample rates by version (MPEG-1, MPEG-2, MPEG-2.5, reserved) and the header's 2-bit index.
    static const std::array<std::array<std::uint16_t, 4>, 4> kSampleRates;
    // Bit rates in kbit/s: MPEG-1 layers I, II, III; MPEG-2/2.5 layer I; MPEG-2/2.5 layers II and
    // III; reserved. 0 = free format, 65535 = invalid.
    static const std::array<std::array<std::uint16_t, 16>, 6> kBitRates;
    static constexpr std::uint16_t kInvalidBitRate = 65535;

    virtual ~TMPAFrame() = default;

    // Parses a 4-byte header; sets and returns `valid` (a known sample rate and bit rate).
    bool ParseHeader(std::span<const std::uint8_t> header);
    // Copies the header values (not the tables or the payload) of another frame.
    void CopyHeaderValues(const TMPAFrame& other);

    // Layer I 384; layer II 1152; layer III 1152 (MPEG-1) or 576 (MPEG-2/2.5); 0 when reserved.
    std::uint16_t SamplesPerFrame() const;
    // Length of the whole frame in bytes; 0 for free format or an invalid frame.
    std::uint16_t FrameLength() const;
    // Frame length minus the 4 header bytes; 0 for free format or an invalid frame.
    std::uint16_t PayloadLength() const;
    // 1 for mono, 2 otherwise.
    int ChannelCount() const { return channelMode == 3 ? 1 : 2; }

    std::uint8_t version = 0;      // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5, 3 reserved
    std::uint8_t layer = 0;        // 0 layer I, 1 layer II, 2 layer III, 3 reserved
    std::uint8_t channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    bool crcProtected = false;     // the protection bit is 0
    std::uint16_t bitRate = 0;     // kbit/s
    std::uint16_t sampleRate = 0;  // Hz
    bool valid = false;
    bool padding = false;
    bool privateBit = false;
    bool copyright = false;
    bool original = false;
    std::uint8_t emphasis = 0;
    std::array<std::uint8_t, 4> rawHeader{};
};

// A frame whose payload may carry a "Xing" or "Info" tag instead of audio.
class TMPAInfoFrame : public TMPAFrame {
  public:
    // Offset of the tag in the payload: after the side information of the frame's kind.
    std::size_t TagOffset() const;
    // Looks for the tag in the payload; sets tagKind (0 "Xing", 1 "Info") when found.
    bool DetectTag();

    std::uint8_t tagKind = 0;
    std::vector<std::uint8_t> payload;
};

class TMPALameFrame : public TMPAInfoFrame {};

std::string MPAVersionName(unsigned version);
std::string MPALayerName(unsigned layer);
// The main window's list: "Stereo", "Joint Stereo", "Dual", "Mono"; empty otherwise.
std::string MPAModeName(unsigned mode);
// The information report: "Stereo", "Join Stereo", "Dual", "Mono"; "Unknown" otherwise.
std::string MPAModeReportName(unsigned mode);
std::string MPAEmphasisName(unsigned emphasis);

}  // namespace varnix
