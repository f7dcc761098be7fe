// The stream builders write the same header bytes as real encoders do for the same parameters,
// so that tests on built streams say something about real files.

#include <gtest/gtest.h>

#include "support/audio_builders.h"
#include "support/bit_writer.h"
#include "support/temp_dir.h"

namespace varnix::test {
namespace {

Bytes Head(const std::string& dataName, std::size_t n) {
    TempDir dir;
    Bytes all = ReadAll(dir.copyData(dataName));
    all.resize(std::min(all.size(), n));
    return all;
}

TEST(BitWriter, WritesFieldsMostSignificantBitFirstAcrossBytes) {
    BitWriter w;
    w.put(0b101, 3).put(0x1F, 6).put(1, 1).align().put(0xABCD, 16);
    EXPECT_EQ(w.data(), (Bytes{0b10101111, 0b11000000, 0xAB, 0xCD}));
    EXPECT_EQ(w.bitCount(), 32u);
}

TEST(AudioBuilders, AC3HeaderMatchesFfmpegFor51At448k) {
    // ffmpeg's 5.1 stream: fscod 0, frmsizecod 30, bsid 8, bsmod 0, acmod 7, both mix levels 1.
    const Bytes real = Head("ac3-51-448k.ac3", 7);
    const Bytes built = BuildAC3Frame(AC3FrameParams{});
    ASSERT_EQ(built.size(), 1792u);
    EXPECT_EQ(built[0], real[0]);
    EXPECT_EQ(built[1], real[1]);
    EXPECT_EQ(built[4], real[4]);
    EXPECT_EQ(built[5], real[5]);
    EXPECT_EQ(built[6], real[6]);  // acmod, cmixlev, surmixlev and lfeon fill byte 6 exactly
}

TEST(AudioBuilders, AC3HeaderMatchesFfmpegForStereoAt44k1) {
    const Bytes real = Head("ac3-44k1-192k.ac3", 7);
    AC3FrameParams p;
    p.fscod = 1;
    p.frmsizecod = 20;
    p.acmod = 2;
    p.dsurmod = real[6] >> 3 & 3;
    p.lfeon = false;
    const Bytes built = BuildAC3Frame(p);
    EXPECT_EQ(built.size(), 834u);
    EXPECT_EQ(Bytes(built.begin() + 4, built.begin() + 6), Bytes(real.begin() + 4, real.end() - 1));
    // acmod (3 bits), dsurmod (2) and lfeon (1): the top six bits of byte 6.
    EXPECT_EQ(built[6] & 0xFC, real[6] & 0xFC);
}

TEST(AudioBuilders, DTSHeaderMatchesFfmpeg) {
    // ffmpeg's dca encoder: 15 blocks, 1024-byte frames, AMODE 9, 48 kHz, rate code 15, LFF 2.
    const Bytes real = Head("dts-51.dts", 13);
    DTSFrameParams p;
    p.fsize = 1023;
    p.aspf = 0;
    p.pcmr = 0;
    const Bytes built = BuildDTSFrame(p);
    ASSERT_EQ(built.size(), 1024u);
    EXPECT_EQ(Bytes(built.begin(), built.begin() + 13), real);
}

TEST(AudioBuilders, LayerIIHeaderMatchesLibtwolame) {
    const Bytes real = Head("mp2-crc.mp2", 4);
    const Bytes built = BuildMPAFrame(MPAFrameParams{});
    ASSERT_EQ(built.size(), 576u);
    EXPECT_EQ(Bytes(built.begin(), built.begin() + 4), real);
}

TEST(AudioBuilders, WAVWithListChunkMatchesFfmpegDefaultLayout) {
    const Bytes real = Head("wav-s16-list.wav", 78);
    const Bytes built =
        BuildRIFF({FmtChunk(WAVFormat{}), ListChunk("Lavf59.27.100"), DataChunk(96000)});
    EXPECT_EQ(built.size(), 96078u);
    EXPECT_EQ(Bytes(built.begin(), built.begin() + 78), real);
}

TEST(AudioBuilders, FillerNeverHoldsASyncWord) {
    const Bytes fill = Filler(100000, 9);
    for (std::size_t i = 0; i + 1 < fill.size(); ++i) {
        ASSERT_NE(fill[i], 0xFF);
        ASSERT_FALSE(fill[i] == 0x0B && fill[i + 1] == 0x77);
        ASSERT_FALSE(fill[i] == 0x7F && fill[i + 1] == 0xFE);
    }
}

}  // namespace
}  // namespace varnix::test
