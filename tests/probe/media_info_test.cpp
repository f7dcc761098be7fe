#include <gtest/gtest.h>

#include "probe/media_check.h"
#include "probe/media_info.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::TempDir;

TEST(IsPCMWave, OnlyRiffWaveWithFormatTag1) {
    TempDir dir;
    EXPECT_TRUE(IsPCMWave(dir.copyData("wav-s16-list.wav")));
    EXPECT_TRUE(IsPCMWave(dir.copyData("wav-s16-plain.wav")));
    EXPECT_FALSE(IsPCMWave(dir.copyData("wav-float.wav")));  // 0xFFFE
    test::WAVFormat tag3;
    tag3.formatTag = 3;
    EXPECT_FALSE(IsPCMWave(dir.write("f.wav", test::BuildWAV(tag3, 40))));
    test::Bytes rifx = test::BuildWAV({}, 40);
    rifx[3] = 'X';
    EXPECT_FALSE(IsPCMWave(dir.write("x.wav", rifx)));
    EXPECT_FALSE(IsPCMWave(dir.copyData("ac3-51-448k.ac3")));
    EXPECT_FALSE(IsPCMWave(dir.file("missing.wav")));
}

TEST(MediaDescriptions, RealFiles) {
    TempDir dir;
    MediaInfoAC3 ac3 = ReadAC3Description(dir.copyData("ac3-51-448k.ac3"));
    EXPECT_EQ(ac3.bitRate, 448000u);
    EXPECT_EQ(ac3.audioCodingMode, 7u);
    EXPECT_EQ(ac3.sampleRate, 48.0);
    EXPECT_EQ(ac3.lfe, 1);
    ac3 = ReadAC3Description(dir.copyData("ac3-44k1-192k.ac3"));
    EXPECT_EQ(ac3.bitRate, 192000u);
    EXPECT_EQ(ac3.audioCodingMode, 2u);
    EXPECT_EQ(ac3.sampleRate, 44.1);
    EXPECT_EQ(ac3.lfe, 0);

    const MediaInfoDTS dts = ReadDTSDescription(dir.copyData("dts-51.dts"));
    EXPECT_EQ(dts.rateCode, 15u);
    EXPECT_EQ(dts.channelArrangement, 9u);
    EXPECT_EQ(dts.lfe, 1);
    EXPECT_EQ(dts.sampleRateCode, 13);  // 48 kHz

    const MediaInfoWAV wav = ReadWAVDescription(dir.copyData("wav-s16-list.wav"));
    EXPECT_EQ(wav.sampleRate, 48000u);
    EXPECT_EQ(wav.bitsPerSample, 16u);
    EXPECT_EQ(wav.channels, 2u);

    const MediaInfoMPA mpa = ReadMPADescription(dir.copyData("mp2-crc.mp2"));
    EXPECT_EQ(mpa.bitRate, 192u);
    EXPECT_EQ(mpa.sampleRate, 48000u);
    EXPECT_EQ(mpa.channelMode, 0);
}

TEST(MediaDescriptions, UnreadableFilesGiveZeroRecords) {
    TempDir dir;
    const std::string missing = dir.file("missing");
    const MediaInfoAC3 ac3 = ReadAC3Description(missing);
    EXPECT_EQ(ac3.bitRate, 0u);
    EXPECT_EQ(ac3.sampleRate, 0.0);
    const MediaInfoDTS dts = ReadDTSDescription(dir.copyData("bad/dts-truncated-header.dts"));
    EXPECT_EQ(dts.rateCode, 0u);
    EXPECT_EQ(dts.sampleRateCode, 0);
    EXPECT_EQ(ReadMPADescription(missing).sampleRate, 0u);
    EXPECT_EQ(ReadWAVDescription(missing).channels, 0u);
}

TEST(MediaFileProblem, SaysWhatIsWrong) {
    TempDir dir;
    struct Case {
        const char* file;
        const char* problem;
    };
    const Case cases[] = {
        {"ac3-51-448k.ac3", ""},
        {"dts-51.dts", ""},
        {"mp2-crc.mp2", ""},
        {"wav-s16-list.wav", ""},
        {"bad/wav-data-past-end.wav", ""},  // usable up to the end of the file
        {"bad/mp2-garbage.mp2", ""},
        {"wav-float.wav", "not PCM (format tag 65534)"},
        {"mp2-id3.mp2", "unknown file format"},
        {"bad/ac3-truncated-header.ac3", "truncated AC3 frame header"},
        {"bad/dts-truncated-header.dts", "truncated DTS frame header"},
        {"bad/wav-no-data.wav", "no \"data\" chunk"},
        {"bad/wav-chunk-past-end.wav", "no \"data\" chunk"},
        {"bad/mp2-truncated-header.mp2", "no MPEG audio frame found"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MediaFileProblem(dir.copyData(c.file)), c.problem) << c.file;
    }
    EXPECT_EQ(MediaFileProblem(dir.file("missing.ac3")), "no such file");
    EXPECT_EQ(MediaFileProblem(dir.path().string()), "is a folder");
    test::AC3FrameParams reserved;
    reserved.fscod = 3;
    EXPECT_EQ(MediaFileProblem(dir.write("r.ac3", test::BuildAC3Stream(reserved, 3))),
              "reserved AC3 sample rate code 3");
    test::MPAFrameParams freeFormat;
    freeFormat.bitRateIndex = 0;
    EXPECT_EQ(MediaFileProblem(dir.write("f.mp2", test::BuildMPAFrame(freeFormat, 600))),
              "free-format MPEG audio (no bit rate in the frame headers)");
    test::WAVFormat zero;
    zero.channels = 0;
    EXPECT_EQ(MediaFileProblem(dir.write("z.wav", test::BuildWAV(zero, 40))),
              "the format chunk gives 0 channels");
}

}  // namespace
}  // namespace varnix
