#include <gtest/gtest.h>

#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::AC3FrameParams;
using test::BuildAC3Frame;
using test::BuildAC3Stream;
using test::Bytes;
using test::TempDir;

TEST(AC3Tables, FrameSizesFollowTheBitRateAtEverySampleRate) {
    // words = bit rate x 1536 / (16 x rate): exact at 48 and 32 kHz; at 44.1 kHz truncated, and
    // one word more for the odd code of each pair.
    const unsigned rates[] = {48000, 44100, 32000};
    for (unsigned fscod = 0; fscod < 3; ++fscod) {
        for (unsigned code = 0; code < kAC3FrameSizeCodes; ++code) {
            const std::uint64_t bitRate = AC3BitRate(code / 2 + (fscod == 1 ? 32 : 0));
            std::uint64_t words = bitRate * 1536 / (16 * rates[fscod]);
            if (fscod == 1 && code % 2 == 1) {
                ++words;
            }
            EXPECT_EQ(AC3FrameBytes(fscod, code), 2 * words) << fscod << " " << code;
        }
    }
}

TEST(AC3Tables, EdgesOfTheTables) {
    EXPECT_EQ(AC3FrameBytes(3, 10), 0u);  // reserved sample rate
    EXPECT_EQ(AC3FrameBytes(0, 38), 0u);
    EXPECT_EQ(AC3BitRate(33), 40000u);  // 44.1 kHz, frmsizecod 2 and 3
    EXPECT_EQ(AC3BitRate(51), 0u);
}

TEST(AC3Header, DecodesEveryChannelModeWithAndWithoutLFE) {
    for (int acmod = 0; acmod < 8; ++acmod) {
        for (bool lfe : {false, true}) {
            AC3FrameParams p;
            p.acmod = acmod;
            p.lfeon = lfe;
            // Set bits in the optional fields, so that a wrong offset reads a 1 where LFE is off.
            p.cmixlev = 3;
            p.surmixlev = 3;
            p.dsurmod = 3;
            p.bsmod = acmod;
            AC3Header h;
            ASSERT_TRUE(h.decode(BuildAC3Frame(p)));
            EXPECT_EQ(h.acmod, acmod);
            EXPECT_EQ(h.lfeon, lfe) << "acmod " << acmod;
            EXPECT_EQ(h.bsmod, acmod);
            EXPECT_EQ(h.bsid, 8);
            EXPECT_EQ(h.frameBytes(), 1792u);
        }
    }
}

TEST(AC3Header, RejectsShortOrUnsyncedOrLengthlessHeaders) {
    Bytes frame = BuildAC3Frame(AC3FrameParams{});
    AC3Header h;
    EXPECT_FALSE(h.decode(std::span<const std::uint8_t>(frame.data(), 6)));
    AC3FrameParams reserved;
    reserved.fscod = 3;
    EXPECT_FALSE(h.decode(BuildAC3Frame(reserved)));
    EXPECT_TRUE(h.sync);
    frame[1] = 0x78;
    EXPECT_FALSE(h.decode(frame));
    EXPECT_FALSE(h.sync);
}

TEST(AC3Queries, RealFilesMatchWhatFfprobeReported) {
    struct Case {
        const char* file;
        unsigned fscod;
        unsigned acmod;
        bool lfe;
        std::uint32_t bitRate;
        std::uint32_t frameBytes;
        std::uint64_t frames;  // ffprobe -count_frames
    };
    const Case cases[] = {
        {"ac3-51-448k.ac3", 0, 7, true, 448000, 1792, 63},
        {"ac3-stereo-192k.ac3", 0, 2, false, 192000, 768, 63},
        {"ac3-44k1-192k.ac3", 1, 2, false, 192000, 834, 58},
        {"ac3-44k1-32k.ac3", 1, 2, false, 32000, 138, 144},
    };
    TempDir dir;
    for (const auto& c : cases) {
        const std::string file = dir.copyData(c.file);
        EXPECT_EQ(GetAC3SampleRateCode(file), c.fscod) << c.file;
        EXPECT_EQ(GetAC3ChannelMode(file), c.acmod) << c.file;
        EXPECT_EQ(GetAC3LFE(file), c.lfe) << c.file;
        EXPECT_EQ(GetAC3BitStreamMode(file), 0u) << c.file;
        EXPECT_EQ(AC3BitRate(GetAC3BitRateIndex(file)), c.bitRate) << c.file;
        EXPECT_EQ(GetAC3FrameBytes(file), c.frameBytes) << c.file;
        EXPECT_EQ(GetAC3TotalSamples(file), c.frames * 1536) << c.file;
    }
}

