#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/errors.h"
#include "cut/cut_helpers.h"
#include "cut/cutters.h"
#include "cut/piece_writers.h"
#include "cut/unit_counts.h"
#include "formats/ac3.h"
#include "formats/wav.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::AC3FrameParams;
using test::Bytes;
using test::Concatenation;
using test::Describe;
using test::MakeCutList;
using test::RandomDurations;
using test::ReadPieces;
using test::TempDir;

// Frame starts of an AC3 stream walked frame by frame, each by its own length, and the end of
// the last whole frame.
std::vector<std::size_t> WalkAC3(const Bytes& b) {
    std::vector<std::size_t> starts;
    std::size_t pos = 0;
    while (pos + 7 <= b.size() && b[pos] == 0x0B && b[pos + 1] == 0x77) {
        const std::size_t length = AC3FrameBytes(b[pos + 4] >> 6, b[pos + 4] & 0x3F);
        if (length == 0 || pos + length > b.size()) {
            break;
        }
        starts.push_back(pos);
        pos += length;
    }
    starts.push_back(pos);
    return starts;
}

struct Stream {
    std::string name;
    Bytes bytes;
};

Bytes AC3Stream(int fscod, int frmsizecod, int frames, bool alternate) {
    AC3FrameParams p;
    p.fscod = fscod;
    p.frmsizecod = frmsizecod;
    return test::BuildAC3Stream(p, frames, alternate);
}

TEST(CutAC3File, PiecesConcatenateToTheInputAndHoldTheirFrameCounts) {
    const std::vector<Stream> streams = {
        {"ac3-51-448k.ac3", test::ReadAll(test::DataPath("ac3-51-448k.ac3"))},
        {"ac3-stereo-192k.ac3", test::ReadAll(test::DataPath("ac3-stereo-192k.ac3"))},
        {"ac3-44k1-192k.ac3", test::ReadAll(test::DataPath("ac3-44k1-192k.ac3"))},
        {"ac3-44k1-32k.ac3", test::ReadAll(test::DataPath("ac3-44k1-32k.ac3"))},
        {"48k-1536.ac3", AC3Stream(0, 28, 300, false)},
        {"44k1-alternating.ac3", AC3Stream(1, 20, 300, true)},
        {"32k.ac3", AC3Stream(2, 10, 200, false)},
    };
    const unsigned seed = 5101;
    std::mt19937 random(seed);
    for (const auto& stream : streams) {
        const auto walk = WalkAC3(stream.bytes);
        const std::size_t frames = walk.size() - 1;
        const unsigned fscod = stream.bytes[4] >> 6;
        const double seconds = frames * 1536.0 / AC3SampleRate(fscod);
        for (const TvSystem system : {TvSystem::Pal, TvSystem::Ntsc}) {
            for (int trial = 0; trial < 8; ++trial) {
                TempDir dir;
                const std::string input = dir.write(stream.name, stream.bytes);
                const auto durations = RandomDurations(
                    random, static_cast<int>(random() % 6),
                    static_cast<int>(seconds * SystemFrameRate(system) * 0.5), system);
                SCOPED_TRACE(stream.name + " " + Describe(seed, trial, durations, system));
                const CutList list = MakeCutList(dir, input, durations, system);
                const CutOutcome outcome =
                    CutAC3File(input, list, nullptr, SystemFps(system), nullptr, nullptr);
                ASSERT_TRUE(outcome.handled && outcome.usable);
                const auto pieces = ReadPieces(list);
                ASSERT_EQ(Concatenation(pieces), stream.bytes);

                std::size_t next = 0;  // first frame of the piece
                for (std::size_t n = 0; n < pieces.size(); ++n) {
                    const auto inPiece = WalkAC3(pieces[n]);
                    if (!pieces[n].empty()) {
                        EXPECT_EQ(pieces[n][0], 0x0B) << "piece " << n + 1;
                        EXPECT_EQ(pieces[n][1], 0x77) << "piece " << n + 1;
                        EXPECT_EQ(inPiece.back(), pieces[n].size())
                            << "partial frame in piece " << n + 1;
                    }
                    const std::size_t left = frames - std::min(next, frames);
                    if (n + 1 < pieces.size()) {
                        const auto count = static_cast<std::size_t>(
                            AC3FramesForDuration(fscod, durations[n], SystemFps(system)));
                        EXPECT_EQ(inPiece.size() - 1, std::min(count, left)) << "piece " << n + 1;
                        next += count;
                    } else {
                        EXPECT_EQ(inPiece.size() - 1, left) << "tail";
                    }
                }
            }
        }
    }
}

