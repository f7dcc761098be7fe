#pragma once
// The bit reader over the video stream of a program or transport stream: the file is read in
// large blocks, the demuxer's payload gathered into blocks of about a megabyte, and each byte's
// file position kept so that the scanner records file positions.

#include <memory>
#include <string>
#include <vector>

#include "core/bitstream.h"
#include "core/file.h"
#include "formats/container_probe.h"
#include "formats/video_demux.h"

namespace varnix {

class TDemuxBitStream : public TBitStream {
  public:
    // Opens the file and gathers the first payload; false from HasData() when there is none.
    TDemuxBitStream(const std::string& fileName, const ContainerInfo& container);

    bool HasData() const { return !current_.bytes.empty(); }
    std::int64_t FileBytesRead() const { return fileBytesRead_; }
    std::int64_t FilePositionOf(std::int64_t streamPosition) const;
    std::vector<std::string> TakeNotes() { return demuxer_->TakeNotes(); }

  private:
    // A run of payload bytes that lie one after another in the file.
    struct Segment {
        std::int64_t streamStart = 0;
        std::int64_t fileStart = 0;
        std::int64_t length = 0;
    };
    struct Payload {
        std::vector<std::uint8_t> bytes;
        std::vector<Segment> segments;
        std::int64_t start = 0;  // stream position of bytes[0]
    };

    bool NextBlock() override;
    std::size_t PeekAfterBlock(std::array<std::uint8_t, 4>& ahead) override;
    // Gathers the next payload into `into`; false when the stream has none left.
    bool Gather(Payload& into);
    // Reads the next block of the file behind what the demuxer has not taken yet.
    void ReadMore();

    BinaryFile file_;
    std::unique_ptr<VideoDemuxer> demuxer_;
    std::vector<std::uint8_t> window_;
    std::size_t windowBegin_ = 0;  // bytes of window_ taken by the demuxer
    std::size_t windowEnd_ = 0;
    std::int64_t windowFilePosition_ = 0;  // of window_[0]
    bool fileEnded_ = false;
    bool streamEnded_ = false;
    std::int64_t fileBytesRead_ = 0;
    std::int64_t nextStreamPosition_ = 0;

    Payload current_;
    Payload next_;
    bool haveNext_ = false;
    std::vector<Segment> previousSegments_;
};

}  // namespace varnix
