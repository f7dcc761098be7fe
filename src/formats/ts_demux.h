#pragma once
// MPEG transport streams: 188-byte packets (.ts), or 192-byte packets whose first four bytes are
// a time stamp (.m2ts). The demuxer reads the program association table (PAT) and the first
// program's map (PMT), follows that program's first MPEG-1/2 video stream (stream type 01 or 02)
// and reassembles its PES packets by the continuity counter: a lost packet is noted and the
// stream goes on from the next PES packet.

#include <array>
#include <cstdint>
#include <vector>

#include "formats/video_demux.h"

namespace varnix {

inline constexpr std::uint8_t kTSSync = 0x47;

// The packet size of a transport stream by its first three sync bytes (at 0, 188, 376 or at 4,
// 196, 388): 188, 192, or 0 when `head` is no transport stream.
std::size_t TransportPacketSize(std::span<const std::uint8_t> head);

class TransportStreamDemuxer : public VideoDemuxer {
  public:
    explicit TransportStreamDemuxer(std::size_t packetSize) : packetSize_(packetSize) {}

    std::size_t Feed(std::span<const std::uint8_t> data, std::int64_t filePosition, bool atEnd,
                     const PayloadSink& sink) override;

    std::size_t PacketSize() const { return packetSize_; }
    bool SawPAT() const { return patSeen_; }
    bool SawPMT() const { return pmtSeen_; }
    // The program map's PID, -1 before the PAT.
    int PMTPid() const { return pmtPid_; }
    // The video stream followed (-1 when the program map names none) and its stream type.
    int VideoPid() const { return videoPid_; }
    unsigned VideoStreamType() const { return videoStreamType_; }
    // The stream types of the program map, in its order.
    const std::vector<unsigned>& StreamTypes() const { return streamTypes_; }
    std::uint64_t LostPackets() const { return lostPackets_; }

  private:
    // One packet of packetSize_ bytes whose sync byte has been checked.
    void Packet(std::span<const std::uint8_t> packet, std::int64_t position,
                const PayloadSink& sink);
    void Section(int pid, std::span<const std::uint8_t> payload, bool unitStart);
    void ParsePAT(std::span<const std::uint8_t> section);
    void ParsePMT(std::span<const std::uint8_t> section);
    void Video(std::span<const std::uint8_t> packet, std::size_t payload, bool unitStart,
               std::int64_t position, const PayloadSink& sink);
    // Where the next sync byte pattern starts from `pos`; data.size() when more bytes are needed.
    std::size_t Resync(std::span<const std::uint8_t> data, std::size_t pos) const;

    std::size_t packetSize_;
    bool patSeen_ = false;
    bool pmtSeen_ = false;
    int pmtPid_ = -1;
    int videoPid_ = -1;
    unsigned videoStreamType_ = 0;
    std::vector<unsigned> streamTypes_;
    // Sections of the PAT and the PMT being put together from their packets.
    std::vector<std::uint8_t> patSection_;
    std::vector<std::uint8_t> pmtSection_;
    int lastContinuity_ = -1;
    bool waitForUnitStart_ = true;
    std::uint64_t lostPackets_ = 0;
    // Where the packet sync was lost, while the demuxer looks for it again (-1: in sync).
    std::int64_t syncLostAt_ = -1;
};

}  // namespace varnix