TEST(CutAC3File, OneMinuteAt48kHzInPALAndNTSC) {
    TempDir dir;
    const Bytes bytes = AC3Stream(0, 28, 2000, false);  // 1536-byte frames
    const std::string input = dir.write("movie.ac3", bytes);
    for (const auto& [system, frames] :
         {std::pair{TvSystem::Pal, 1875}, std::pair{TvSystem::Ntsc, 1877}}) {
        const CutList list = MakeCutList(dir, input, {MakeTimeCode(0, 1, 0, 0)}, system);
        CutAC3File(input, list, nullptr, SystemFps(system), nullptr, nullptr);
        EXPECT_EQ(FileSizeOf(list[0].outputName), frames * 1536u) << SystemFrameRate(system);
        EXPECT_EQ(FileSizeOf(list[1].outputName), (2000u - frames) * 1536u)
            << SystemFrameRate(system);
    }
}

TEST(CutAC3File, PiecesOf44k1StreamsStartOnRealFrames) {
    // Frames alternate between 834 and 836 bytes: 29 frames of one second hold 15 short and 14
    // long ones, not 29 x 834 bytes.
    TempDir dir;
    const Bytes bytes = AC3Stream(1, 20, 100, true);
    const std::string input = dir.write("music.ac3", bytes);
    const CutList list = MakeCutList(dir, input, {MakeTimeCode(0, 0, 1, 0)}, TvSystem::Pal);
    CutAC3File(input, list, nullptr, 25.0, nullptr, nullptr);
    EXPECT_EQ(FileSizeOf(list[0].outputName), 15u * 834 + 14u * 836);
    const Bytes tail = test::ReadAll(list[1].outputName);
    ASSERT_GE(tail.size(), 2u);
    EXPECT_EQ(tail[0], 0x0B);
    EXPECT_EQ(tail[1], 0x77);
}

TEST(CutAC3File, JunkAfterTheLastFrameGoesToThePieceThatReachesIt) {
    TempDir dir;
    const Bytes frames = AC3Stream(1, 20, 20, true);
    const Bytes bytes = test::Join({frames, test::Filler(300)});
    const std::string input = dir.write("junk.ac3", bytes);
    // 10 frames, then 30 (past the 20 walked frames): the second piece runs to the end.
    const CutList list = MakeCutList(
        dir, input, {FramesToTimeCode(9, 25.0), FramesToTimeCode(27, 25.0)}, TvSystem::Pal);
    CutAC3File(input, list, nullptr, 25.0, nullptr, nullptr);
    const auto pieces = ReadPieces(list);
    EXPECT_EQ(Concatenation(pieces), bytes);
    EXPECT_EQ(WalkAC3(pieces[0]).size() - 1, 10u);
    EXPECT_EQ(pieces[1].size(), bytes.size() - pieces[0].size());
    EXPECT_TRUE(pieces[2].empty());
}

TEST(WriteAC3Piece, PiecesBeyondFourGiB) {
    // A sparse file of 4 GiB and more: a frame at the start and 10 frames after the 4 GiB mark.
    TempDir dir;
    const Bytes frame = AC3Stream(0, 28, 1, false);  // 1536 bytes
    const std::uint64_t first = (4ull << 30) / 1536 + 1;
    const std::string input = dir.write("huge.ac3", frame);
    std::filesystem::resize_file(input, first * 1536);
    {
        std::ofstream out(input, std::ios::binary | std::ios::app);
        const Bytes ten = AC3Stream(0, 28, 10, false);
        out.write(reinterpret_cast<const char*>(ten.data()),
                  static_cast<std::streamsize>(ten.size()));
    }
    ASSERT_EQ(FileSizeOf(input), (first + 10) * 1536);
    ASSERT_TRUE(WriteAC3Piece(input, dir.file("tail.ac3"), first, nullptr, 0, nullptr, kToEnd));
    EXPECT_EQ(test::ReadAll(dir.file("tail.ac3")), AC3Stream(0, 28, 10, false));
    std::uint64_t reported = 0;
    ASSERT_TRUE(WriteAC3Piece(
        input, dir.file("four.ac3"), first + 2, nullptr, 5ull << 30,
        [&](std::uint64_t at) { reported = at; }, 4u));
    EXPECT_EQ(FileSizeOf(dir.file("four.ac3")), 4u * 1536);
    EXPECT_EQ(reported, (5ull << 30) + 4 * 1536);
}

