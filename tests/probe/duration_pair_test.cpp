// The (PAL, NTSC) pair of a file and the video side of the media probe: a video keeps its own
// frame rate in both systems, only its frames are limited to 24 on the PAL side.

#include <gtest/gtest.h>

#include "core/file_helpers.h"
#include "probe/duration_pair.h"
#include "probe/media_duration.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/video_builders.h"

namespace varnix {
namespace {

using namespace varnix::test;

// An NTSC (29.97) MPEG-2 stream of `frames` frame pictures.
Bytes NtscFrames(int frames) {
    StreamLayout layout;
    layout.extension = SequenceExtensionParams{};
    layout.sequence.height = 480;
    layout.sequence.frameRateCode = 4;
    layout.framesPerSecond = 30;
    return BuildVideoStream(layout, FramePictures(frames, 15, PictureCodingParams{}));
}

TEST(VideoDurationPair, OwnRateOnOneSideFramesLimitedOnPAL) {
    struct Row {
        TimeCode duration;
        int rate;
        TimeCode pal, ntsc;
    };
    const Row rows[] = {
        {MakeTimeCode(0, 5, 0, 12), 25, MakeTimeCode(0, 5, 0, 12), MakeTimeCode(0, 5, 0, 12)},
        {MakeTimeCode(0, 10, 0, 29), 30, MakeTimeCode(0, 10, 0, 24), MakeTimeCode(0, 10, 0, 29)},
        {MakeTimeCode(1, 0, 0, 23), 24, MakeTimeCode(1, 0, 0, 23), MakeTimeCode(1, 0, 0, 23)},
        {MakeTimeCode(0, 0, 1, 49), 50, MakeTimeCode(0, 0, 1, 24), MakeTimeCode(0, 0, 1, 49)},
        {TimeCode{}, -1, TimeCode{}, TimeCode{}},
    };
    for (const Row& row : rows) {
        const DurationPair pair = VideoDurationPair(row.duration, row.rate);
        EXPECT_EQ(pair.pal, row.pal) << row.rate;
        EXPECT_EQ(pair.ntsc, row.ntsc) << row.rate;
        EXPECT_EQ(pair.ForSystem(TvSystem::Pal), row.pal);
        EXPECT_EQ(pair.ForSystem(TvSystem::Ntsc), row.ntsc);
    }
}

TEST(GetDurationPair, ByKind) {
    TempDir dir;
    struct Row {
        std::string file;
        TimeCode pal, ntsc;
    };
    const Row rows[] = {
        {dir.copyData("video/pal_mpeg2.m2v"), MakeTimeCode(0, 0, 10, 0), MakeTimeCode(0, 0, 10, 0)},
        {dir.copyData("video/ntsc_mpeg2.m2v"), MakeTimeCode(0, 0, 3, 0), MakeTimeCode(0, 0, 3, 0)},
        {dir.copyData("video/ntsc_pulldown.m2v"), MakeTimeCode(0, 0, 10, 0),
         MakeTimeCode(0, 0, 10, 0)},
        {dir.copyData("video/mpeg1_cif.m1v"), MakeTimeCode(0, 0, 4, 0), MakeTimeCode(0, 0, 4, 0)},
        {dir.write("ntsc29.m2v", NtscFrames(29)), MakeTimeCode(0, 0, 0, 24),
         MakeTimeCode(0, 0, 0, 29)},
        {dir.copyData("video/w704_pal.m2v"), TimeCode::None(), TimeCode::None()},
        {dir.file("missing.m2v"), TimeCode::None(), TimeCode::None()},
    };
    for (const Row& row : rows) {
        const DurationPair pair = GetDurationPair(row.file, nullptr, nullptr);
        EXPECT_EQ(pair.pal, row.pal) << row.file;
        EXPECT_EQ(pair.ntsc, row.ntsc) << row.file;
        EXPECT_EQ(MediaDurationForSystem(row.file, TvSystem::Pal, nullptr, nullptr), row.pal);
        EXPECT_EQ(MediaDurationForSystem(row.file, TvSystem::Ntsc, nullptr, nullptr), row.ntsc);
    }
}

TEST(GetDurationPair, AudioFilesAtBothRates) {
    TempDir dir;
    for (const char* name : {"ac3-stereo-192k.ac3", "wav-s16-plain.wav", "mp2-crc.mp2"}) {
        const std::string file = dir.copyData(name);
        const DurationPair pair = GetDurationPair(file, nullptr, nullptr);
        EXPECT_EQ(pair.pal, GetMediaDuration(file, nullptr, nullptr, 25.0)) << name;
        EXPECT_EQ(pair.ntsc, GetMediaDuration(file, nullptr, nullptr, 30.0)) << name;
        EXPECT_FALSE(pair.pal.IsNone()) << name;
    }
}

TEST(GetMediaDuration, VideoKeepsItsOwnRateWhateverTheCallerAsks) {
    TempDir dir;
    const std::string pal = dir.copyData("video/pal_mpeg2.m2v");
    const std::string ntsc = dir.write("ntsc29.m2v", NtscFrames(29));
    for (double fps : {25.0, 30.0}) {
        EXPECT_EQ(GetMediaDuration(pal, nullptr, nullptr, fps), MakeTimeCode(0, 0, 10, 0));
        EXPECT_EQ(GetMediaDuration(ntsc, nullptr, nullptr, fps), MakeTimeCode(0, 0, 0, 29));
    }
    EXPECT_TRUE(FileExists(pal + ".vnf"));
    EXPECT_TRUE(
        GetMediaDuration(dir.copyData("video/w704_pal.m2v"), nullptr, nullptr, 25.0).IsNone());
}

TEST(GetDurationPair, VideoScanCallsItsIdleCallbackAndStopsOnAbort) {
    TempDir dir;
    StreamLayout layout;
    layout.extension = SequenceExtensionParams{};
    const std::string file = dir.write(
        "long.m2v", BuildVideoStream(layout, FramePictures(600, 12, PictureCodingParams{})));
    AbortFlag abort{0};
    int idleCalls = 0;
    const DurationPair pair = GetDurationPair(file, &abort, nullptr, {}, [&] {
        ++idleCalls;
        abort = 1;
    });
    EXPECT_EQ(idleCalls, 1);
    EXPECT_LT(TimeCodeToFrames(pair.pal, 25.0), 600);
    EXPECT_FALSE(FileExists(file + ".vnf"));
}

}  // namespace
}  // namespace varnix