TEST(AC3Queries, ShortOrForeignFilesGiveZero) {
    TempDir dir;
    const Bytes frame = BuildAC3Frame(AC3FrameParams{});
    const std::string six = dir.write("six.ac3", Bytes(frame.begin(), frame.begin() + 6));
    const std::string eight = dir.write("eight.ac3", Bytes(frame.begin(), frame.begin() + 8));
    const std::string foreign = dir.write("foreign.ac3", Bytes(2000, 0x42));
    for (const auto& file : {six, dir.file("missing.ac3")}) {
        EXPECT_EQ(GetAC3SampleRateCode(file), 0u);
        EXPECT_EQ(GetAC3FrameBytes(file), 0u);
        EXPECT_EQ(GetAC3TotalSamples(file), 0u);
        EXPECT_FALSE(GetAC3LFE(file));
    }
    // Seven bytes hold the frame length; the channel queries read ten.
    EXPECT_EQ(GetAC3FrameBytes(eight), 1792u);
    EXPECT_EQ(GetAC3ChannelMode(eight), 0u);
    EXPECT_EQ(GetAC3TotalSamples(eight), 0u);  // shorter than its first frame
    EXPECT_EQ(GetAC3FrameBytes(foreign), 0u);
    EXPECT_EQ(GetAC3TotalSamples(foreign), 0u);
}

TEST(AC3Queries, ThousandFramesOf1536BytesLastThirtyTwoSecondsInPAL) {
    AC3FrameParams p;
    p.frmsizecod = 28;
    TempDir dir;
    const std::string file = dir.write("long.ac3", BuildAC3Stream(p, 1000));
    EXPECT_EQ(GetAC3TotalSamples(file), 1536000u);
    EXPECT_EQ(AC3SamplesToTimeCode(0, 25.0, 1536000), MakeTimeCode(0, 0, 31, 24));
}

// Frames of differing lengths are walked; see also the real 44.1 kHz files above.
TEST(AC3FrameLayout, MixedLengthFramesAreCountedOneByOne) {
    AC3FrameParams p;
    p.fscod = 1;
    p.frmsizecod = 4;  // 208 and 210 bytes
    Bytes stream = BuildAC3Stream(p, 200, true);
    SpanSource source(stream);
    AC3FrameLayout layout = ReadAC3FrameLayoutOf(source);
    EXPECT_FALSE(layout.uniform);
    EXPECT_EQ(layout.frameCount, 200u);  // size div 208 would say 201
    ASSERT_EQ(layout.frameStarts.size(), 201u);
    EXPECT_EQ(layout.frameStart(0), 0u);
    EXPECT_EQ(layout.frameStart(1), 208u);
    EXPECT_EQ(layout.frameStart(2), 418u);
    EXPECT_EQ(layout.frameStart(200), stream.size());
    EXPECT_EQ(layout.frameStart(500), stream.size());

    // The walk stops at a frame that runs past the end and at bytes without the sync word.
    stream.resize(stream.size() - 5);
    SpanSource cut(stream);
    EXPECT_EQ(ReadAC3FrameLayoutOf(cut).frameCount, 199u);
    const Bytes withGarbage = test::Join({BuildAC3Stream(p, 20, true), test::Filler(1000)});
    SpanSource garbage(withGarbage);
    EXPECT_EQ(ReadAC3FrameLayoutOf(garbage).frameCount, 20u);
}

