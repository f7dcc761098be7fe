// The fast start-code searches (SSE2 where built, whole words everywhere) against the byte-by-byte
// one: random data with prefixes planted at every alignment, near block edges and split between
// blocks.

#include "core/start_code_search.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace varnix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Search = std::size_t (*)(std::span<const std::uint8_t>, unsigned);

// Random bytes where zeros and ones are frequent enough to make near misses (00 01, 00 00 00 02).
Bytes Noise(std::mt19937& rng, std::size_t size, int zeroPercent) {
    Bytes bytes(size);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> any(2, 255);
    for (auto& b : bytes) {
        const int p = percent(rng);
        b = static_cast<std::uint8_t>(p < zeroPercent ? 0 : (p < zeroPercent + 5 ? 1 : any(rng)));
    }
    return bytes;
}

// Every prefix the search finds, one call after another, as the scanner steps through a stream.
std::vector<std::size_t> AllPrefixes(Search search, const Bytes& bytes, unsigned zerosBefore) {
    std::vector<std::size_t> found;
    std::size_t from = 0;
    unsigned zeros = zerosBefore;
    while (from < bytes.size()) {
        const auto rest = std::span<const std::uint8_t>(bytes).subspan(from);
        const std::size_t hit = search(rest, zeros);
        if (hit == rest.size()) {
            break;
        }
        found.push_back(from + hit);
        from += hit + 1;
        zeros = 0;
    }
    return found;
}

TEST(StartCodeSearch, FastSearchesFindWhatTheBytewiseSearchFinds) {
    const Search fast[] = {&FindStartCodePrefix, &FindStartCodePrefixWords};
    std::mt19937 rng(0x5eed);
    for (int round = 0; round < 400; ++round) {
        const std::size_t size = rng() % 200;
        Bytes bytes = Noise(rng, size, round % 3 == 0 ? 0 : 20);
        // Plant a few prefixes anywhere, so every alignment to 8 and 16 bytes gets its turn.
        for (int k = 0; size >= 3 && k < 3; ++k) {
            const std::size_t at = rng() % (size - 2);
            bytes[at] = 0;
            bytes[at + 1] = 0;
            bytes[at + 2] = 1;
        }
        for (unsigned zerosBefore = 0; zerosBefore <= 3; ++zerosBefore) {
            const auto expected = AllPrefixes(&FindStartCodePrefixBytewise, bytes, zerosBefore);
            for (Search search : fast) {
                EXPECT_EQ(AllPrefixes(search, bytes, zerosBefore), expected)
                    << "round " << round << " zeros before " << zerosBefore;
            }
        }
    }
}

TEST(StartCodeSearch, EveryAlignmentAndEveryBlockEdge) {
    const Search searches[] = {&FindStartCodePrefix, &FindStartCodePrefixWords,
                               &FindStartCodePrefixBytewise};
    for (std::size_t size = 3; size <= 70; ++size) {
        for (std::size_t at = 0; at + 3 <= size; ++at) {
            Bytes bytes(size, 0xFF);
            bytes[at] = 0;
            bytes[at + 1] = 0;
            bytes[at + 2] = 1;
            for (Search search : searches) {
                EXPECT_EQ(search(bytes, 0), at + 2) << size << " " << at;
            }
        }
        // A prefix split between the block before and this one: its 01 first, or 00 01.
        for (Search search : searches) {
            Bytes bytes(size, 0xFF);
            bytes[0] = 1;
            EXPECT_EQ(search(bytes, 2), 0u);
            EXPECT_EQ(search(bytes, 1), size);
            bytes[0] = 0;
            bytes[1] = 1;
            EXPECT_EQ(search(bytes, 1), 1u);
            EXPECT_EQ(search(bytes, 0), size);
        }
    }
}

TEST(StartCodeSearch, TrailingZerosCarryIntoTheNextBlock) {
    EXPECT_EQ(TrailingZeros(Bytes{5, 0, 0}, 0), 2u);
    EXPECT_EQ(TrailingZeros(Bytes{5, 0}, 0), 1u);
    EXPECT_EQ(TrailingZeros(Bytes{0}, 1), 2u);
    EXPECT_EQ(TrailingZeros(Bytes{0}, 0), 1u);
    EXPECT_EQ(TrailingZeros(Bytes{}, 2), 2u);
    EXPECT_EQ(TrailingZeros(Bytes{0, 7}, 2), 0u);
}

}  // namespace
}  // namespace varnix
