#include <gtest/gtest.h>

#include "formats/dts.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::BuildDTSFrame;
using test::Bytes;
using test::DTSFrameParams;
using test::TempDir;

TEST(DTSCoreHeader, ReadsEveryFieldWithAndWithoutHeaderCRC) {
    for (int cpf : {0, 1}) {
        DTSFrameParams p;
        p.cpf = cpf;
        p.shortCount = 7;
        p.nblks = 127;
        p.fsize = 16383;
        p.amode = 13;
        p.sfreq = 8;
        p.rate = 24;
        p.mix = p.dynf = p.timef = p.auxf = p.hdcd = 1;
        p.extAudioId = 5;
        p.extAudio = 1;
        p.lff = 3;
        p.hcrc = 0xBEEF;
        p.filts = 1;
        p.vernum = 15;
        p.chist = 2;
        p.pcmr = 5;
        p.sumf = p.sums = 1;
        p.dialnorm = 9;
        DTSCoreHeader h;
        ASSERT_TRUE(h.decode(BuildDTSFrame(p)));
        EXPECT_EQ(h.shortCount, 7u);
        EXPECT_EQ(h.nblks, 127u);
        EXPECT_EQ(h.fsize, 16383u);
        EXPECT_EQ(h.amode, 13u);
        EXPECT_EQ(h.sfreq, 8u);
        EXPECT_EQ(h.rate, 24u);
        EXPECT_EQ(h.extAudioId, 5u);
        EXPECT_EQ(h.lff, 3u);
        EXPECT_EQ(h.hcrc, cpf == 1 ? 0xBEEFu : 0u);
        EXPECT_EQ(h.vernum, 15u);
        EXPECT_EQ(h.chist, 2u);
        EXPECT_EQ(h.pcmr, 5u);
        EXPECT_EQ(h.dialnorm, 9u) << "cpf " << cpf;
    }
}

TEST(DTSHeader, KeepsTheRecordFieldsAndZeroWithoutSync) {
    DTSFrameParams p;
    p.shortCount = 31;  // deficit (31 + 1) mod 32 = 0
    DTSHeader h;
    ASSERT_TRUE(h.decode(BuildDTSFrame(p)));
    EXPECT_EQ(h.sync, kDTSSync);
    EXPECT_EQ(h.frameType, 1);
    EXPECT_EQ(h.deficit, 0);
    EXPECT_EQ(h.blocks, 16);
    EXPECT_EQ(h.frameBytes, 2012u);
    EXPECT_EQ(h.channelCode, 9);
    EXPECT_EQ(h.rateIndex, 12);  // SFREQ 13 - 1
    EXPECT_EQ(h.bitRateCode, 15);

    Bytes bad = BuildDTSFrame(p);
    bad[3] = 0x02;
    EXPECT_FALSE(h.decode(bad));
    EXPECT_EQ(h.sync, 0x7FFE8002u);
    EXPECT_EQ(h.frameBytes, 0u);
    EXPECT_FALSE(h.decode(Bytes(bad.begin(), bad.begin() + 9)));
    EXPECT_EQ(h.sync, 0u);
}

TEST(DTSTables, CodesOutsideTheTables) {
    EXPECT_EQ(DTSSampleRate(0), 0u);
    EXPECT_EQ(DTSSampleRate(16), 0u);
    EXPECT_EQ(DTSChannelCount(15), 0u);
    EXPECT_EQ(DTSChannelLongName(15), "User defined");
    EXPECT_EQ(DTSBitRate(30), 0u);
}

TEST(DTSQueries, RealFileMatchesWhatFfprobeReported) {
    TempDir dir;
    const std::string file = dir.copyData("dts-51.dts");
    EXPECT_EQ(GetDTSSampleRate(file), 48000u);
    EXPECT_TRUE(GetDTSLFE(file));
    EXPECT_EQ(GetDTSFrameCount(file), 94u);
    const std::optional<DTSHeader> h = ReadDTSHeader(file, false);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->frameBytes, 1024u);
    EXPECT_EQ(DTSChannelCount(h->channelCode) + 1, 6u);  // 5.1
}

