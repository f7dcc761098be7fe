// Reports and durations of files beyond 4 GiB (sparse files: only the bytes that the readers
// look at are real).

#include <gtest/gtest.h>

#include "formats/ac3.h"
#include "probe/media_duration.h"
#include "probe/report.h"
#include "support/audio_builders.h"
#include "support/sparse_file.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::TempDir;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(BeyondFourGiB, AC3ReportAndDurationOfAFiveGiBStream) {
    // 48 kHz frames of 1536 bytes; the frames that decide that the stream is uniform are real.
    TempDir dir;
    test::AC3FrameParams params;
    params.frmsizecod = 28;
    const Bytes frame = test::BuildAC3Frame(params);
    ASSERT_EQ(frame.size(), 1536u);
    const std::uint64_t size = 5ull << 30;
    const std::uint64_t frames = size / 1536;  // 3495253, 512 bytes left over
    const std::string name = dir.file("big.ac3");
    test::SparseRuns runs;
    for (const std::uint64_t i : {std::uint64_t{0}, std::uint64_t{1}, frames / 2, frames - 1}) {
        runs.emplace_back(i * 1536, frame);
    }
    if (!test::WriteSparseFile(name, size, runs)) {
        GTEST_SKIP() << "no files of 5 GiB here";
    }
    const std::string report = ShowMediaInformation(name, false, nullptr);
    EXPECT_TRUE(Contains(report, "File size: 5368709120\r\n")) << report;
    EXPECT_TRUE(Contains(report, "Samples: 5368708608\r\nFrames: 3495253\r\n")) << report;
    // 5368708608 samples at 48 kHz: 111848.096 s, 2796202.4 PAL frames.
    EXPECT_TRUE(Contains(report, "Play Time (PAL): 31:04:08.02 (25 fps)\r\n")) << report;
    EXPECT_EQ(GetMediaDuration(name, nullptr, nullptr, 25.0), MakeTimeCode(31, 4, 8, 2));
}

TEST(BeyondFourGiB, DTSReportOfMoreThanFourGigaSamples) {
    TempDir dir;
    const Bytes frame = test::BuildDTSFrame({});  // 2012-byte frames of 512 samples at 48 kHz
    const std::uint64_t size = 20ull << 30;
    const std::string name = dir.file("big.dts");
    if (!test::WriteSparseFile(name, size, {{0, frame}, {frame.size(), frame}})) {
        GTEST_SKIP() << "no files of 20 GiB here";
    }
    const std::string report = ShowMediaInformation(name, false, nullptr);
    EXPECT_TRUE(Contains(report, "Samples: 5464769024\r\nFrames: 10673377\r\n")) << report;
}

TEST(BeyondFourGiB, WAVReportCountsTheWholeDataChunk) {
    // An unfinished recording: the data chunk declares 0 bytes and runs to the end.
    TempDir dir;
    const std::uint64_t size = (5ull << 30) + 44;
    const std::string name = dir.file("big.wav");
    if (!test::WriteSparseFile(name, size, {{0, test::BuildWAV({}, 0)}})) {
        GTEST_SKIP() << "no files of 5 GiB here";
    }
    const std::string report = ShowMediaInformation(name, false, nullptr);
    EXPECT_TRUE(Contains(report, "Samples: 1342177280\r\n")) << report;  // 5 GiB / 2 / 2
    // 1342177280 samples at 48 kHz: 27962.026 s.
    EXPECT_EQ(GetMediaDuration(name, nullptr, nullptr, 25.0), MakeTimeCode(7, 46, 2, 1));
}

}  // namespace
}  // namespace varnix
