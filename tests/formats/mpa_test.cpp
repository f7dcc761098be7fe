#include <gtest/gtest.h>

#include <algorithm>

#include "core/errors.h"
#include "formats/mpa_file.h"
#include "formats/mpa_piece.h"
#include "support/audio_builders.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::BuildMPAFrame;
using test::BuildMPAStream;
using test::Bytes;
using test::MPAFrameParams;
using test::TempDir;

TMPAFrame Parse(const MPAFrameParams& p) {
    TMPAFrame frame;
    const Bytes bytes = BuildMPAFrame(p, 100);
    frame.ParseHeader(bytes);
    return frame;
}

TEST(TMPAFrame, FrameLengthsOfCommonStreams) {
    struct Case {
        int version, layer, bitRateIndex, sampleRateIndex;
        bool padding;
        unsigned length;
    };
    const Case cases[] = {
        {0, 1, 10, 1, false, 576},  // Layer II, 48 kHz, 192 kbit/s
        {0, 2, 9, 0, false, 417},   // Layer III, 44.1 kHz, 128 kbit/s
        {0, 2, 9, 0, true, 418},
        {0, 0, 12, 1, false, 384},  // Layer I, 48 kHz, 384 kbit/s
        {0, 0, 12, 1, true, 388},
        {1, 2, 8, 1, false, 192},    // MPEG-2 Layer III, 24 kHz, 64 kbit/s
        {2, 2, 8, 2, false, 576},    // MPEG-2.5 Layer III, 8 kHz, 64 kbit/s
        {1, 1, 14, 2, false, 1440},  // MPEG-2 Layer II, 16 kHz, 160 kbit/s
        {0, 1, 0, 1, false, 0},      // free format
    };
    for (const auto& c : cases) {
        MPAFrameParams p;
        p.version = c.version;
        p.layer = c.layer;
        p.bitRateIndex = c.bitRateIndex;
        p.sampleRateIndex = c.sampleRateIndex;
        p.padding = c.padding;
        const TMPAFrame f = Parse(p);
        EXPECT_TRUE(f.valid);
        EXPECT_EQ(f.FrameLength(), c.length) << c.version << c.layer << c.bitRateIndex;
        EXPECT_EQ(f.PayloadLength(), c.length == 0 ? 0 : c.length - 4);
    }
}

TEST(TMPAFrame, ParsesEveryHeaderTheBuilderWrites) {
    // Valid exactly when version, layer, sample-rate index and bit-rate index are not reserved;
    // the lengths agree with the standard's formula wherever there is one.
    for (int version = 0; version < 4; ++version) {
        for (int layer = 0; layer < 4; ++layer) {
            for (int rateIndex = 0; rateIndex < 4; ++rateIndex) {
                for (int bitRateIndex = 0; bitRateIndex < 16; ++bitRateIndex) {
                    MPAFrameParams p;
                    p.version = version;
                    p.layer = layer;
                    p.sampleRateIndex = rateIndex;
                    p.bitRateIndex = bitRateIndex;
                    p.mode = (version + layer) % 4;
                    p.emphasis = rateIndex;
                    p.crc = bitRateIndex % 2 == 0;
                    p.copyright = p.original = p.privateBit = layer == 1;
                    const TMPAFrame f = Parse(p);
                    const bool expected =
                        version != 3 && layer != 3 && rateIndex != 3 && bitRateIndex != 15;
                    ASSERT_EQ(f.valid, expected) << version << layer << rateIndex << bitRateIndex;
                    EXPECT_EQ(f.version, version);
                    EXPECT_EQ(f.layer, layer);
                    EXPECT_EQ(f.channelMode, p.mode);
                    EXPECT_EQ(f.emphasis, p.emphasis);
                    EXPECT_EQ(f.crcProtected, p.crc);
                    EXPECT_EQ(f.copyright, p.copyright);
                    EXPECT_EQ(f.privateBit, p.privateBit);
                    EXPECT_EQ(f.SamplesPerFrame(), test::MPASamplesPerFrame(p));
                    if (expected) {
                        EXPECT_EQ(f.FrameLength(), test::MPAFrameLength(p));
                    } else {
                        EXPECT_EQ(f.PayloadLength(), 0);
                    }
                }
            }
        }
    }
}