TEST(AC3FrameLayout, JoinedBitRatesAt48kHzAreWalked) {
    AC3FrameParams high;
    AC3FrameParams low;
    low.frmsizecod = 20;  // 768 bytes
    const Bytes joined = test::Join({BuildAC3Stream(high, 30), BuildAC3Stream(low, 30)});
    SpanSource source(joined);
    const AC3FrameLayout layout = ReadAC3FrameLayoutOf(source);
    EXPECT_FALSE(layout.uniform);
    EXPECT_EQ(layout.frameCount, 60u);
    EXPECT_EQ(layout.frameStart(31), 30u * 1792 + 768);
}

TEST(AC3FrameLayout, UniformStreamsKeepSizeDivLength) {
    // A partial frame at the end still counts by the arithmetic: size div L.
    const Bytes stream = test::Join({BuildAC3Stream(AC3FrameParams{}, 40), test::Filler(1000)});
    for (bool walk : {false, true}) {
        SpanSource source(stream);
        const AC3FrameLayout layout = ReadAC3FrameLayoutOf(source, walk);
        EXPECT_TRUE(layout.uniform);
        EXPECT_EQ(layout.frameCount, stream.size() / 1792);
        EXPECT_TRUE(layout.frameStarts.empty());
        EXPECT_EQ(layout.frameStart(3), 3u * 1792);
        EXPECT_EQ(layout.frameStart(100), stream.size());
        EXPECT_EQ(layout.frameStart(UINT64_MAX / 2), stream.size());
    }
}

// Counts the reads a walk makes.
class CountingSource : public ByteSource {
  public:
    explicit CountingSource(std::span<const std::uint8_t> bytes) : inner_(bytes) {}
    std::uint64_t size() const override { return inner_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        ++reads;
        const std::size_t got = inner_.readAt(offset, into);
        bytesRead += got;
        return got;
    }
    int reads = 0;
    std::size_t bytesRead = 0;

  private:
    SpanSource inner_;
};

TEST(AC3FrameLayout, UniformStreamsAreProbedFromAFewHeaders) {
    const Bytes stream = BuildAC3Stream(AC3FrameParams{}, 6000);  // 10.7 MB
    CountingSource source(stream);
    EXPECT_EQ(ReadAC3FrameLayoutOf(source).frameCount, 6000u);
    EXPECT_LE(source.reads, 4);
    EXPECT_LE(source.bytesRead, 4 * kAC3HeaderBytes);
}

TEST(AC3FrameLayout, WalksReadBlocksNotFrames) {
    AC3FrameParams p;
    p.fscod = 1;
    p.frmsizecod = 0;  // 138/140-byte frames: many frames a block
    const Bytes stream = BuildAC3Stream(p, 20000, true);
    CountingSource source(stream);
    EXPECT_EQ(ReadAC3FrameLayoutOf(source).frameCount, 20000u);
    EXPECT_LE(source.reads, static_cast<int>(stream.size() / (64 * 1024)) + 2);
}

}  // namespace
}  // namespace varnix

namespace varnix {
namespace {

// Regression: the size divided by the first frame's length counted 145 frames in this
// ffmpeg stream (138- and 140-byte frames, the first one 138); it holds 144.
TEST(AC3Regression, TotalSamplesOfA44k1StreamCountRealFramesNotSizeDivFirstLength) {
    test::TempDir dir;
    const std::string file = dir.copyData("ac3-44k1-32k.ac3");
    EXPECT_EQ(test::ReadAll(file).size() / GetAC3FrameBytes(file), 145u);
    EXPECT_EQ(GetAC3TotalSamples(file), 144u * 1536);
    const AC3FrameLayout layout = ReadAC3FrameLayout(file);
    ASSERT_FALSE(layout.uniform);
    EXPECT_EQ(layout.frameStart(144), 20062u);
}

}  // namespace
}  // namespace varnix
