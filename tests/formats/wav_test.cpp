#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <filesystem>

#include "core/errors.h"
#include "core/file.h"
#include "formats/byte_source.h"
#include "formats/wav.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::DataChunk;
using test::FmtChunk;
using test::ListChunk;
using test::RIFFChunk;
using test::TempDir;
using test::WAVFormat;

WAVLayout LayoutOf(const Bytes& bytes) {
    SpanSource source(bytes);
    return ReadWAVLayoutOf(source);
}

TEST(WAVLayout, FindsFormatAndDataWhereverTheyStand) {
    WAVFormat f18;
    f18.fmtSize = 18;
    WAVFormat f40;
    f40.fmtSize = 40;
    RIFFChunk odd{"JUNK", Bytes(5, 1), std::nullopt, true};
    RIFFChunk oddUnpadded{"bext", Bytes(7, 2), std::nullopt, false};
    struct Case {
        const char* what;
        std::vector<RIFFChunk> chunks;
        std::uint64_t dataStart;
    };
    const Case cases[] = {
        {"plain", {FmtChunk({}), DataChunk(400)}, 44},
        {"fmt 18", {FmtChunk(f18), DataChunk(400)}, 46},
        {"fmt 40", {FmtChunk(f40), DataChunk(400)}, 68},
        {"LIST before data", {FmtChunk({}), ListChunk("Lavf"), DataChunk(400)}, 44 + 26},
        {"LIST after data", {FmtChunk({}), DataChunk(400), ListChunk("x")}, 44},
        {"fact", {FmtChunk({}), test::FactChunk(100), DataChunk(400)}, 56},
        {"odd chunk, padded", {FmtChunk({}), odd, DataChunk(400)}, 44 + 14},
        {"odd chunk, pad left out", {FmtChunk({}), oddUnpadded, DataChunk(400)}, 44 + 15},
        {"junk before fmt", {odd, FmtChunk({}), DataChunk(400)}, 44 + 14},
        {"data before fmt", {DataChunk(400), FmtChunk({})}, 20},
    };
    for (const auto& c : cases) {
        const WAVLayout layout = LayoutOf(test::BuildRIFF(c.chunks));
        EXPECT_TRUE(layout.isPCM()) << c.what;
        EXPECT_TRUE(layout.formatFound) << c.what;
        ASSERT_TRUE(layout.dataFound) << c.what;
        EXPECT_EQ(layout.dataStart, c.dataStart) << c.what;
        EXPECT_EQ(layout.dataSize, 400u) << c.what;
        EXPECT_EQ(layout.header.channels, 2) << c.what;
        EXPECT_EQ(layout.header.sampleRate, 48000u) << c.what;
        EXPECT_EQ(layout.header.bytesPerSampleFrame(), 4u) << c.what;
    }
}

TEST(WAVLayout, EffectiveDataSize) {
    struct Case {
        const char* what;
        std::size_t present;
        std::optional<std::uint32_t> declared;
        std::uint64_t effective;
    };
    const Case cases[] = {
        {"as declared", 1000, std::nullopt, 1000},
        {"declared 0: to the end", 1000, 0u, 1000},
        {"past the end: to the end", 1000, 5000u, 1000},
        {"shorter than what follows", 1000, 600u, 600},
    };
    for (const auto& c : cases) {
        const Bytes bytes = test::BuildRIFF({FmtChunk({}), DataChunk(c.present, c.declared)});
        const WAVLayout layout = LayoutOf(bytes);
        EXPECT_EQ(layout.dataSize, c.effective) << c.what;
        EXPECT_EQ(layout.header.dataSize, c.declared.value_or(1000)) << c.what;
    }
}