TEST(ReadMPAInfo, RealStreamsMatchWhatFfprobeReported) {
    TempDir dir;
    for (const char* name : {"mp2-crc.mp2", "mp2-id3.mp2"}) {
        const std::optional<MPAInfo> found = ReadMPAInfo(dir.copyData(name), true);
        ASSERT_TRUE(found) << name;
        const MPAInfo& info = *found;
        EXPECT_EQ(info.version, 0);
        EXPECT_EQ(info.layer, 1);
        EXPECT_EQ(info.sampleRate, 48000u);
        EXPECT_EQ(info.bitRate, 192u);
        EXPECT_EQ(info.channelMode, 0);  // 2 channels
        EXPECT_TRUE(info.crcProtected);
        EXPECT_FALSE(info.protection);
        EXPECT_EQ(info.frameCount, 84u) << name;
        EXPECT_EQ(info.totalSamples, 84u * 1152) << name;
    }
    const std::optional<MPAInfo> first = ReadMPAInfo(dir.copyData("mp2-crc.mp2"), false);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->frameCount, 1u);
    EXPECT_EQ(first->totalSamples, 1152u);
}

TEST(ReadMPAInfo, InfoFramesAreNeitherCountedNorCopied) {
    struct Case {
        int version, mode;
        const char* tag;
    };
    const Case cases[] = {{0, 0, "Xing"}, {0, 3, "Info"}, {1, 1, "Xing"}, {1, 3, "Info"}};
    TempDir dir;
    for (const auto& c : cases) {
        MPAFrameParams p;
        p.version = c.version;
        p.layer = 2;
        p.crc = false;
        p.bitRateIndex = 9;
        p.sampleRateIndex = 0;
        p.mode = c.mode;
        const Bytes tagFrame = test::BuildMPATagFrame(p, c.tag);
        const std::string file =
            dir.write("tagged.mp3", test::Join({tagFrame, BuildMPAStream(p, 10)}));
        const MPAInfo info = ReadMPAInfo(file, true).value();
        EXPECT_EQ(info.frameCount, 10u) << c.tag << c.version << c.mode;
        EXPECT_EQ(info.totalSamples, 10u * test::MPASamplesPerFrame(p));
        EXPECT_EQ(LocateMPAPiece(file, 0, kToEnd).start, tagFrame.size());
    }
}

TEST(ReadMPAInfo, ATagAtTheWrongOffsetIsAudio) {
    MPAFrameParams p;
    Bytes first = BuildMPAFrame(p);
    std::copy_n("Xing", 4, first.begin() + 4 + 17);  // a mono offset in a stereo frame
    TempDir dir;
    const MPAInfo info =
        ReadMPAInfo(dir.write("a.mp2", test::Join({first, BuildMPAStream(p, 3)})), true).value();
    EXPECT_EQ(info.frameCount, 4u);
}

TEST(ReadMPAInfo, SkipsAnID3v2TagByTheSizeItAnnounces) {
    TempDir dir;
    const std::string file =
        dir.write("tagged.mp2", test::Join({test::BuildID3v2Tag(1000), BuildMPAStream({}, 5)}));
    const MPAInfo info = ReadMPAInfo(file, true).value();
    EXPECT_EQ(info.frameCount, 5u);
    EXPECT_EQ(LocateMPAPiece(file, 0, 1152u).start, 1010u);
}

TEST(ReadMPAInfo, BrokenStreamsEndTheWalkWithoutACrash) {
    TempDir dir;
    // Garbage between 20 + 20 frames: the bytes FF FF 47 41 where the 0xFF run meets the text
    // read as a Layer I header; the walk skips its 128-byte payload into the next real frame,
    // which is then not counted.
    const MPAInfo info = ReadMPAInfo(dir.copyData("bad/mp2-garbage.mp2"), true).value();
    EXPECT_EQ(info.totalSamples, 39u * 1152);
    EXPECT_EQ(info.sampleRate, 48000u);
    // An ID3v2 size beyond the file, or a header cut short: nothing is found.
    for (const char* name : {"bad/mp2-id3-beyond-end.mp2", "bad/mp2-truncated-header.mp2"}) {
        EXPECT_FALSE(ReadMPAInfo(dir.copyData(name), true)) << name;
    }
    // A trailing 0xFF byte ends the walk without a further frame.
    const std::string trailing =
        dir.write("trailing.mp2", test::Join({BuildMPAStream({}, 3), Bytes{0xFF}}));
    EXPECT_EQ(ReadMPAInfo(trailing, true).value().frameCount, 3u);
    // An empty file and a missing one.
    EXPECT_FALSE(ReadMPAInfo(dir.write("empty.mp2", {}), true));
    EXPECT_THROW(ReadMPAInfo(dir.file("missing.mp2"), true), IoError);
}

