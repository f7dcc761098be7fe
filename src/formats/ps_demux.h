#pragma once
// MPEG program streams (MPEG-1 system streams and MPEG-2 program streams, DVD VOB files among
// them): packs of PES packets. The demuxer follows one video stream (PES stream id E0..EF) and
// steps over everything else: pack and system headers, padding, private streams (DVD audio and
// subtitles), audio, DVD navigation packets.

#include <cstdint>

#include "formats/video_demux.h"

namespace varnix {

// A pack header (00 00 01 BA) at the start of `data`: its length with stuffing (12 bytes for
// MPEG-1, 14 and up for MPEG-2), or 0 when `data` does not hold it whole or it is malformed.
std::size_t PackHeaderBytes(std::span<const std::uint8_t> data);
// Whether `data` begins with a pack header of either kind (the first five bytes tell).
bool StartsWithPackHeader(std::span<const std::uint8_t> data);

class ProgramStreamDemuxer : public VideoDemuxer {
  public:
    // Follows the video stream `videoStreamId`, or the first video stream met when it is -1.
    explicit ProgramStreamDemuxer(int videoStreamId = -1) : videoStreamId_(videoStreamId) {}

    std::size_t Feed(std::span<const std::uint8_t> data, std::int64_t filePosition, bool atEnd,
                     const PayloadSink& sink) override;

    // The stream id followed, -1 while no video packet has been met.
    int VideoStreamId() const { return videoStreamId_; }
    // The first pack was an MPEG-1 pack (a system stream).
    bool Mpeg1Packs() const { return mpeg1Packs_; }
    std::uint64_t Packs() const { return packs_; }
    std::uint64_t VideoPackets() const { return videoPackets_; }

  private:
    // Skips to the next pack header or packet start code from `pos`; returns where it is, or
    // where the search must go on with more bytes.
    std::size_t Resync(std::span<const std::uint8_t> data, std::size_t pos,
                       std::int64_t filePosition, bool atEnd);

    int videoStreamId_ = -1;
    bool mpeg1Packs_ = false;
    bool anyPack_ = false;
    std::uint64_t packs_ = 0;
    std::uint64_t videoPackets_ = 0;
    std::uint64_t skippedBytes_ = 0;  // of the garbage run being stepped over
};

}  // namespace varnix
