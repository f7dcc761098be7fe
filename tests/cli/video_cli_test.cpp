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

namespace varnix::cli {
namespace {

using namespace varnix::test;
using test::RunCli;

// With -x every program and transport stream of the pull-down video lasts what its elementary
// stream lasts and its report names the container; without it each is refused with the option.
TEST(VarnixContainers, DurationsEqualTheElementaryStreamsWithTheSwitch) {
    TempDir dir;
    const std::string es = dir.copyData("video/ntsc_pulldown.m2v");
    const struct {
        const char* file;
        const char* kind;
        const char* container;
    } streams[] = {
        {"pulldown.vob", "MPEG program stream", "MPEG-2 program stream, video stream 0xe0"},
        {"pulldown_dvd.vob", "MPEG program stream", "MPEG-2 program stream, video stream 0xe0"},
        {"pulldown_mpeg1.mpg", "MPEG program stream", "MPEG-1 system stream, video stream 0xe0"},
        {"pulldown.ts", "MPEG transport stream",
         "MPEG transport stream (188-byte packets), video PID 0x0100 (stream type 0x02)"},
        {"pulldown.m2ts", "MPEG transport stream",
         "MPEG transport stream (192-byte packets), video PID 0x1011 (stream type 0x02)"},
    };
    for (const char* system : {"pal", "ntsc"}) {
        const auto expected = RunCli({"duration", "-s", system, es});
        ASSERT_EQ(expected.status, 0);
        const std::string time = expected.out.substr(0, expected.out.find('\t'));
        for (const auto& s : streams) {
            const std::string file = dir.copyData(std::string("video/") + s.file);
            auto run = RunCli({"duration", "-s", system, file});
            EXPECT_EQ(run.status, 1) << s.file;
            EXPECT_EQ(run.err, "varnix: " + file + ": " + s.kind + ": accepted with --extended\n");
            run = RunCli({"duration", "-x", "-s", system, file});
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, time + "\t" + file + "\n");
            EXPECT_EQ(run.err, "");
        }
    }
    for (const auto& s : streams) {
        const auto run = RunCli({"info", "--extended", dir.file(s.file)});
        EXPECT_NE(run.out.find(std::string("\nContainer: ") + s.container + "\n"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("Duration:              00:00:10.00 (30 fps)"), std::string::npos);
    }
    // A piece cut to the transport stream's length.
    const std::string wav = dir.copyData("wav-s16-plain.wav");
    const auto split =
        RunCli({"split", "-x", "-o", dir.file("out"), "-d", dir.file("pulldown.ts"), wav});
    EXPECT_EQ(split.status, 0) << split.err;
}

TEST(VarnixContainers, BrokenStreamsSayWhatIsMissing) {
    TempDir dir;
    const struct {
        const char* file;
        const char* duration;  // with -x
        const char* err;       // after "varnix: FILE" (-x)
    } cases[] = {
        {"ps-pack-then-garbage.mpg", "???",
         ": MPEG program stream: no video stream (no PES packet of a stream E0..EF)\n"},
        {"ps-h264.mpg", "???",
         ": MPEG program stream: its video stream 0xe2 holds no MPEG-1/2 video (no sequence "
         "header)\n"},
        {"ts-no-pat.ts", "???", ": MPEG transport stream: no program association table (PAT)\n"},
        {"ts-no-pmt.ts", "???",
         ": MPEG transport stream: no program map table (PMT) for the first program\n"},
        {"ts-no-mpeg-video.ts", "???",
         ": MPEG transport stream: no MPEG-1/2 video in the program map (stream types: 0x03)\n"},
        {"ps-pes-past-end.mpg", "00:00:00.02",
         ": a packet at position 29 runs past the end of the file\n"},
        {"ts-sync-stops.ts", "00:00:00.02",
         ": the sync bytes stop at position 1128: the rest of the file is not read\n"},
    };
    for (const auto& c : cases) {
        const std::string file = dir.copyData(std::string("bad/") + c.file);
        const auto run = RunCli({"duration", "-x", file});
        EXPECT_EQ(run.out, std::string(c.duration) + "\t" + file + "\n");
        const bool scanned = std::string(c.duration) != "???";
        EXPECT_EQ(run.status, scanned ? 0 : 1) << c.file;
        EXPECT_EQ(run.err, "varnix: " + std::string(scanned ? "Warning! " : "") + file + c.err);
    }
}

}  // namespace
}  // namespace varnix::cli