TEST(WAVLayout, FilesWithoutUsableFormatOrData) {
    WAVFormat f20;
    f20.fmtSize = 20;
    // No data chunk; a chunk running past the end; a format chunk of an unknown size; not WAVE.
    WAVLayout layout = LayoutOf(test::BuildRIFF({FmtChunk({}), ListChunk("x")}));
    EXPECT_TRUE(layout.formatFound);
    EXPECT_FALSE(layout.dataFound);
    EXPECT_EQ(layout.dataSize, 0u);
    RIFFChunk huge = ListChunk("x");
    huge.declaredSize = 0x7FFFFFF0;
    layout = LayoutOf(test::BuildRIFF({FmtChunk({}), huge, DataChunk(100)}));
    EXPECT_FALSE(layout.dataFound);
    layout = LayoutOf(test::BuildRIFF({FmtChunk(f20), DataChunk(100)}));
    EXPECT_FALSE(layout.formatFound);
    EXPECT_EQ(layout.header.fmtSize, 20u);
    Bytes notWave = test::BuildWAV({}, 100);
    notWave[8] = 'X';
    layout = LayoutOf(notWave);
    EXPECT_FALSE(layout.riffWave);
    EXPECT_FALSE(layout.isPCM());
    layout = LayoutOf(Bytes{'R', 'I', 'F', 'F'});
    EXPECT_FALSE(layout.riffWave);
}

TEST(WAVLayout, EndlessChunkChainsEnd) {
    // Many empty chunks: the walk gives up after a bounded number of them.
    Bytes bytes = test::BuildRIFF({FmtChunk({})});
    for (int i = 0; i < 70000; ++i) {
        bytes.insert(bytes.end(), {'n', 'u', 'l', 'l', 0, 0, 0, 0});
    }
    bytes = test::Join({bytes, test::BuildRIFF({DataChunk(8)})});
    EXPECT_FALSE(LayoutOf(bytes).dataFound);
}

TEST(WAVLayout, RealFilesMatchWhatFfprobeReported) {
    TempDir dir;
    struct Case {
        const char* file;
        std::uint16_t tag;
        std::uint64_t dataStart, dataSize;
    };
    const Case cases[] = {
        {"wav-s16-list.wav", 1, 78, 96000},
        {"wav-s16-plain.wav", 1, 44, 96000},
        {"wav-float.wav", 0xFFFE, 114, 96000},
    };
    for (const auto& c : cases) {
        const WAVLayout layout = ReadWAVLayout(dir.copyData(c.file));
        EXPECT_EQ(layout.header.formatTag, c.tag) << c.file;
        EXPECT_EQ(layout.header.sampleRate, 48000u);
        EXPECT_EQ(layout.header.channels, 2u);
        EXPECT_EQ(layout.dataStart, c.dataStart) << c.file;
        EXPECT_EQ(layout.dataSize, c.dataSize) << c.file;
    }
    const WAVLayout cut = ReadWAVLayout(dir.copyData("bad/wav-data-past-end.wav"));
    EXPECT_EQ(cut.header.dataSize, 96000u);
    EXPECT_EQ(cut.dataSize, 48000u);
    EXPECT_FALSE(ReadWAVLayout(dir.copyData("bad/wav-no-data.wav")).dataFound);
    EXPECT_FALSE(ReadWAVLayout(dir.copyData("bad/wav-chunk-past-end.wav")).dataFound);
}

TEST(WAVLayout, ReadFromAnOpenFileLeavesItAtTheFirstSample) {
    TempDir dir;
    BinaryFile file(dir.copyData("wav-s16-list.wav"), BinaryFile::Mode::Read);
    const WAVHeader h = ReadWAVHeaderFrom(file);
    EXPECT_EQ(h.dataSize, 96000u);
    EXPECT_EQ(file.tell(), 78);
}

TEST(WAVHeader, CanonicalHeadersRoundTrip) {
    WAVHeader format;
    format.formatTag = 1;
    format.channels = 6;
    format.sampleRate = 44100;
    format.byteRate = 44100 * 12;
    format.blockAlign = 12;
    format.bitsPerSample = 16;
    format.fmtSize = 40;
    const WAVHeader h = CanonicalWAVHeader(format, 1200);
    const auto bytes = h.toBytes();
    EXPECT_EQ(
        Bytes(bytes.begin(), bytes.begin() + 16),
        (Bytes{'R', 'I', 'F', 'F', 0xD4, 0x04, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}));
    const WAVHeader back = WAVHeader::fromBytes(bytes);
    EXPECT_EQ(back.fmtSize, 16u);
    EXPECT_EQ(back.riffSize, 1236u);
    EXPECT_EQ(back.dataSize, 1200u);
    EXPECT_EQ(back.channels, 6);
    EXPECT_EQ(back.byteRate, 44100u * 12);
    EXPECT_TRUE(back.isRiffWave());
    EXPECT_EQ(CanonicalWAVHeader(format, 1ull << 33).dataSize, 0xFFFFFFFFu);
}

