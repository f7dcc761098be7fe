#include "formats/container_probe.h"

#include <algorithm>
#include <vector>

#include "core/file.h"

#include "formats/ps_demux.h"
#include "formats/ts_demux.h"

namespace varnix {

namespace {

// Payload looked at for the first sequence header.
constexpr std::size_t kPayloadProbeBytes = 256u << 10;

bool HoldsSequenceHeader(std::span<const std::uint8_t> payload) {
    for (std::size_t i = 0; i + 4 <= payload.size(); ++i) {
        if (payload[i] == 0 && payload[i + 1] == 0 && payload[i + 2] == 1 &&
            payload[i + 3] == 0xB3) {
            return true;
        }
    }
    return false;
}

std::string StreamTypesText(const std::vector<unsigned>& types) {
    std::string text;
    for (const unsigned type : types) {
        text += (text.empty() ? "" : ", ") + HexText(type, 2);
    }
    return text.empty() ? "none" : text;
}

// Feeds the head and keeps the first payload bytes of the video stream.
std::vector<std::uint8_t> FirstPayload(VideoDemuxer& demuxer, std::span<const std::uint8_t> head) {
    std::vector<std::uint8_t> payload;
    const PayloadSink keep = [&payload](std::int64_t, std::span<const std::uint8_t> bytes) {
        const std::size_t room = kPayloadProbeBytes - std::min(kPayloadProbeBytes, payload.size());
        payload.insert(payload.end(), bytes.begin(),
                       bytes.begin() + static_cast<std::ptrdiff_t>(std::min(room, bytes.size())));
    };
    demuxer.Feed(head, 0, true, keep);
    return payload;
}

}  // namespace

std::string ContainerInfo::KindName() const {
    return kind == ContainerKind::TransportStream ? "MPEG transport stream" : "MPEG program stream";
}

std::string ContainerInfo::Description() const {
    if (kind == ContainerKind::TransportStream) {
        return "MPEG transport stream (" + std::to_string(packetSize) +
               "-byte packets), video PID " + HexText(static_cast<unsigned>(videoPid), 4) +
               " (stream type " + HexText(streamType, 2) + ")";
    }
    return std::string(mpeg1Packs ? "MPEG-1 system stream" : "MPEG-2 program stream") +
           ", video stream " + HexText(static_cast<unsigned>(videoStreamId), 2);
}

ContainerKind ContainerOfHead(std::span<const std::uint8_t> head) {
    if (StartsWithPackHeader(head)) {
        return ContainerKind::ProgramStream;
    }
    if (TransportPacketSize(head) != 0) {
        return ContainerKind::TransportStream;
    }
    return ContainerKind::None;
}

ContainerInfo ProbeContainer(std::span<const std::uint8_t> head) {
    ContainerInfo info;
    info.kind = ContainerOfHead(head);
    if (info.kind == ContainerKind::ProgramStream) {
        ProgramStreamDemuxer demuxer;
        const auto payload = FirstPayload(demuxer, head);
        info.mpeg1Packs = demuxer.Mpeg1Packs();
        info.videoStreamId = demuxer.VideoStreamId();
        info.mpegVideo = HoldsSequenceHeader(payload);
        if (info.videoStreamId < 0) {
            info.problem = "no video stream (no PES packet of a stream E0..EF)";
        } else if (!info.mpegVideo) {
            info.problem = "its video stream " + HexText(unsigned(info.videoStreamId), 2) +
                           " holds no MPEG-1/2 video (no sequence header)";
        }
    } else if (info.kind == ContainerKind::TransportStream) {
        info.packetSize = TransportPacketSize(head);
        TransportStreamDemuxer demuxer(info.packetSize);
        const auto payload = FirstPayload(demuxer, head);
        info.videoPid = demuxer.VideoPid();
        info.streamType = demuxer.VideoStreamType();
        info.mpegVideo = info.videoPid >= 0 && HoldsSequenceHeader(payload);
        if (!demuxer.SawPAT()) {
            info.problem = "no program association table (PAT)";
        } else if (!demuxer.SawPMT()) {
            info.problem = "no program map table (PMT) for the first program";
        } else if (info.videoPid < 0) {
            info.problem = "no MPEG-1/2 video in the program map (stream types: " +
                           StreamTypesText(demuxer.StreamTypes()) + ")";
        } else if (!info.mpegVideo) {
            info.problem = "its video (PID " + HexText(unsigned(info.videoPid), 4) +
                           ") holds no sequence header";
        }
    }
    return info;
}

ContainerInfo ProbeContainerFile(const std::string& fileName) {
    BinaryFile file(fileName, BinaryFile::Mode::Read);
    if (!file) {
        return {};
    }
    // Most files tell within their first 64 KiB; the rest within the first megabytes.
    std::vector<std::uint8_t> head(std::size_t{64} << 10);
    std::size_t got = file.read(head.data(), head.size());
    ContainerInfo info = ProbeContainer(std::span<const std::uint8_t>(head.data(), got));
    if (info.kind == ContainerKind::None || info.mpegVideo || got < head.size()) {
        return info;
    }
    head.resize(kContainerProbeBytes);
    got += file.read(head.data() + got, head.size() - got);
    return ProbeContainer(std::span<const std::uint8_t>(head.data(), got));
}

std::unique_ptr<VideoDemuxer> MakeVideoDemuxer(const ContainerInfo& info) {
    if (info.kind == ContainerKind::ProgramStream) {
        return std::make_unique<ProgramStreamDemuxer>(info.videoStreamId);
    }
    if (info.kind == ContainerKind::TransportStream) {
        return std::make_unique<TransportStreamDemuxer>(info.packetSize);
    }
    return nullptr;
}

}  // namespace varnix
