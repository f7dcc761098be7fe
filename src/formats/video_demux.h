#pragma once
// The video of a multiplexed MPEG file (a program or a transport stream) as the bytes of its
// elementary stream: a demuxer is fed the file's bytes in order and hands on the payload of the
// one video stream it follows, each piece with the file position where it lies.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace varnix {

// Receives the next payload bytes of the video stream; they lie at `filePosition` in the file.
using PayloadSink =
    std::function<void(std::int64_t filePosition, std::span<const std::uint8_t> bytes)>;

class VideoDemuxer {
  public:
    virtual ~VideoDemuxer() = default;

    // Takes the whole units (packs, packets) at the start of `data`, the file's bytes from
    // `filePosition` on, and returns how many bytes they fill; the caller passes the rest again
    // with more bytes behind it. With `atEnd` (nothing follows in the file) everything is taken,
    // a unit cut short included. Never blocks on fewer bytes than the largest unit (64 KiB).
    virtual std::size_t Feed(std::span<const std::uint8_t> data, std::int64_t filePosition,
                             bool atEnd, const PayloadSink& sink) = 0;

    // The stream has ended before the end of the file (its sync lost for good).
    bool Finished() const { return finished_; }
    // What went wrong since the last call (lost packets, skipped garbage), one text each.
    std::vector<std::string> TakeNotes() { return std::exchange(notes_, {}); }

  protected:
    void Note(std::string text) {
        if (notes_.size() < kMaxNotes) {
            notes_.push_back(std::move(text));
        }
    }
    void Finish() { finished_ = true; }

  private:
    static constexpr std::size_t kMaxNotes = 64;
    std::vector<std::string> notes_;
    bool finished_ = false;
};

// Where the payload of a PES packet begins: after its 6 bytes of start code and length, the
// header of either syntax (MPEG-2: flags and header length; MPEG-1: stuffing, buffer size and
// time stamps). 0 when `packet` (which begins with 00 00 01 and the stream id) is too short or
// the header is malformed.
std::size_t PESPayloadOffset(std::span<const std::uint8_t> packet);

// Lowercase hexadecimal with "0x" ("0x1b"), for stream types and PIDs in messages.
std::string HexText(unsigned value, int digits = 0);

}  // namespace varnix