TEST(FixWAVHeader, SizesFromTheFileLength) {
    TempDir dir;
    Bytes file = test::BuildWAV({}, 1000000);
    file[40] = file[41] = file[42] = file[43] = 0;  // dataSize 0
    const std::string name = dir.write("a.wav", file);
    EXPECT_TRUE(FixWAVHeader(name));
    const WAVHeader h = ReadWAVHeader(name);
    EXPECT_EQ(h.dataSize, 1000000u);
    EXPECT_EQ(h.riffSize, 1000036u);
    EXPECT_FALSE(FixWAVHeader(dir.write("short.wav", Bytes(43, 0))));
    EXPECT_FALSE(FixWAVHeader(dir.file("missing.wav")));
}

// Regression: the header was rewritten only when dataSize differed, which left a wrong riffSize
// and a format chunk size of 18 or 40 in pieces.
TEST(FixWAVHeader, AlwaysWritesTheCanonicalHeader) {
    TempDir dir;
    Bytes file = test::BuildWAV({}, 400);
    file[4] = 0x99;  // riffSize wrong, dataSize right
    file[16] = 18;   // fmtSize 18 while the data follows at 44
    const std::string name = dir.write("a.wav", file);
    EXPECT_TRUE(FinishWAVHeader(name));
    const Bytes fixed = test::ReadAll(name);
    EXPECT_EQ(fixed, test::BuildWAV({}, 400));
}

class WAVPieces : public ::testing::Test {
  protected:
    TempDir dir;
    // 1000 sample frames of 4 bytes, a LIST chunk before and one after the data.
    Bytes sourceBytes = test::BuildRIFF(
        {FmtChunk({}), ListChunk("Lavf59.27.100"), DataChunk(4000), ListChunk("after")});
    std::string source = dir.write("in.wav", sourceBytes);
    Bytes samples = Bytes(sourceBytes.begin() + 78, sourceBytes.begin() + 78 + 4000);

    Bytes Piece(std::uint64_t start, Count count) {
        const std::string dest = dir.file("piece.wav");
        EXPECT_TRUE(WriteWAVPiece(source, dest, start, nullptr, 0, nullptr, count));
        const Bytes piece = test::ReadAll(dest);
        if (piece.size() < 44) {
            ADD_FAILURE() << "piece of " << piece.size() << " bytes";
            return {};
        }
        const Bytes canonical = test::BuildWAV({}, piece.size() - 44);
        EXPECT_EQ(Bytes(piece.begin(), piece.begin() + 44),
                  Bytes(canonical.begin(), canonical.begin() + 44));
        return Bytes(piece.begin() + 44, piece.end());
    }
};

TEST_F(WAVPieces, StartAtTheRealDataAndStopAtTheEndOfTheDataChunk) {
    EXPECT_EQ(Piece(0, 10u), Bytes(samples.begin(), samples.begin() + 40));
    EXPECT_EQ(Piece(990, 50u), Bytes(samples.begin() + 3960, samples.end()));
    EXPECT_EQ(Piece(990, kToEnd), Bytes(samples.begin() + 3960, samples.end()));
    EXPECT_EQ(Piece(990, UINT64_MAX), Bytes(samples.begin() + 3960, samples.end()));
    EXPECT_TRUE(Piece(UINT64_MAX / 2, 10u).empty());
    EXPECT_TRUE(Piece(1000, 10u).empty());
    EXPECT_TRUE(Piece(5000, kToEnd).empty());
}

TEST_F(WAVPieces, ConcatenateBackToTheSampleData) {
    Bytes joined;
    std::uint64_t start = 0;
    for (std::uint64_t count : {333u, 0u, 1u, 400u}) {
        joined = test::Join({joined, Piece(start, count)});
        start += count;
    }
    joined = test::Join({joined, Piece(start, kToEnd)});
    EXPECT_EQ(joined, samples);
}

TEST_F(WAVPieces, UnfinishedRecordingsRunToTheEndOfTheFile) {
    const Bytes unfinished = test::BuildRIFF({FmtChunk({}), DataChunk(4000, 0)});
    source = dir.write("rec.wav", unfinished);
    EXPECT_EQ(Piece(500, kToEnd), Bytes(unfinished.begin() + 44 + 2000, unfinished.end()));
}

