#include "video/demux_bit_stream.h"

#include <algorithm>
#include <cstring>

namespace varnix {

namespace {

// The file is read 4 MiB at a time; the payload is handed to the scanner in blocks of about
// 1 MiB (a block is shorter only at the end of the stream).
constexpr std::size_t kReadBytes = 512u << 10;
constexpr std::size_t kPayloadBytes = 256u << 10;
// Fewer unread bytes than the largest unit (a PES packet of 64 KiB) and the next read comes first.
constexpr std::size_t kKeepBytes = 70000;

}  // namespace

TDemuxBitStream::TDemuxBitStream(const std::string& fileName, const ContainerInfo& container)
    : demuxer_(MakeVideoDemuxer(container)), window_(kReadBytes + kKeepBytes) {
    if (demuxer_ == nullptr || !file_.open(fileName, BinaryFile::Mode::Read)) {
        return;
    }
    if (Gather(current_)) {
        SetBlock(current_.bytes, current_.start);
    }
}

void TDemuxBitStream::ReadMore() {
    const std::size_t left = windowEnd_ - windowBegin_;
    if (windowBegin_ != 0 && left != 0) {
        std::memmove(window_.data(), window_.data() + windowBegin_, left);
    }
    windowFilePosition_ += static_cast<std::int64_t>(windowBegin_);
    windowBegin_ = 0;
    windowEnd_ = left;
    const std::size_t got = file_.readChecked(window_.data() + left, window_.size() - left);
    windowEnd_ += got;
    fileBytesRead_ += static_cast<std::int64_t>(got);
    if (got < window_.size() - left) {
        fileEnded_ = true;
    }
}

bool TDemuxBitStream::Gather(Payload& into) {
    into.bytes.clear();
    into.segments.clear();
    into.start = nextStreamPosition_;
    const PayloadSink sink = [&into](std::int64_t filePosition,
                                     std::span<const std::uint8_t> bytes) {
        const auto streamStart = into.start + static_cast<std::int64_t>(into.bytes.size());
        const auto length = static_cast<std::int64_t>(bytes.size());
        if (!into.segments.empty() &&
            into.segments.back().fileStart + into.segments.back().length == filePosition) {
            into.segments.back().length += length;
        } else {
            into.segments.push_back({streamStart, filePosition, length});
        }
        into.bytes.insert(into.bytes.end(), bytes.begin(), bytes.end());
    };
    while (!streamEnded_ && into.bytes.size() < kPayloadBytes) {
        if (!fileEnded_ && windowEnd_ - windowBegin_ < kKeepBytes) {
            ReadMore();
        }
        const std::span<const std::uint8_t> unread(window_.data() + windowBegin_,
                                                   windowEnd_ - windowBegin_);
        windowBegin_ +=
            demuxer_->Feed(unread, windowFilePosition_ + static_cast<std::int64_t>(windowBegin_),
                           fileEnded_, sink);
        if (demuxer_->Finished() || (fileEnded_ && windowBegin_ == windowEnd_)) {
            streamEnded_ = true;
        } else if (!fileEnded_ && windowEnd_ - windowBegin_ >= kKeepBytes) {
            // The demuxer left more than a unit: only more bytes can help it on.
            ReadMore();
        }
    }
    nextStreamPosition_ += static_cast<std::int64_t>(into.bytes.size());
    return !into.bytes.empty();
}

bool TDemuxBitStream::NextBlock() {
    if (!haveNext_ && !Gather(next_)) {
        return false;
    }
    haveNext_ = false;
    previousSegments_ = std::move(current_.segments);
    std::swap(current_, next_);
    SetBlock(current_.bytes, current_.start);
    return true;
}

std::size_t TDemuxBitStream::PeekAfterBlock(std::array<std::uint8_t, 4>& ahead) {
    if (!haveNext_) {
        haveNext_ = Gather(next_);
    }
    if (!haveNext_) {
        return 0;
    }
    const std::size_t n = std::min(ahead.size(), next_.bytes.size());
    std::copy_n(next_.bytes.begin(), n, ahead.begin());
    return n;
}

std::int64_t TDemuxBitStream::FilePositionOf(std::int64_t streamPosition) const {
    for (const auto* segments : {&current_.segments, &previousSegments_}) {
        const auto it =
            std::upper_bound(segments->begin(), segments->end(), streamPosition,
                             [](std::int64_t p, const Segment& s) { return p < s.streamStart; });
        if (it != segments->begin()) {
            const Segment& s = *(it - 1);
            if (streamPosition < s.streamStart + s.length) {
                return s.fileStart + (streamPosition - s.streamStart);
            }
        }
    }
    // Past the last byte: where the stream ended in the file.
    const auto& last = current_.segments.empty() ? previousSegments_ : current_.segments;
    return last.empty() ? 0 : last.back().fileStart + last.back().length;
}

}  // namespace varnix