TEST(CutDTSFile, PiecesConcatenateToTheInputAndHoldTheirFrameCounts) {
    test::DTSFrameParams params;  // FSIZE 2011: 2012-byte frames at 48 kHz
    const std::vector<Stream> streams = {
        {"dts-51.dts", test::ReadAll(test::DataPath("dts-51.dts"))},
        // Recognised by content, cut whatever the name says.
        {"surround.cpt", test::BuildDTSStream(params, 150)},
    };
    const unsigned seed = 5102;
    std::mt19937 random(seed);
    for (const auto& stream : streams) {
        const std::size_t length =
            ((stream.bytes[5] & 0x03u) << 12 | stream.bytes[6] << 4 | stream.bytes[7] >> 4) + 1;
        const std::size_t frames = stream.bytes.size() / length;
        for (const TvSystem system : {TvSystem::Pal, TvSystem::Ntsc}) {
            for (int trial = 0; trial < 8; ++trial) {
                TempDir dir;
                const std::string input = dir.write(stream.name, stream.bytes);
                const double seconds = frames * 512.0 / 48000;
                const auto durations = RandomDurations(
                    random, static_cast<int>(random() % 6),
                    static_cast<int>(seconds * SystemFrameRate(system) * 0.5), system);
                SCOPED_TRACE(stream.name + " " + Describe(seed, trial, durations, system));
                const CutList list = MakeCutList(dir, input, durations, system);
                const CutOutcome outcome =
                    CutDTSFile(input, list, nullptr, SystemFps(system), nullptr, nullptr);
                ASSERT_TRUE(outcome.handled && outcome.usable);
                const auto pieces = ReadPieces(list);
                ASSERT_EQ(Concatenation(pieces), stream.bytes);
                std::size_t next = 0;
                for (std::size_t n = 0; n < pieces.size(); ++n) {
                    if (!pieces[n].empty()) {
                        EXPECT_EQ(test::Bytes(pieces[n].begin(), pieces[n].begin() + 4),
                                  (Bytes{0x7F, 0xFE, 0x80, 0x01}))
                            << "piece " << n + 1;
                    }
                    const std::size_t left = frames - std::min(next, frames);
                    if (n + 1 < pieces.size()) {
                        const auto count = static_cast<std::size_t>(
                            DTSFramesForDuration(durations[n], 512, 48000, SystemFps(system)));
                        EXPECT_EQ(pieces[n].size(), std::min(count, left) * length) << n + 1;
                        next += count;
                    } else {
                        EXPECT_EQ(pieces[n].size(),
                                  stream.bytes.size() - std::min(next, frames) * length);
                    }
                }
            }
        }
    }
}

// An MPEG audio stream of uniform frames, whose first audio frame may follow an info frame,
// which the pieces leave out.
struct MPAStream {
    std::string name;
    Bytes bytes;
    std::size_t audioStart;  // first byte of the first audio frame
    std::size_t frames;
};

MPAStream BuildTaggedStream() {
    test::MPAFrameParams p;  // Layer II, 48 kHz, 192 kbit/s, CRC: 576-byte frames
    const Bytes xing = test::BuildMPATagFrame(p, "Xing");
    return {"tagged.mp2", test::Join({xing, test::BuildMPAStream(p, 60)}), xing.size(), 60};
}