TEST_F(WAVPieces, ProgressAndAbort) {
    const Bytes big = test::BuildWAV({}, 4 * 40000);  // 2.5 blocks of 16000 sample frames
    source = dir.write("big.wav", big);
    std::vector<std::uint64_t> positions;
    AbortFlag abort{0};
    const auto progress = [&](std::uint64_t p) {
        positions.push_back(p);
        abort = 1;
    };
    const std::string dest = dir.file("p.wav");
    EXPECT_TRUE(WriteWAVPiece(source, dest, 0, &abort, 1000, progress, kToEnd));
    EXPECT_EQ(positions, std::vector<std::uint64_t>{1000 + 64000});
    // The piece that was stopped keeps a correct header for what it holds.
    EXPECT_EQ(ReadWAVHeader(dest).dataSize, 64000u);
    EXPECT_EQ(test::ReadAll(dest).size(), 44u + 64000);
}

TEST_F(WAVPieces, APieceRemovedWhileItIsWrittenIsAnError) {
    const std::string dest = dir.file("p.wav");
    const auto remove = [&](std::uint64_t) { std::filesystem::remove(dest); };
    try {
        WriteWAVPiece(source, dest, 0, nullptr, 0, remove, kToEnd);
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.fileName(), dest);
    }
    EXPECT_FALSE(std::filesystem::exists(dest));
    EXPECT_EQ(test::ReadAll(source), sourceBytes);
}

// A recording cut off mid-sample: the part frame would leave the piece's last sample frame
// unfilled.
TEST_F(WAVPieces, APartSampleFrameAtTheEndOfTheDataGoesToNoPiece) {
    RIFFChunk chunk = DataChunk(4003, 0);
    chunk.pad = false;  // the file ends inside the last sample frame
    const Bytes unfinished = test::BuildRIFF({FmtChunk({}), chunk});
    ASSERT_EQ(unfinished.size(), 44u + 4003);
    source = dir.write("rec.wav", unfinished);
    const Bytes data(unfinished.begin() + 44, unfinished.end());
    EXPECT_EQ(Piece(990, kToEnd), Bytes(data.begin() + 3960, data.begin() + 4000));
    EXPECT_EQ(Piece(0, kToEnd), Bytes(data.begin(), data.begin() + 4000));
    EXPECT_TRUE(Piece(1000, kToEnd).empty());
}

// A header whose byte rate over sample rate gives sample frames of 4 GiB made the piece writer
// allocate one such frame as its copy block.
TEST_F(WAVPieces, AHeaderClaimingGigabyteSampleFramesCopiesInSmallBlocks) {
    WAVFormat huge;
    huge.sampleRate = 1;
    huge.byteRate = 0xFFFFFFFFu;
    const Bytes bytes = test::BuildWAV(huge, 4000);
    source = dir.write("huge.wav", bytes);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const std::string dest = dir.file("p.wav");
    ASSERT_TRUE(WriteWAVPiece(source, dest, 0, nullptr, 0, nullptr, kToEnd));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256 * 1024) << "kilobytes more at the peak";
    // Not one whole sample frame: the piece holds its header alone.
    EXPECT_EQ(test::ReadAll(dest).size(), 44u);
}

TEST_F(WAVPieces, UnusableSourcesWriteNothing) {
    WAVFormat zeroRate;
    zeroRate.sampleRate = 0;
    WAVFormat floatFormat;
    floatFormat.formatTag = 3;
    floatFormat.bitsPerSample = 32;
    const std::string dest = dir.file("p.wav");
    for (const auto& bytes : {test::BuildWAV(zeroRate, 400), test::BuildWAV(floatFormat, 400),
                              test::BuildRIFF({FmtChunk({})})}) {
        EXPECT_FALSE(
            WriteWAVPiece(dir.write("bad.wav", bytes), dest, 0, nullptr, 0, nullptr, kToEnd));
        EXPECT_FALSE(std::filesystem::exists(dest));
    }
    EXPECT_FALSE(WriteWAVPiece(dir.file("missing.wav"), dest, 0, nullptr, 0, nullptr, kToEnd));
    EXPECT_FALSE(std::filesystem::exists(dest));
}

}  // namespace
}  // namespace varnix
