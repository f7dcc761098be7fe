#include <gtest/gtest.h>

#include <cmath>

#include "core/file.h"
#include "core/timecode.h"
#include "probe/media_duration.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::TempDir;

TimeCode Duration(const std::string& file, double fps) {
    return GetMediaDuration(file, nullptr, nullptr, fps);
}

TEST(GetMediaDuration, RealFilesLastAsLongAsFfprobeSays) {
    // The duration in video frames is the play time that ffprobe reported, rounded to a frame:
    // 25 frames a second in PAL, 29.97 real frames a second in NTSC (30 time-code frames a
    // time-code second of 1.001 s).
    struct Case {
        const char* file;
        double seconds;  // ffprobe
        const char* pal;
        const char* ntsc;
    };
    const Case cases[] = {
        {"ac3-51-448k.ac3", 2.016000, "00:00:02.00", "00:00:02.00"},
        {"ac3-stereo-192k.ac3", 2.016000, "00:00:02.00", "00:00:02.00"},
        {"ac3-44k1-192k.ac3", 2.020089, "00:00:02.01", "00:00:02.01"},
        {"ac3-44k1-32k.ac3", 5.015500, "00:00:05.00", "00:00:05.00"},
        {"dts-51.dts", 1.002667, "00:00:01.00", "00:00:01.00"},
        {"mp2-crc.mp2", 2.016000, "00:00:02.00", "00:00:02.00"},
        {"wav-s16-list.wav", 0.500000, "00:00:00.12", "00:00:00.15"},
        {"wav-s16-plain.wav", 0.500000, "00:00:00.12", "00:00:00.15"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string file = dir.copyData(c.file);
        const TimeCode pal = Duration(file, 25.0);
        const TimeCode ntsc = Duration(file, 30.0);
        EXPECT_EQ(TimeCodeToText(pal), c.pal) << c.file;
        EXPECT_EQ(TimeCodeToText(ntsc), c.ntsc) << c.file;
        EXPECT_EQ(TimeCodeToFrames(pal, 25.0), RoundEven(c.seconds * 25.0)) << c.file;
        EXPECT_EQ(TimeCodeToFrames(ntsc, 30.0), RoundEven(c.seconds * 29.97)) << c.file;
        EXPECT_EQ(MediaDurationForSystem(file, kPALRate, nullptr, nullptr), pal);
        EXPECT_EQ(MediaDurationForSystem(file, kNTSCRate, nullptr, nullptr), ntsc);
    }
}

TEST(GetMediaDuration, FilesWithoutADuration) {
    TempDir dir;
    const char* none[] = {
        "wav-float.wav",                 // not PCM
        "bad/ac3-truncated-header.ac3",  // no frame length
        "bad/dts-truncated-header.dts",  // no sample rate
        "bad/wav-no-data.wav",           // no "data"
        "bad/wav-chunk-past-end.wav",    // the data chunk is never reached
        "bad/mp2-truncated-header.mp2",  // no frame
        "bad/mp2-id3-beyond-end.mp2",    // not recognised: begins with "ID3"
        "mp2-id3.mp2",                   // the same
    };
    for (const char* name : none) {
        EXPECT_TRUE(Duration(dir.copyData(name), 25.0).IsNone()) << name;
    }
    EXPECT_TRUE(Duration(dir.file("missing.ac3"), 30.0).IsNone());
    // A read error where the count reads gives no duration, never a shorter one.
    const std::pair<const char*, std::uint64_t> unreadable[] = {
        {"ac3-44k1-192k.ac3", 40000}, {"mp2-crc.mp2", 40000}, {"wav-s16-list.wav", 30}};
    for (const auto& [name, bad] : unreadable) {
        const std::string copy = dir.copyData(name);
        const InjectedReadFault fault(copy, bad);
        EXPECT_TRUE(Duration(copy, 25.0).IsNone()) << name;
    }
    // MPEG audio without CRC and Layer III are not recognised.
    test::MPAFrameParams noCrc;
    noCrc.crc = false;
    test::MPAFrameParams layer3;
    layer3.layer = 2;
    layer3.crc = false;
    EXPECT_TRUE(Duration(dir.write("a.mp2", test::BuildMPAStream(noCrc, 10)), 25.0).IsNone());
    EXPECT_TRUE(Duration(dir.write("b.mp3", test::BuildMPAStream(layer3, 10)), 25.0).IsNone());
}

TEST(GetMediaDuration, BrokenButUsableFiles) {
    TempDir dir;
    // 48000 bytes of the declared 96000: 0.25 s.
    const std::string cut = dir.copyData("bad/wav-data-past-end.wav");
    EXPECT_EQ(Duration(cut, 25.0), MakeTimeCode(0, 0, 0, 6));
    EXPECT_EQ(Duration(cut, 30.0), MakeTimeCode(0, 0, 0, 7));
    // 39 frames walked around the garbage: 0.936 s.
    EXPECT_EQ(Duration(dir.copyData("bad/mp2-garbage.mp2"), 25.0), MakeTimeCode(0, 0, 0, 23));
}

TEST(GetMediaDuration, KindComesFromContentNotName) {
    TempDir dir;
    const std::string wavNamedAc3 = dir.write("x.ac3", test::BuildWAV({}, 192000));
    const std::string ac3NamedWav = dir.write("x.wav", test::BuildAC3Stream({}, 125));
    EXPECT_EQ(Duration(wavNamedAc3, 25.0), MakeTimeCode(0, 0, 1, 0));  // 48000 samples
    EXPECT_EQ(Duration(ac3NamedWav, 25.0), MakeTimeCode(0, 0, 4, 0));  // 125 x 1536 samples
}

TEST(GetMediaDuration, ZeroFieldsGiveNoDurationInsteadOfADivision) {
    struct Case {
        const char* what;
        std::uint16_t channels, bits;
        std::uint32_t rate;
    };
    const Case cases[] = {
        {"0 channels", 0, 16, 48000},
        {"0 bits", 2, 0, 48000},
        {"4 bits", 2, 4, 48000},
        {"rate 0", 2, 16, 0},
    };
    TempDir dir;
    for (const auto& c : cases) {
        test::WAVFormat f;
        f.channels = c.channels;
        f.bitsPerSample = c.bits;
        f.sampleRate = c.rate;
        f.byteRate = 192000;
        f.blockAlign = 4;
        EXPECT_TRUE(Duration(dir.write("z.wav", test::BuildWAV(f, 4000)), 25.0).IsNone()) << c.what;
    }
    test::AC3FrameParams reserved;
    reserved.fscod = 3;
    EXPECT_TRUE(Duration(dir.write("r.ac3", test::BuildAC3Stream(reserved, 10)), 25.0).IsNone());
    test::AC3FrameParams outside;
    outside.frmsizecod = 40;
    EXPECT_TRUE(Duration(dir.write("o.ac3", test::BuildAC3Stream(outside, 10)), 25.0).IsNone());
    test::DTSFrameParams noRate;
    noRate.sfreq = 0;
    EXPECT_TRUE(Duration(dir.write("n.dts", test::BuildDTSStream(noRate, 10)), 25.0).IsNone());
}

// Regression: streams too short to reach their first video frame lasted 23:59:59 or so.
TEST(GetMediaDuration, StreamsTooShortForAVideoFrameLastZero) {
    TempDir dir;
    const TimeCode zero{};
    // No samples, a few, exactly half a PAL frame (960), just under half an NTSC frame (800).
    const std::pair<std::size_t, double> cases[] = {{0, 25.0},  {0, 30.0},   {10, 25.0},
                                                    {10, 30.0}, {960, 25.0}, {800, 30.0}};
    for (const auto& [samples, fps] : cases) {
        const std::string file = dir.write("s.wav", test::BuildWAV({}, samples * 4));
        EXPECT_EQ(Duration(file, fps), zero) << samples << " at " << fps;
    }
    EXPECT_EQ(Duration(dir.write("t.wav", test::BuildWAV({}, 961 * 4)), 25.0),
              MakeTimeCode(0, 0, 0, 1));
    // An AC3 file shorter than its first frame.
    const Bytes frame = test::BuildAC3Frame({});
    const std::string part = dir.write("p.ac3", Bytes(frame.begin(), frame.begin() + 100));
    EXPECT_EQ(Duration(part, 25.0), zero);
}

TEST(GetMediaDuration, OneSecondOfPCMInPAL) {
    TempDir dir;
    EXPECT_EQ(Duration(dir.write("one.wav", test::BuildWAV({}, 192000)), 25.0),
              MakeTimeCode(0, 0, 1, 0));
}

// Regression: a WAV file with a LIST chunk after the data counted those bytes as samples.
TEST(GetMediaDuration, WAVDurationsUseTheDataChunkOnly) {
    TempDir dir;
    test::RIFFChunk list = test::ListChunk(std::string(1900, 'x'));
    const std::string file =
        dir.write("l.wav", test::BuildRIFF({test::FmtChunk({}), test::DataChunk(192000), list}));
    EXPECT_EQ(Duration(file, 25.0), MakeTimeCode(0, 0, 1, 0));
}

}  // namespace
}  // namespace varnix
