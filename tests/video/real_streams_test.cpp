// Streams made by real encoders (ffmpeg, mpeg2enc; the field-picture stream by the builders).
// The expected numbers are those that ffprobe and mediainfo report for the same files (see
// tests/data/video/README.md); fields follow ffprobe's repeat_pict counts.

#include <gtest/gtest.h>

#include "formats/detect.h"
#include "scan_helpers.h"
#include "video/get_video_info.h"

namespace varnix {
namespace {

using namespace varnix::test;

struct RealStream {
    const char* file;
    const char* kind;
    std::uint32_t mpegVersion;
    std::uint32_t width, height;
    std::uint32_t displayWidth, displayHeight;
    std::uint32_t frameRateCode;
    std::uint32_t aspectRatio;
    std::uint32_t codedPictures;
    std::uint64_t fields;
    std::int64_t frames;
    bool pullDown;
    TimeCode duration;
    std::int32_t wholeFrameRate;
    std::uint32_t bitRate;  // after a scan without cache
    bool still;
    // The kind with the extended formats on, when it differs.
    const char* extendedKind = nullptr;
};

const RealStream kStreams[] = {
    // ffprobe: 250 frames, 25/1, progressive; mediainfo: 250 frames, 10.000 s, max 9800000.
    {"pal_mpeg2.m2v", ".m2v", 2, 720, 576, 0, 0, 3, 2, 250, 500, 250, false,
     MakeTimeCode(0, 0, 10, 0), 25, 9800000, false},
    // ffprobe: 90 frames, 30000/1001, 16:9; mediainfo: 90 frames, 3.003 s, max 8000000.
    {"ntsc_mpeg2.m2v", ".m2v", 2, 720, 480, 720, 480, 4, 3, 90, 180, 90, false,
     MakeTimeCode(0, 0, 3, 0), 30, 8000000, false},
    // ffprobe: 240 coded pictures, 120 with repeat_pict=1: 600 fields, 300 frames.
    // mediainfo: 240 frames at 23.976, 8.008 s, "2:3 Pulldown" (it miscounts these).
    {"ntsc_pulldown.m2v", ".m2v", 2, 720, 480, 720, 480, 4, 2, 240, 600, 300, true,
     MakeTimeCode(0, 0, 10, 0), 30, 8000000, false},
    // ffprobe: 250 frames, field order tt; mediainfo: 250 frames, interlaced TFF, 10.000 s.
    {"fields_pal.m2v", ".m2v", 2, 720, 576, 720, 576, 3, 2, 250, 500, 250, false,
     MakeTimeCode(0, 0, 10, 0), 25, 8000000, false},
    // ffprobe: 100 frames, mpeg1video 352x288, 1150000 b/s; mediainfo: 100 frames, 4.000 s.
    {"mpeg1_cif.m1v", ".m1v", 1, 352, 288, 0, 0, 3, 1, 100, 200, 100, false,
     MakeTimeCode(0, 0, 4, 0), 25, 1150000, false},
    // ffprobe and mediainfo: 1 frame.
    {"still_pal.m2v", ".m2v", 2, 720, 576, 0, 0, 3, 2, 1, 2, 1, false, MakeTimeCode(0, 0, 0, 1), 25,
     104857200, true},
    // ffprobe: 50 frames, 704x576; mediainfo: 50 frames, 2.000 s. Taken with the extended
    // formats only (width 704), as are the next two.
    {"w704_pal.m2v", "", 2, 704, 576, 0, 0, 3, 2, 50, 100, 50, false, MakeTimeCode(0, 0, 2, 0), 25,
     104857200, false, ".m2v"},
    // ffprobe: 30 frames, 704x480, 30000/1001; mediainfo: 30 frames at 29.970, 1.001 s.
    {"w704_ntsc.m2v", "", 2, 704, 480, 0, 0, 4, 2, 30, 60, 30, false, MakeTimeCode(0, 0, 1, 0), 30,
     104857200, false, ".m2v"},
    // ffprobe: 50 frames, 544x576, 25/1; mediainfo: 50 frames, 2.000 s.
    {"w544_pal.m2v", "", 2, 544, 576, 0, 0, 3, 2, 50, 100, 50, false, MakeTimeCode(0, 0, 2, 0), 25,
     104857200, false, ".m2v"},
    // ffprobe: 60 frames, 352x240, 30000/1001; mediainfo: 60 frames at 29.970, 2.002 s. Its width
    // was always taken, as the ".m1v" of the first bytes; the extended formats see the MPEG-2
    // extension but keep the kind of old.
    {"s352x240_ntsc.m2v", ".m1v", 2, 352, 240, 0, 0, 4, 2, 60, 120, 60, false,
     MakeTimeCode(0, 0, 2, 0), 30, 104857200, false},
    // ntsc_pulldown.m2v in a program stream (-f vob, -f dvd with an AC3 track, -f mpeg) and a
    // transport stream (-f mpegts with an MP2 track; 192-byte packets): ffmpeg takes the same
    // elementary stream out of each, byte for byte. ffprobe: 240 frames, 60000/1001 field rate;
    // mediainfo: 238 frames, 9.910 s (240, 9.993 s for pulldown.vob), "2:3 Pulldown".
    {"pulldown.vob", "", 2, 720, 480, 720, 480, 4, 2, 240, 600, 300, true,
     MakeTimeCode(0, 0, 10, 0), 30, 8000000, false, ".mpg"},
    {"pulldown_dvd.vob", "", 2, 720, 480, 720, 480, 4, 2, 240, 600, 300, true,
     MakeTimeCode(0, 0, 10, 0), 30, 8000000, false, ".mpg"},
    {"pulldown_mpeg1.mpg", "", 2, 720, 480, 720, 480, 4, 2, 240, 600, 300, true,
     MakeTimeCode(0, 0, 10, 0), 30, 8000000, false, ".mpg"},
    {"pulldown.ts", "", 2, 720, 480, 720, 480, 4, 2, 240, 600, 300, true, MakeTimeCode(0, 0, 10, 0),
     30, 8000000, false, ".ts"},
    {"pulldown.m2ts", "", 2, 720, 480, 720, 480, 4, 2, 240, 600, 300, true,
     MakeTimeCode(0, 0, 10, 0), 30, 8000000, false, ".ts"},
};

class RealStreams : public ::testing::TestWithParam<RealStream> {};

TEST_P(RealStreams, ScanMatchesTheReferenceTools) {
    const RealStream& s = GetParam();
    TempDir dir;
    const std::string file = dir.copyData(std::string("video/") + s.file);
    EXPECT_STREQ(MediaKindText(DetectFormat(file)), s.kind);
    EXPECT_STREQ(MediaKindText(DetectFormat(file, {.extended = true})),
                 s.extendedKind != nullptr ? s.extendedKind : s.kind);

    const ScanOutcome scan = ScanFile(file, {.collect = false});
    EXPECT_EQ(scan.results.mpegVersion, s.mpegVersion);
    EXPECT_EQ(scan.results.width, s.width);
    EXPECT_EQ(scan.results.height, s.height);
    EXPECT_EQ(scan.results.displayWidth, s.displayWidth);
    EXPECT_EQ(scan.results.displayHeight, s.displayHeight);
    EXPECT_EQ(scan.results.frameRateCode, s.frameRateCode);
    EXPECT_EQ(scan.results.aspectRatio, s.aspectRatio);
    EXPECT_EQ(scan.results.pictures, static_cast<double>(s.codedPictures));
    EXPECT_EQ(scan.results.fields, s.fields);
    EXPECT_EQ(scan.results.frames, s.frames);
    EXPECT_EQ(scan.results.pullDown, s.pullDown);
    EXPECT_EQ(scan.results.bitRate, s.bitRate);
    EXPECT_EQ(scan.info.duration, s.duration);
    EXPECT_EQ(scan.info.wholeFrameRate, s.wholeFrameRate);

    const ScanOutcome quick = ScanFile(file, {.quick = true, .collect = true});
    EXPECT_EQ(quick.results.pictures == 1.0, s.still);
}

TEST_P(RealStreams, CachedProbeAgreesWithTheScan) {
    const RealStream& s = GetParam();
    TempDir dir;
    const std::string file = dir.copyData(std::string("video/") + s.file);
    const auto scanned = GetVideoInfo(file, nullptr, nullptr, {});
    auto cached = GetVideoInfo(file, nullptr, nullptr, {});
    ASSERT_TRUE(scanned && cached);
    EXPECT_NE(cached->fileTime, 0u);
    cached->fileTime = 0;
    EXPECT_EQ(cached, scanned);
    EXPECT_EQ(cached->frames, s.frames);
    EXPECT_EQ(cached->duration, s.duration);
    EXPECT_EQ(cached->fields, s.fields);
    EXPECT_EQ(cached->pullDown, s.pullDown);
}

INSTANTIATE_TEST_SUITE_P(VideoData, RealStreams, ::testing::ValuesIn(kStreams),
                         [](const ::testing::TestParamInfo<RealStream>& param) {
                             std::string name = param.param.file;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

}  // namespace
}  // namespace varnix
