// The whole-buffer start-code search must be indistinguishable from the bit-by-bit FindSync:
// same answer, same position, same end state, same bytes afterwards, across buffer boundaries.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/bitstream.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::TempDir;

struct ReaderState {
    bool found;
    std::int64_t position;
    bool endOfData;
    std::int64_t fillCount;
    int bitsLeft;
    std::uint32_t next;
};

// Runs searches until the end, one result per search, starting `skipBits` into the file.
std::vector<ReaderState> Searches(const std::string& file, std::size_t bufferSize, int skipBits,
                                  bool fast) {
    TFileBitStream reader(file, bufferSize);
    reader.GetBits(skipBits);
    std::vector<ReaderState> states;
    for (int guard = 0; guard < 100000; ++guard) {
        const bool found = fast ? reader.NextStartCode() : reader.FindSync(1, 24);
        states.push_back({found, reader.Position(), reader.EndOfData(), reader.FillCount(),
                          reader.BitsLeft(), reader.PeekBits(8)});
        if (!found || reader.EndOfData()) {
            break;
        }
        // Read a few bits so that the next search starts mid-byte now and then.
        reader.GetBits(static_cast<int>(states.size() % 5));
    }
    return states;
}

std::vector<std::uint8_t> StartCodeRichBytes(std::mt19937& rng, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<int> any(0, 255);
    for (auto& b : bytes) {
        const int p = pick(rng);
        b = static_cast<std::uint8_t>(p < 4 ? 0 : (p < 6 ? 1 : any(rng)));
    }
    return bytes;
}

TEST(NextStartCode, BehavesLikeFindSyncOnRandomData) {
    TempDir dir;
    std::mt19937 rng(20240611);
    for (int round = 0; round < 60; ++round) {
        const std::size_t size = 1 + rng() % 300;
        const auto bytes = StartCodeRichBytes(rng, size);
        const std::string file = dir.write("r" + std::to_string(round) + ".bin", bytes);
        for (std::size_t bufferSize : {1u, 2u, 3u, 4u, 7u, 16u, 64u, 1000u}) {
            for (int skip : {0, 3, 8, 13}) {
                const auto slow = Searches(file, bufferSize, skip, false);
                const auto fast = Searches(file, bufferSize, skip, true);
                ASSERT_EQ(slow.size(), fast.size())
                    << "round " << round << " buffer " << bufferSize;
                for (std::size_t i = 0; i < slow.size(); ++i) {
                    SCOPED_TRACE("round " + std::to_string(round) + " buffer " +
                                 std::to_string(bufferSize) + " search " + std::to_string(i));
                    EXPECT_EQ(slow[i].found, fast[i].found);
                    EXPECT_EQ(slow[i].position, fast[i].position);
                    EXPECT_EQ(slow[i].endOfData, fast[i].endOfData);
                    EXPECT_EQ(slow[i].fillCount, fast[i].fillCount);
                    EXPECT_EQ(slow[i].bitsLeft, fast[i].bitsLeft);
                    EXPECT_EQ(slow[i].next, fast[i].next);
                }
            }
        }
    }
}

TEST(NextStartCode, FindsPrefixSplitAcrossBuffers) {
    TempDir dir;
    // 47 00 | 00 01 | B3 ... with a two-byte buffer puts the prefix across two fills.
    const std::string file = dir.write("split.bin", {0x47, 0x00, 0x00, 0x01, 0xB3, 0x12});
    for (std::size_t bufferSize : {1u, 2u, 3u, 4u, 5u}) {
        TFileBitStream reader(file, bufferSize);
        ASSERT_TRUE(reader.NextStartCode()) << bufferSize;
        EXPECT_EQ(reader.Position(), 4);
        EXPECT_EQ(reader.PeekBits(8), 0xB3u);
    }
}

TEST(NextStartCode, DropsTheRestOfAByteAndStopsAtTheEnd) {
    TempDir dir;
    const std::string file = dir.write("tail.bin", {0x00, 0x00, 0x01, 0x47, 0x00, 0x00});
    TFileBitStream reader(file, 4);
    reader.GetBits(3);  // mid-byte: the rest of byte 0 is dropped, so 00 00 01 cannot match
    EXPECT_FALSE(reader.NextStartCode());
    EXPECT_TRUE(reader.EndOfData());
}

TEST(NextStartCode, PrefixAsTheLastBytesOfTheFile) {
    TempDir dir;
    const std::string file = dir.write("end.bin", {0x12, 0x00, 0x00, 0x01});
    TFileBitStream reader(file);
    EXPECT_TRUE(reader.NextStartCode());
    EXPECT_TRUE(reader.EndOfData());
    EXPECT_FALSE(reader.ReadPastEnd());
}

TEST(ReadPastEnd, OnlyReadsBeyondTheLastByteCount) {
    TempDir dir;
    const std::string file = dir.write("three.bin", {0xB3, 0x16, 0x01});
    for (std::size_t bufferSize : {1u, 3u, 100u}) {
        TFileBitStream reader(file, bufferSize);
        EXPECT_EQ(reader.GetBits(12), 0xB31u);
        EXPECT_EQ(reader.GetBits(12), 0x601u);
        EXPECT_TRUE(reader.EndOfData());
        EXPECT_FALSE(reader.ReadPastEnd()) << bufferSize;
        reader.GetBits(8);
        EXPECT_TRUE(reader.ReadPastEnd()) << bufferSize;
    }
    TFileBitStream bits(file, 2);
    bits.GetBits(23);
    EXPECT_FALSE(bits.ReadPastEnd());
    bits.GetBit();
    EXPECT_FALSE(bits.ReadPastEnd());
    bits.GetBit();
    EXPECT_TRUE(bits.ReadPastEnd());
}

}  // namespace
}  // namespace varnix