TEST(CutMPAFile, PiecesEndOnTheNearestFrameBoundary) {
    const std::vector<MPAStream> streams = {
        {"mp2-crc.mp2", test::ReadAll(test::DataPath("mp2-crc.mp2")), 0, 84},
        BuildTaggedStream(),
    };
    const unsigned seed = 5103;
    std::mt19937 random(seed);
    for (const auto& stream : streams) {
        const Bytes audio(stream.bytes.begin() + static_cast<std::ptrdiff_t>(stream.audioStart),
                          stream.bytes.end());
        for (const TvSystem system : {TvSystem::Pal, TvSystem::Ntsc}) {
            for (int trial = 0; trial < 10; ++trial) {
                TempDir dir;
                const std::string input = dir.write(stream.name, stream.bytes);
                const double seconds = stream.frames * 1152.0 / 48000;
                const auto durations = RandomDurations(
                    random, static_cast<int>(random() % 6),
                    static_cast<int>(seconds * SystemFrameRate(system) * 0.5), system);
                SCOPED_TRACE(stream.name + " " + Describe(seed, trial, durations, system));
                const CutList list = MakeCutList(dir, input, durations, system);
                const CutOutcome outcome =
                    CutMPAFile(input, list, nullptr, SystemFps(system), nullptr, nullptr);
                ASSERT_TRUE(outcome.handled && outcome.usable);
                const auto pieces = ReadPieces(list);
                // The info frame is left out, nothing else.
                ASSERT_EQ(Concatenation(pieces), audio);

                std::int64_t first = 0;  // first frame of the piece
                const auto total = static_cast<std::int64_t>(stream.frames);
                for (std::size_t n = 0; n + 1 < pieces.size(); ++n) {
                    const std::int64_t target =
                        first * 1152 +
                        MPASamplesForDuration(durations[n], 48000, SystemFps(system));
                    // The nearer boundary, the later one on a tie, never before the start.
                    const std::int64_t nearest = (2 * target + 1152) / 2304;
                    const std::int64_t end = std::clamp(nearest, first, total);
                    EXPECT_EQ(pieces[n].size(), static_cast<std::size_t>(end - first) * 576)
                        << "piece " << n + 1;
                    first = end;
                }
                EXPECT_EQ(pieces.back().size(), static_cast<std::size_t>(total - first) * 576);
            }
        }
    }
}

// Frames that the walk does not accept (here of another sample system) add no samples. A piece
// ending before the frame after them took them along, and the next piece, starting where the
// samples were reached, took them again.
TEST(CutMPAFile, FramesWithoutAcceptedSamplesBeforeACutGoIntoOnePieceOnly) {
    test::MPAFrameParams p;  // 48 kHz, 576-byte frames
    test::MPAFrameParams other = p;
    other.sampleRateIndex = 0;  // 44.1 kHz
    const Bytes bytes = test::Join(
        {test::BuildMPAStream(p, 8), test::BuildMPAStream(other, 3), test::BuildMPAStream(p, 12)});
    TempDir dir;
    const std::string input = dir.write("mixed.mp2", bytes);
    // 5 PAL frames: 9600 samples, nearer to the 8 frames before the foreign ones (9216) than
    // to 9 frames (10368).
    const CutList list = MakeCutList(dir, input, {MakeTimeCode(0, 0, 0, 5)}, TvSystem::Pal);
    ASSERT_TRUE(CutMPAFile(input, list, nullptr, 25.0, nullptr, nullptr).usable);
    const auto pieces = ReadPieces(list);
    EXPECT_EQ(pieces[0].size(), 8u * 576);
    EXPECT_EQ(Concatenation(pieces), bytes);
}

TEST(CutMPAFile, AStreamBehindAnID3v2TagIsOfNoKnownKind) {
    // Kinds come from the first bytes: "ID3" is none of them, so no cutter takes the file.
    TempDir dir;
    const std::string input = dir.copyData("mp2-id3.mp2");
    const CutList list = MakeCutList(dir, input, {MakeTimeCode(0, 0, 1, 0)}, TvSystem::Pal);
    EXPECT_FALSE(CutMPAFile(input, list, nullptr, 25.0, nullptr, nullptr).handled);
    EXPECT_FALSE(FileExists(list[0].outputName));
}

TEST(CutMPAFile, PiecesWithoutAnyFrameAreRemoved) {
    // 20 frames and an ID3v1 tag: the durations end exactly after the frames, so the later
    // pieces would hold the tag alone.
    TempDir dir;
    test::MPAFrameParams p;
    Bytes tag = {'T', 'A', 'G'};
    tag.resize(128, 0x20);
    const Bytes frames = test::BuildMPAStream(p, 20);
    const std::string input = dir.write("short.mp2", test::Join({frames, tag}));
    // 12 PAL frames at 48 kHz: 23040 samples, exactly 20 frames.
    const CutList list = MakeCutList(
        dir, input, {MakeTimeCode(0, 0, 0, 12), MakeTimeCode(0, 0, 0, 5)}, TvSystem::Pal);
    const CutOutcome outcome = CutMPAFile(input, list, nullptr, 25.0, nullptr, nullptr);
    ASSERT_EQ(outcome.pieces, std::vector<std::string>{list[0].outputName});
    EXPECT_EQ(test::ReadAll(list[0].outputName), frames);
    EXPECT_FALSE(FileExists(list[1].outputName));
    EXPECT_FALSE(FileExists(list[2].outputName));
}