TEST(ReadMPAInfo, FreeFormatFramesAreWalkedHeaderByHeader) {
    MPAFrameParams p;
    p.bitRateIndex = 0;
    Bytes stream;
    for (int i = 0; i < 10; ++i) {
        const Bytes frame = BuildMPAFrame(p, 700);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    TempDir dir;
    const MPAInfo info = ReadMPAInfo(dir.write("free.mp2", stream), true).value();
    EXPECT_EQ(info.bitRate, 0u);
    EXPECT_EQ(info.frameCount, 10u);
    EXPECT_EQ(info.totalSamples, 10u * 1152);
}

TEST(ReadMPAInfo, FramesOfAnotherRateLayerOrChannelCountAreNotAccepted) {
    MPAFrameParams other = {};
    other.sampleRateIndex = 0;  // 44.1 kHz
    MPAFrameParams mono = {};
    mono.mode = 3;
    MPAFrameParams joint = {};
    joint.mode = 1;  // two channels: accepted
    TempDir dir;
    const std::string file =
        dir.write("mixed.mp2", test::Join({BuildMPAStream({}, 4), BuildMPAStream(other, 2),
                                           BuildMPAStream(mono, 3), BuildMPAStream(joint, 5)}));
    const MPAInfo info = ReadMPAInfo(file, true).value();
    EXPECT_EQ(info.frameCount, 14u);
    EXPECT_EQ(info.totalSamples, 9u * 1152);
}

class MPAPieces : public ::testing::Test {
  protected:
    TempDir dir;
    std::string source = dir.write("in.mp2", BuildMPAStream({}, 40));  // 576-byte frames
};

TEST_F(MPAPieces, EndOnTheNearestFrameBoundaryWithTiesToTheLater) {
    struct Case {
        std::uint64_t count;
        std::int64_t samples;
    };
    const Case cases[] = {
        {1152 * 10 + 500, 11520},  // 10 frames are nearer
        {1152 * 10 + 576, 12672},  // exactly between: the later boundary
        {1152 * 10 + 577, 12672}, {1152 * 10, 11520}, {100, 0}, {0, 0},
    };
    for (const auto& c : cases) {
        const std::string piece = dir.file("piece.mp2");
        EXPECT_EQ(WriteMPAPiece(source, piece, 0, nullptr, 0, nullptr, c.count), c.samples);
        EXPECT_EQ(test::ReadAll(piece).size(), static_cast<std::size_t>(c.samples / 1152 * 576))
            << c.count;
    }
}

TEST_F(MPAPieces, ConcatenateBackToTheStream) {
    const std::uint64_t counts[] = {11520 + 500, 1000, 1152 * 7 + 576, 0, 2000};
    std::uint64_t start = 0;
    Bytes joined;
    int n = 0;
    for (std::uint64_t count : counts) {
        std::string name = "p";
        name += std::to_string(n++);
        const std::string piece = dir.file(name);
        start += static_cast<std::uint64_t>(
            WriteMPAPiece(source, piece, start, nullptr, 0, nullptr, count));
        joined = test::Join({joined, test::ReadAll(piece)});
    }
    const std::string tail = dir.file("tail.mp2");
    EXPECT_EQ(WriteMPAPiece(source, tail, start, nullptr, 0, nullptr, kToEnd),
              static_cast<std::int64_t>(40 * 1152 - start));
    joined = test::Join({joined, test::ReadAll(tail)});
    EXPECT_EQ(joined, test::ReadAll(source));
}

TEST_F(MPAPieces, StartPastTheLastFrameGivesAnEmptyPiece) {
    // Regression: such a piece copied the whole file.
    const std::string piece = dir.file("late.mp2");
    EXPECT_EQ(WriteMPAPiece(source, piece, 1152 * 41, nullptr, 0, nullptr, 1152u), 0);
    EXPECT_TRUE(test::ReadAll(piece).empty());
    EXPECT_EQ(WriteMPAPiece(source, piece, 1152 * 41, nullptr, 0, nullptr, kToEnd), 0);
    EXPECT_TRUE(test::ReadAll(piece).empty());
    EXPECT_EQ(WriteMPAPiece(source, piece, 1152 * 39, nullptr, 0, nullptr, UINT64_MAX), 1152);
    EXPECT_EQ(test::ReadAll(piece).size(), 576u);
}

// The walk that finds the range reports the position reached so far every few hundred frames, so
// that a window stays responsive; the copy then reports its bytes.
TEST_F(MPAPieces, ReportProgressDuringTheWalkEveryFewHundredFrames) {
    const std::string longSource = dir.write("long.mp2", BuildMPAStream({}, 1000));
    std::vector<std::uint64_t> positions;
    const auto progress = [&](std::uint64_t p) { positions.push_back(p); };
    WriteMPAPiece(longSource, dir.file("out.mp2"), 0, nullptr, 7, progress, kToEnd);
    const auto duringWalk = std::count(positions.begin(), positions.end(), 7u);
    EXPECT_GE(duringWalk, 3);
    EXPECT_LE(duringWalk, 10);
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), 7u + 576000);
}

}  // namespace
}  // namespace varnix
