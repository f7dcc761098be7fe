#pragma once
// What a program or transport stream holds, from its first megabytes: which video stream a scan
// would follow, and whether that is MPEG-1/2 video; or what is missing.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "formats/video_demux.h"

namespace varnix {

enum class ContainerKind { None, ProgramStream, TransportStream };

struct ContainerInfo {
    ContainerKind kind = ContainerKind::None;
    std::size_t packetSize = 0;  // transport streams: 188 or 192
    bool mpeg1Packs = false;     // program streams: an MPEG-1 system stream
    int videoStreamId = -1;      // program streams: E0..EF
    int videoPid = -1;           // transport streams
    unsigned streamType = 0;     // transport streams: 1 or 2
    // The video stream holds MPEG-1/2 video: a sequence header within the first payload.
    bool mpegVideo = false;
    // What is missing when it does not ("no program map table (PMT)").
    std::string problem;

    // "MPEG program stream" or "MPEG transport stream", as refusals name the kind.
    std::string KindName() const;
    // The container as the report names it: "MPEG-2 program stream, video stream 0xe0",
    // "MPEG transport stream (192-byte packets), video PID 0x100".
    std::string Description() const;
};

// How many leading bytes the probe reads: PAT and PMT come every few hundred milliseconds.
inline constexpr std::size_t kContainerProbeBytes = 4u << 20;

// The container that the first bytes begin with (a pack header, or three transport sync bytes a
// packet apart); nothing more is looked at.
ContainerKind ContainerOfHead(std::span<const std::uint8_t> head);

// Reads `head`, the file's first bytes, through the demuxer of its container.
ContainerInfo ProbeContainer(std::span<const std::uint8_t> head);

// The container of a file from its first bytes (kContainerProbeBytes at most, fewer when they
// tell already); kind None when the file cannot be read or holds no container.
ContainerInfo ProbeContainerFile(const std::string& fileName);

// The demuxer that follows the video stream the probe found.
std::unique_ptr<VideoDemuxer> MakeVideoDemuxer(const ContainerInfo& info);

}  // namespace varnix
