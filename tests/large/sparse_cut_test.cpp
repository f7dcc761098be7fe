// Whole jobs on files of several GiB (sparse inputs; the pieces are real): `make test-large`.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "core/file_helpers.h"
#include "cut/split_job.h"
#include "support/audio_builders.h"
#include "support/sparse_file.h"
#include "support/temp_dir.h"
#include "video/get_video_info.h"

namespace varnix {
namespace {

using test::Bytes;
using test::TempDir;

constexpr std::uint64_t kFourGiB = 1ull << 32;

// Remembers the largest position it was given.
// The size of the input being cut and the highest position the job reached in it.
struct HighWaterMark : SplitJobObserver {
    void InputStarted(int, const std::string&, std::uint64_t bytes) override { size = bytes; }
    void Progress(std::uint64_t position) override { highest = std::max(highest, position); }
    std::uint64_t size = 0;
    std::uint64_t highest = 0;
};

Bytes BytesAt(const std::string& name, std::uint64_t offset, std::size_t count) {
    std::ifstream in(name, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    Bytes bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

TEST(LargeFiles, CutsAFiveGiBAC3FileWithATailPiece) {
    // 48 kHz frames of 1536 bytes: 3495253 frames and 512 bytes. Real frames where the stream
    // is checked for uniform frames and where the pieces begin; zeros elsewhere.
    TempDir dir;
    test::AC3FrameParams params;
    params.frmsizecod = 28;
    Bytes frame = test::BuildAC3Frame(params);
    const std::uint64_t size = 5ull << 30;
    const std::uint64_t frames = size / 1536;
    // PAL: 25 hours are 2812500 frames (4320000000 bytes, past 4 GiB), 10 minutes 18750.
    const std::uint64_t first = 2812500;
    const std::uint64_t second = 18750;
    test::SparseRuns runs;
    for (const std::uint64_t i :
         {std::uint64_t{0}, std::uint64_t{1}, first, first + second, frames / 2, frames - 1}) {
        frame[7] = static_cast<std::uint8_t>(i);  // tells the frames apart
        runs.emplace_back(i * 1536, frame);
    }
    const std::string input = dir.file("film.ac3");
    ASSERT_TRUE(test::WriteSparseFile(input, size, runs));

    HighWaterMark bar;
    SplitJobRequest request;
    request.durations = {DurationPair{MakeTimeCode(25, 0, 0, 0), MakeTimeCode(25, 0, 0, 0)},
                         DurationPair{MakeTimeCode(0, 10, 0, 0), MakeTimeCode(0, 10, 0, 0)}};
    request.system = TvSystem::Pal;
    request.outputFolder = dir.file("out");
    request.inputs = {input};
    request.observer = &bar;
    const SplitJobResult result = SplitJob(request).Process();
    ASSERT_FALSE(result.failed);
    ASSERT_EQ(result.pieces.size(), 3u);
    const std::uint64_t sizes[] = {first * 1536, second * 1536, size - (first + second) * 1536};
    EXPECT_GT(sizes[0], kFourGiB);
    for (std::size_t n = 0; n < 3; ++n) {
        EXPECT_EQ(result.pieces[n].bytes, sizes[n]) << "piece " << n + 1;
        EXPECT_EQ(FileSizeOf(result.pieces[n].path), sizes[n]) << "piece " << n + 1;
    }
    // Each piece begins with the frame where it should; the tail holds the last frame and the
    // 512 bytes after it.
    for (const auto& [n, i] :
         {std::pair<int, std::uint64_t>{0, 0}, {1, first}, {2, first + second}}) {
        EXPECT_EQ(BytesAt(result.pieces[n].path, 0, 8), BytesAt(input, i * 1536, 8))
            << "piece " << n + 1;
    }
    const std::uint64_t lastInTail = (frames - 1 - first - second) * 1536;
    EXPECT_EQ(BytesAt(result.pieces[2].path, lastInTail, 2048),
              BytesAt(input, (frames - 1) * 1536, 2048));
    EXPECT_EQ(bar.size, size);
    EXPECT_GT(bar.highest, kFourGiB);
}

TEST(LargeFiles, ScansAVideoThatBeginsBeyondFourGiB) {
    // 5 GiB of zeros before a real stream: the scan finds it and the cache records the size.
    TempDir dir;
    const Bytes stream = test::ReadAll(test::DataPath("video/pal_mpeg2.m2v"));
    const std::string alone = dir.write("alone.m2v", stream);
    const std::uint64_t offset = 5ull << 30;
    const std::string padded = dir.file("padded.m2v");
    ASSERT_TRUE(test::WriteSparseFile(padded, offset + stream.size(), {{offset, stream}}));
    const auto expected = GetVideoInfo(alone, nullptr, nullptr, {});
    const auto info = GetVideoInfo(padded, nullptr, nullptr, {});
    ASSERT_TRUE(expected && info);
    EXPECT_EQ(info->frames, expected->frames);
    EXPECT_EQ(info->duration, expected->duration);
    EXPECT_EQ(info->fileBlocks, (offset + stream.size()) / 524280);
    const auto cached = GetVideoInfo(padded, nullptr, nullptr, {});  // from the cache now
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->frames, expected->frames);
    EXPECT_NE(cached->fileTime, 0u);
}

}  // namespace
}  // namespace varnix
