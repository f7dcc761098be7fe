// `varnix duration` and `varnix info` on MPEG video files.

#include <gtest/gtest.h>

#include "cli_runner.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "support/temp_dir.h"
#include "support/video_builders.h"

namespace varnix::cli {
namespace {

using namespace varnix::test;
using test::RunCli;

TEST(VarnixVideoDuration, VideosKeepTheirOwnRateInBothSystems) {
    TempDir dir;
    StreamLayout ntsc;
    ntsc.extension = SequenceExtensionParams{};
    ntsc.sequence.height = 480;
    ntsc.sequence.frameRateCode = 4;
    const std::string pal = dir.copyData("video/pal_mpeg2.m2v");
    const std::string ntsc29 = dir.write(
        "ntsc29.m2v", BuildVideoStream(ntsc, FramePictures(29, 15, PictureCodingParams{})));
    const std::string pulldown = dir.copyData("video/ntsc_pulldown.m2v");

    auto run = RunCli({"duration", "-s", "pal", pal, ntsc29, pulldown});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "00:00:10.00\t" + pal + "\n00:00:00.24\t" + ntsc29 + "\n00:00:10.00\t" +
                           pulldown + "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(FileExists(pal + ".vnf"));

    run = RunCli({"duration", pal, ntsc29, pulldown});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "00:00:10.00\t" + pal + "\n00:00:00.29\t" + ntsc29 + "\n00:00:10.00\t" +
                           pulldown + "\n");
}

// Without -x a 704-wide stream is refused with the reason and the option that takes it; with it,
// the stream is scanned like any other (50 PAL frames).
TEST(VarnixVideoDuration, OtherWidthsNeedTheExtendedFormats) {
    TempDir dir;
    const std::string w704 = dir.copyData("video/w704_pal.m2v");
    const std::string refused =
        "varnix: " + w704 + ": MPEG-2 video 704 wide: accepted with --extended\n";
    auto run = RunCli({"duration", w704});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "???\t" + w704 + "\n");
    EXPECT_EQ(run.err, refused);
    EXPECT_FALSE(FileExists(w704 + ".vnf"));
    run = RunCli({"info", w704});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, refused);

    for (const char* option : {"-x", "--extended"}) {
        run = RunCli({"duration", option, "-s", "pal", w704});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "00:00:02.00\t" + w704 + "\n");
    }
    run = RunCli({"info", "-x", w704});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Size: 704 x 576\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Duration:              00:00:02.00 (25 fps)"), std::string::npos);
    // A piece as long as the video, and the video as an audio input is still refused.
    const std::string wav = dir.copyData("wav-s16-plain.wav");
    run = RunCli({"split", "-x", "-s", "pal", "-o", dir.file("out"), "-d", w704, wav, w704});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "varnix: " + w704 + ": a video file, not audio\n");
}

// A read error during the scan is no short duration: the reason goes to standard error, the
// status is 1 and no cache file is left.
TEST(VarnixVideoDuration, AReadErrorGivesTheReasonAndStatusOne) {
    TempDir dir;
    const std::string video = dir.copyData("video/pal_mpeg2.m2v");
    const InjectedReadFault fault(video, 100000);
    const auto run = RunCli({"duration", video});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Unable to read from file " + video + ": "), std::string::npos)
        << run.err;
    EXPECT_FALSE(FileExists(video + ".vnf"));
}

TEST(VarnixVideoInfo, ReportWithLFAndTheDurationOnceScanned) {
    TempDir dir;
    const std::string still = dir.copyData("video/still_pal.m2v");
    const std::string pal = dir.copyData("video/pal_mpeg2.m2v");
    auto run = RunCli({"info", still, pal});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_EQ(run.out.rfind("Video MPG Information:\n\nFile name: ", 0), 0u);
    EXPECT_NE(run.out.find("Video Type: Still\n"), std::string::npos);
    EXPECT_NE(run.out.find("Video Type: Video\n"), std::string::npos);
    EXPECT_EQ(run.out.find("Duration:"), std::string::npos);

    RunCli({"duration", pal});
    run = RunCli({"info", pal});
    EXPECT_TRUE(
        run.out.ends_with("Data End Time:    00:00:09.24 (25 fps)\n"
                          "Duration:              00:00:10.00 (25 fps)\n"))
        << run.out;
}

}  // namespace
}  // namespace varnix::cli
