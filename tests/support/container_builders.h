#pragma once
// Builders of MPEG program and transport streams around an elementary video stream, for the
// demuxer tests: packs and PES packets of both syntaxes with other streams between them, and
// transport packets with PAT, PMT, adaptation fields and null packets.

#include <cstdint>
#include <vector>

namespace varnix::test {

using Bytes = std::vector<std::uint8_t>;

struct ProgramStreamLayout {
    bool mpeg1 = false;  // MPEG-1 packs and PES headers (stuffing, buffer, time stamps)
    std::size_t payloadBytes = 2000;  // video bytes per PES packet
    bool otherStreams = true;         // a system header, audio, private stream 1 and padding
    std::uint8_t videoId = 0xE0;
};

// The video `es` in a program stream, ending with the end code.
Bytes BuildProgramStream(const Bytes& es, const ProgramStreamLayout& layout = {});

struct TransportStreamLayout {
    std::size_t packetSize = 188;  // 192: a four-byte time stamp before every packet
    std::size_t pesBytes = 20000;  // video bytes per PES packet
    unsigned videoStreamType = 2;  // in the PMT; 0x1b says H.264
    bool nullPackets = true;       // a null packet after every tenth packet
    bool withPAT = true;
    bool withPMT = true;
};

struct TransportStream {
    Bytes bytes;
    // Where each packet carrying video starts (the time stamp of a 192-byte packet included).
    std::vector<std::size_t> videoPackets;
};

TransportStream BuildTransportStream(const Bytes& es, const TransportStreamLayout& layout = {});

inline constexpr int kBuiltVideoPid = 0x100;
inline constexpr int kBuiltPMTPid = 0x1000;

}  // namespace varnix::test
