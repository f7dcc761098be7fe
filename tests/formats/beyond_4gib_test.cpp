// Sizes, offsets and counts beyond 32 bits in the format readers and piece writers: streams of
// more than 4 GiB, as synthetic sources that make their frame headers on demand, or as sparse
// files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/file_helpers.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/dts.h"
#include "formats/mpa_piece.h"
#include "formats/wav.h"
#include "support/audio_builders.h"
#include "support/sparse_file.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::TempDir;

constexpr std::uint64_t kFourGiB = 1ull << 32;

// An AC3 stream of `size` bytes whose frame i starts at start(i) and carries the header
// header(i); zeros elsewhere. `index(offset)` names a frame that starts at or before the
// offset. Bytes are made only when read.
class SyntheticAC3Source : public ByteSource {
  public:
    using Offset = std::function<std::uint64_t(std::uint64_t)>;
    SyntheticAC3Source(std::uint64_t size, Offset start, Offset index,
                       std::function<const Bytes&(std::uint64_t)> header)
        : size_(size),
          start_(std::move(start)),
          index_(std::move(index)),
          header_(std::move(header)) {}
    std::uint64_t size() const override { return size_; }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        if (offset >= size_) {
            return 0;
        }
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(into.size(), size_ - offset));
        std::fill_n(into.begin(), n, std::uint8_t{0});
        for (std::uint64_t i = index_(offset); start_(i) < offset + n; ++i) {
            const Bytes& h = header_(i);
            for (std::size_t k = 0; k < h.size(); ++k) {
                const std::uint64_t at = start_(i) + k;
                if (at >= offset && at < offset + n) {
                    into[static_cast<std::size_t>(at - offset)] = h[k];
                }
            }
        }
        return n;
    }

  private:
    std::uint64_t size_;
    Offset start_;
    Offset index_;
    std::function<const Bytes&(std::uint64_t)> header_;
};

Bytes AC3Header(int fscod, int frmsizecod) {
    test::AC3FrameParams p;
    p.fscod = fscod;
    p.frmsizecod = frmsizecod;
    const Bytes frame = test::BuildAC3Frame(p);
    return Bytes(frame.begin(), frame.begin() + 7);
}

TEST(BeyondFourGiB, AUniformAC3StreamCountsAndPlacesFramesIn64Bits) {
    const Bytes header = AC3Header(0, 28);  // 48 kHz, 1536 bytes
    const std::uint64_t frames = kFourGiB / 1536 + 3000;
    const std::uint64_t size = frames * 1536 + 100;
    SyntheticAC3Source source(
        size, [](std::uint64_t i) { return i * 1536; },
        [](std::uint64_t offset) { return offset / 1536; },
        [&](std::uint64_t) -> const Bytes& { return header; });
    const AC3FrameLayout layout = ReadAC3FrameLayoutOf(source);
    EXPECT_TRUE(layout.uniform);
    EXPECT_EQ(layout.frameCount, frames);
    EXPECT_EQ(layout.totalSamples(), frames * 1536);
    EXPECT_GT(layout.totalSamples(), kFourGiB);
    EXPECT_EQ(layout.frameStart(frames - 1), (frames - 1) * 1536);
    const auto starts = FindAC3FrameStarts(source, {0, frames - 10, frames, frames + 1});
    EXPECT_EQ(starts, (std::vector<std::uint64_t>{0, (frames - 10) * 1536, frames * 1536, size}));
}