struct WAVStream {
    std::string name;
    Bytes bytes;
};

TEST(CutWAVFile, CanonicalPiecesWhoseSamplesConcatenateToTheDataChunk) {
    test::WAVFormat fmt18;
    fmt18.fmtSize = 18;
    test::WAVFormat fmt40;  // PCM with an extended format chunk, 3 channels of 24 bits
    fmt40.fmtSize = 40;
    fmt40.channels = 3;
    fmt40.bitsPerSample = 24;
    fmt40.sampleRate = 44100;
    const std::vector<WAVStream> streams = {
        {"wav-s16-list.wav", test::ReadAll(test::DataPath("wav-s16-list.wav"))},
        {"wav-s16-plain.wav", test::ReadAll(test::DataPath("wav-s16-plain.wav"))},
        {"fmt18.wav", test::BuildRIFF({test::FmtChunk(fmt18), test::DataChunk(48000 * 4 / 2)})},
        {"fmt40-list-after.wav",
         test::BuildRIFF({test::FmtChunk(fmt40), test::DataChunk(44100 * 9 / 2),
                          test::ListChunk("after the data")})},
        {"unfinished.wav",
         test::BuildRIFF({test::FmtChunk(test::WAVFormat{}), test::DataChunk(96000, 0)})},
    };
    const unsigned seed = 5104;
    std::mt19937 random(seed);
    for (const auto& stream : streams) {
        TempDir probeDir;
        const WAVLayout layout = ReadWAVLayout(probeDir.write(stream.name, stream.bytes));
        const WAVHeader& source = layout.header;
        const std::size_t bpf = source.bytesPerSampleFrame();
        const Bytes data(
            stream.bytes.begin() + static_cast<std::ptrdiff_t>(layout.dataStart),
            stream.bytes.begin() + static_cast<std::ptrdiff_t>(layout.dataStart + layout.dataSize));
        const std::size_t samples = data.size() / bpf;
        for (const TvSystem system : {TvSystem::Pal, TvSystem::Ntsc}) {
            for (int trial = 0; trial < 8; ++trial) {
                TempDir dir;
                const std::string input = dir.write(stream.name, stream.bytes);
                const double seconds = static_cast<double>(samples) / source.sampleRate;
                const auto durations = RandomDurations(
                    random, static_cast<int>(random() % 6),
                    static_cast<int>(seconds * SystemFrameRate(system) * 0.5), system);
                SCOPED_TRACE(stream.name + " " + Describe(seed, trial, durations, system));
                const CutList list = MakeCutList(dir, input, durations, system);
                const CutOutcome outcome =
                    CutWAVFile(input, list, nullptr, SystemFps(system), nullptr, nullptr);
                ASSERT_TRUE(outcome.handled && outcome.usable);
                Bytes joined;
                std::size_t next = 0;
                for (std::size_t n = 0; n < list.size(); ++n) {
                    const std::size_t left = samples - std::min(next, samples);
                    std::size_t expected = left;
                    if (n + 1 < list.size()) {
                        const auto count = static_cast<std::size_t>(WAVSamplesForDuration(
                            durations[n], source.sampleRate, SystemFps(system)));
                        expected = std::min(count, left);
                        next += count;
                    }
                    if (expected == 0) {
                        EXPECT_FALSE(FileExists(list[n].outputName)) << "piece " << n + 1;
                        continue;
                    }
                    const Bytes piece = test::ReadAll(list[n].outputName);
                    ASSERT_EQ(piece.size(), 44 + expected * bpf) << "piece " << n + 1;
                    const WAVHeader h = WAVHeader::fromBytes(piece);
                    EXPECT_TRUE(h.isRiffWave());
                    EXPECT_EQ(h.riffSize, piece.size() - 8);
                    EXPECT_EQ(std::string(h.fmtId.data(), 4), "fmt ");
                    EXPECT_EQ(h.fmtSize, 16u);
                    EXPECT_EQ(h.formatTag, source.formatTag);
                    EXPECT_EQ(h.channels, source.channels);
                    EXPECT_EQ(h.sampleRate, source.sampleRate);
                    EXPECT_EQ(h.byteRate, source.byteRate);
                    EXPECT_EQ(h.blockAlign, source.blockAlign);
                    EXPECT_EQ(h.bitsPerSample, source.bitsPerSample);
                    EXPECT_EQ(std::string(h.dataId.data(), 4), "data");
                    EXPECT_EQ(h.dataSize, piece.size() - 44);
                    joined.insert(joined.end(), piece.begin() + 44, piece.end());
                }
                EXPECT_EQ(joined, data);
            }
        }
    }
}