TEST(DTSQueries, FrameCountFromTheFirstFrameOrAssumed2048Bytes) {
    TempDir dir;
    const Bytes frame = BuildDTSFrame(DTSFrameParams{});  // 2012 bytes
    Bytes stream;
    for (int i = 0; i < 1000; ++i) {
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(GetDTSFrameCount(dir.write("a.dts", stream)), 1000u);
    // A first frame not followed by a sync word where its FSIZE says: 2048-byte frames.
    stream.insert(stream.begin() + 2012, 7, 0);
    EXPECT_EQ(GetDTSFrameCount(dir.write("b.dts", stream)), 2012007u / 2048);
    // Fewer than 10 bytes after the first frame: its own length stays.
    const Bytes single = test::Join({frame, Bytes(5, 0)});
    EXPECT_EQ(GetDTSFrameCount(dir.write("c.dts", single)), 1u);
}

TEST(DTSQueries, ShortOrMissingFilesGiveZeros) {
    TempDir dir;
    const Bytes frame = BuildDTSFrame(DTSFrameParams{});
    const std::string shortFile = dir.write("short.dts", Bytes(frame.begin(), frame.begin() + 12));
    for (const auto& file : {shortFile, dir.file("missing.dts")}) {
        EXPECT_EQ(GetDTSFrameCount(file), 0u);
        EXPECT_EQ(GetDTSSampleRate(file), 0u);
        EXPECT_FALSE(GetDTSLFE(file));
    }
    EXPECT_EQ(DTSHeaderReport(dir.file("missing.dts")).substr(0, 15), "Sync ... Fail\r\n");
    EXPECT_EQ(DTSHeaderReport(dir.write("two.dts", Bytes{0x7F, 0xFE})).substr(0, 15),
              "Sync ... Fail\r\n");
}

TEST(DTSQueries, ReadsWithoutForceOnlyFilesNamedDts) {
    TempDir dir;
    const Bytes frame = BuildDTSFrame(DTSFrameParams{});
    const std::optional<DTSHeader> upper = ReadDTSHeader(dir.write("upper.DTS", frame), false);
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->frameBytes, 2012u);
    const std::string other = dir.write("stream.cpt", frame);
    EXPECT_FALSE(ReadDTSHeader(other, false));
    const std::optional<DTSHeader> forced = ReadDTSHeader(other, true);
    ASSERT_TRUE(forced);
    EXPECT_EQ(forced->frameBytes, 2012u);
    // Without the sync word there is no header to give.
    Bytes noSync = frame;
    noSync[0] = 0;
    EXPECT_FALSE(ReadDTSHeader(dir.write("nosync.dts", noSync), true));
}

TEST(DTSHeaderReport, ListsEveryFieldAndTheCRCOnlyWhenPresent) {
    DTSFrameParams p;
    p.cpf = 1;
    p.hcrc = 4660;
    p.pcmr = 6;
    p.vernum = 7;
    p.dialnorm = 12;
    const std::string text = DTSHeaderReportOf(BuildDTSFrame(p));
    EXPECT_EQ(text,
              "Synk ... Ok\r\n"
              "normal/termination? = 1\r\n"
              "deficit sample count = 31\r\n"
              "CRC present? = 1\r\n"
              "PCM samples = 16\r\n"
              "downmix enabled = 0\r\n"
              "dynamic range flag = 0\r\n"
              "time stamp = 0\r\n"
              "auxiliary data = 0\r\n"
              "HDCD = 0\r\n"
              "extended coding flag = 0\r\n"
              "audio sync word insert = 1\r\n"
              "low frequency effects = 2\r\n"
              "predictor history = 1\r\n"
              "CRC = 4660\r\n"
              "multirate interpolator = 0\r\n"
              "encoder software revision = 7\r\n"
              "copy history = 0\r\n"
              "PCM resolution = 110\r\n"
              "front sums difference flags = 0\r\n"
              "surround sums difference flags = 0\r\n"
              "dialog normalization parameter = 12");
    p.cpf = 0;
    const std::string without = DTSHeaderReportOf(BuildDTSFrame(p));
    EXPECT_EQ(without.find("CRC = "), std::string::npos);
    EXPECT_NE(without.find("predictor history = 1\r\nmultirate interpolator = 0"),
              std::string::npos);
}

TEST(DTSHeaderReport, BinaryText) {
    EXPECT_EQ(BinaryText(6, 3), "110");
    EXPECT_EQ(BinaryText(1, 3), "001");
    EXPECT_EQ(BinaryText(5, 0), "");
    EXPECT_EQ(BinaryText(5, -2), "");
    EXPECT_EQ(BinaryText(0xFFFFFFFFu, 34), "00" + std::string(32, '1'));
}

}  // namespace
}  // namespace varnix