TEST(BeyondFourGiB, AMixedLengthAC3StreamIsWalkedPastFourGiB) {
    // 44.1 kHz at 192 kbit/s: frames of 834 and 836 bytes in turn, junk after the last.
    const Bytes shortHeader = AC3Header(1, 20);
    const Bytes longHeader = AC3Header(1, 21);
    const auto start = [](std::uint64_t i) { return 835 * i - (i & 1); };
    const std::uint64_t frames = kFourGiB / 835 + 1001;
    const std::uint64_t size = start(frames) + 500;
    SyntheticAC3Source source(
        size, [&](std::uint64_t i) { return i < frames ? start(i) : UINT64_MAX; },
        [](std::uint64_t offset) { return offset / 835; },
        [&](std::uint64_t i) -> const Bytes& { return (i & 1) != 0 ? longHeader : shortHeader; });
    const AC3FrameLayout layout = ReadAC3FrameLayoutOf(source);
    EXPECT_FALSE(layout.uniform);
    EXPECT_EQ(layout.frameCount, frames);
    EXPECT_EQ(layout.totalSamples(), frames * 1536);
    ASSERT_EQ(layout.frameStarts.size(), frames + 1);
    EXPECT_EQ(layout.frameStarts.back(), start(frames));
    EXPECT_GT(layout.frameStarts.back(), kFourGiB);
    const auto starts = FindAC3FrameStarts(source, {frames - 1, frames, frames + 1});
    EXPECT_EQ(starts, (std::vector<std::uint64_t>{start(frames - 1), start(frames), size}));
}

TEST(BeyondFourGiB, DTSFramesOfASparseFile) {
    TempDir dir;
    const test::DTSFrameParams params;  // 2012-byte frames
    const Bytes frame = test::BuildDTSFrame(params);
    const std::string name = dir.file("big.dts");
    const std::uint64_t size = 20ull << 30;
    if (!test::WriteSparseFile(name, size, {{0, frame}, {frame.size(), frame}})) {
        GTEST_SKIP() << "no files of 20 GiB here";
    }
    const std::uint64_t frames = GetDTSFrameCount(name);
    EXPECT_EQ(frames, size / 2012);
    EXPECT_GT(frames * kDTSSamplesPerFrame, kFourGiB);
}

TEST(BeyondFourGiB, WAVDataAndPiecesPastFourGiB) {
    // An unfinished recording (data size 0) of 5 GiB whose last 100 bytes are real.
    TempDir dir;
    const Bytes header = test::BuildWAV({}, 0);
    ASSERT_EQ(header.size(), 44u);
    const Bytes last = test::Filler(100);
    const std::uint64_t size = (5ull << 30) + 44;
    const std::string name = dir.file("big.wav");
    if (!test::WriteSparseFile(name, size, {{0, header}, {size - 100, last}})) {
        GTEST_SKIP() << "no files of 5 GiB here";
    }
    const WAVLayout layout = ReadWAVLayout(name);
    EXPECT_EQ(layout.dataSize, 5ull << 30);
    // The last 25 sample frames of 4 bytes, the first of them 5 GiB into the data.
    const std::uint64_t start = (5ull << 30) / 4 - 25;
    const std::string piece = dir.file("piece.wav");
    std::uint64_t reported = 0;
    ASSERT_TRUE(WriteWAVPiece(
        name, piece, start, nullptr, 6ull << 30, [&](std::uint64_t p) { reported = p; }, kToEnd));
    const Bytes bytes = test::ReadAll(piece);
    ASSERT_EQ(bytes.size(), 144u);
    EXPECT_EQ(Bytes(bytes.begin() + 44, bytes.end()), last);
    EXPECT_EQ(reported, (6ull << 30) + 100);
    // A piece of all the data keeps its header within 32 bits.
    EXPECT_EQ(CanonicalWAVHeader(layout.header, layout.dataSize).dataSize, 0xFFFFFFFFu);
}

TEST(BeyondFourGiB, MPEGAudioSampleCountsPastThirtyTwoBits) {
    TempDir dir;
    const std::string input = dir.copyData("mp2-crc.mp2");  // 84 frames of 1152 samples
    // A start beyond every frame gives an empty piece at the end of the file.
    const MPAPieceRange past = LocateMPAPiece(input, 1ull << 33, 1000u);
    EXPECT_EQ(past.start, FileSizeOf(input));
    EXPECT_EQ(past.length, Count(0u));
    // A count of more than 2^32 samples runs through the whole stream.
    const MPAPieceRange all = LocateMPAPiece(input, 1152, std::uint64_t{1} << 33);
    EXPECT_EQ(all.start, 576u);
    ASSERT_FALSE(all.length.toEnd());
    EXPECT_EQ(all.start + all.length.amount(), FileSizeOf(input));
    EXPECT_EQ(all.samples, 83 * 1152);
}

}  // namespace
}  // namespace varnix