TEST(Cutters, AbortDuringPieceTwoOfFiveLeavesItPartlyWritten) {
    TempDir dir;
    const std::string input =
        dir.write("long.wav", test::BuildWAV(test::WAVFormat{}, 48000 * 4 * 6));
    const std::vector<TimeCode> seconds(5, MakeTimeCode(0, 0, 1, 0));
    const CutList list = MakeCutList(dir, input, seconds, TvSystem::Pal);
    AbortFlag abort{0};
    int current = -1;
    const CutOutcome outcome = CutWAVFile(
        input, list, [&](int index) { current = index; }, 25.0, &abort,
        [&](std::uint64_t) {
            if (current == 1) {
                abort = 1;  // Cancel after the first block of piece 2
            }
        });
    EXPECT_TRUE(outcome.aborted);
    EXPECT_EQ(outcome.pieces.size(), 2u);
    EXPECT_EQ(FileSizeOf(list[0].outputName), 44u + 192000);
    const Bytes partial = test::ReadAll(list[1].outputName);
    EXPECT_EQ(partial.size(), 44u + 16000 * 4);  // one block of 16000 sample frames
    EXPECT_EQ(WAVHeader::fromBytes(partial).dataSize, 16000u * 4);
    for (std::size_t n = 2; n < list.size(); ++n) {
        EXPECT_FALSE(FileExists(list[n].outputName)) << n + 1;
    }
}

TEST(Cutters, AbortStopsAnAC3PieceAfterItsCurrentChunk) {
    TempDir dir;
    // 640 kbit/s: 2560-byte frames; piece 2 of 200 s is larger than one copy chunk.
    const Bytes bytes = AC3Stream(0, 36, 6400, false);
    const std::string input = dir.write("big.ac3", bytes);
    const std::vector<TimeCode> durations = {MakeTimeCode(0, 0, 1, 0), MakeTimeCode(0, 3, 20, 0),
                                             MakeTimeCode(0, 0, 1, 0), MakeTimeCode(0, 0, 1, 0),
                                             MakeTimeCode(0, 0, 1, 0)};
    const CutList list = MakeCutList(dir, input, durations, TvSystem::Pal);
    AbortFlag abort{0};
    int current = -1;
    std::vector<std::uint64_t> positions;
    const CutOutcome outcome = CutAC3File(
        input, list, [&](int index) { current = index; }, 25.0, &abort,
        [&](std::uint64_t position) {
            positions.push_back(position);
            if (current == 1) {
                abort = 1;
            }
        });
    EXPECT_TRUE(outcome.aborted);
    const std::uint64_t first = 31u * 2560;  // 1 s: 48000 / 1536 = 31.25 frames
    EXPECT_EQ(FileSizeOf(list[0].outputName), first);
    const std::uint64_t second = FileSizeOf(list[1].outputName);
    EXPECT_GT(second, 0u);
    EXPECT_LT(second, 6250u * 2560);
    for (std::size_t n = 2; n < list.size(); ++n) {
        EXPECT_FALSE(FileExists(list[n].outputName)) << n + 1;
    }
    // Positions are absolute: piece 2's continue from the end of piece 1.
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0], first);
    EXPECT_EQ(positions[1], first + second);
}

TEST(Cutters, OnlyTheCutterOfTheInputsKindActs) {
    TempDir dir;
    const std::vector<std::string> inputs = {
        dir.copyData("ac3-stereo-192k.ac3"), dir.copyData("dts-51.dts"),
        dir.copyData("mp2-crc.mp2"), dir.copyData("wav-s16-plain.wav"),
        dir.write("unknown.ac3", test::Filler(5000))};
    using Cutter = CutOutcome (*)(const std::string&, const CutList&, const ShowCurrentPiece&,
                                  double, const AbortFlag*, const ProgressCallback&, FormatOptions);
    const Cutter cutters[] = {&CutAC3File, &CutDTSFile, &CutMPAFile, &CutWAVFile};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (std::size_t c = 0; c < 4; ++c) {
            if (c == i) {
                continue;
            }
            const CutList list =
                MakeCutList(dir, inputs[i], {MakeTimeCode(0, 0, 1, 0)}, TvSystem::Pal);
            const std::string marker = dir.write(FileNameOf(list[0].outputName), Bytes{1, 2, 3});
            const CutOutcome outcome =
                cutters[c](inputs[i], list, nullptr, 25.0, nullptr, nullptr, FormatOptions{});
            EXPECT_FALSE(outcome.handled) << inputs[i] << " cutter " << c;
            EXPECT_EQ(test::ReadAll(marker), (Bytes{1, 2, 3}));
            EXPECT_FALSE(FileExists(list[1].outputName));
        }
    }
}

TEST(Cutters, UnusableInputsWriteNothing) {
    TempDir dir;
    AC3FrameParams reserved;
    reserved.fscod = 3;  // no frame length
    test::DTSFrameParams noRate;
    noRate.sfreq = 0;
    const std::string ac3 = dir.write("reserved.ac3", test::BuildAC3Stream(reserved, 10));
    const std::string dts = dir.write("norate.dts", test::BuildDTSStream(noRate, 10));
    const std::string wav = dir.copyData("wav-float.wav");
    const auto check = [&](const CutOutcome& outcome, const CutList& list) {
        EXPECT_TRUE(outcome.handled);
        EXPECT_FALSE(outcome.usable);
        EXPECT_TRUE(outcome.pieces.empty());
        EXPECT_FALSE(FileExists(list[0].outputName));
    };
    const CutList a = MakeCutList(dir, ac3, {MakeTimeCode(0, 0, 1, 0)}, TvSystem::Pal);
    check(CutAC3File(ac3, a, nullptr, 25.0, nullptr, nullptr), a);
    const CutList d = MakeCutList(dir, dts, {MakeTimeCode(0, 0, 1, 0)}, TvSystem::Pal);
    check(CutDTSFile(dts, d, nullptr, 25.0, nullptr, nullptr), d);
    const CutList w = MakeCutList(dir, wav, {MakeTimeCode(0, 0, 1, 0)}, TvSystem::Pal);
    check(CutWAVFile(wav, w, nullptr, 25.0, nullptr, nullptr), w);
}

TEST(Cutters, AnInputThatVanishesBetweenPiecesIsAnError) {
    TempDir dir;
    const std::string input = dir.copyData("ac3-51-448k.ac3");
    const CutList list = MakeCutList(
        dir, input, {MakeTimeCode(0, 0, 0, 10), MakeTimeCode(0, 0, 0, 10)}, TvSystem::Pal);
    EXPECT_THROW(CutAC3File(
                     input, list,
                     [&](int index) {
                         if (index == 1) {
                             std::filesystem::remove(input);
                         }
                     },
                     25.0, nullptr, nullptr),
                 IoError);
    EXPECT_TRUE(FileExists(list[0].outputName));
    EXPECT_FALSE(FileExists(list[1].outputName));
}

TEST(Cutters, ShowTheRowOfEveryPieceAndClearForTheTail) {
    TempDir dir;
    const std::string input = dir.copyData("mp2-crc.mp2");
    std::vector<DurationRow> rows = {
        DurationPair{MakeTimeCode(0, 0, 0, 5), MakeTimeCode(0, 0, 0, 5)}, std::nullopt,
        DurationPair{MakeTimeCode(0, 0, 0, 5), MakeTimeCode(0, 0, 0, 5)}};
    const CutList list =
        BuildCutList(rows, TvSystem::Pal, dir.path().string() + kPathSeparator, input);
    std::vector<int> shown;
    CutMPAFile(
        input, list, [&](int index) { shown.push_back(index); }, 25.0, nullptr, nullptr);
    EXPECT_EQ(shown, (std::vector<int>{0, 2, -1}));
}

}  // namespace
}  // namespace varnix
