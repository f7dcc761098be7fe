#include "core/start_code_search.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define VARNIX_START_CODE_SSE2 1
#endif

namespace varnix {

namespace {

// Finishes a search byte by byte from `i`, with `zeros` zero bytes just before it.
std::size_t Tail(std::span<const std::uint8_t> bytes, std::size_t i, unsigned zeros) {
    for (; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes[i];
        if (b == 1 && zeros >= 2) {
            return i;
        }
        zeros = b == 0 ? std::min(zeros + 1, 2u) : 0;
    }
    return bytes.size();
}

// The zero bytes just before index i (at most 2), reading back into `zerosBefore` at the start.
unsigned ZerosBefore(std::span<const std::uint8_t> bytes, std::size_t i, unsigned zerosBefore) {
    if (i >= 2) {
        return bytes[i - 1] != 0 ? 0u : (bytes[i - 2] != 0 ? 1u : 2u);
    }
    if (i == 1) {
        return bytes[0] != 0 ? 0u : std::min(zerosBefore + 1, 2u);
    }
    return std::min(zerosBefore, 2u);
}

#if defined(VARNIX_START_CODE_SSE2)

std::size_t SearchSse2(std::span<const std::uint8_t> bytes, unsigned zerosBefore) {
    const std::uint8_t* data = bytes.data();
    const std::size_t size = bytes.size();
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi8(1);
    // Bit 0: the byte two before the chunk is zero; bit 1: the byte just before it.
    unsigned before = zerosBefore >= 2 ? 3u : (zerosBefore == 1 ? 2u : 0u);
    std::size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const auto ones = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, one)));
        const auto zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
        if (ones != 0) {
            // Zero flags from two bytes before the chunk on: bit k + 2 is byte k of the chunk.
            const unsigned extended = (zeros << 2) | before;
            const unsigned hits = ones & (extended >> 1) & extended;
            if (hits != 0) {
                return i + static_cast<std::size_t>(std::countr_zero(hits));
            }
        }
        before = (zeros >> 14) & 3u;
    }
    return Tail(bytes, i, ZerosBefore(bytes, i, zerosBefore));
}

#endif

// Eight bytes at a time: a word without a zero byte holds no prefix start, and only a 01 right
// after the zeros of the word before it can end one there.
std::size_t SearchWords(std::span<const std::uint8_t> bytes, unsigned zerosBefore) {
    constexpr std::uint64_t kLow = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    const std::uint8_t* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    unsigned zeros = std::min(zerosBefore, 2u);
    while (i + 8 <= size) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + i, sizeof word);
        if (((word - kLow) & ~word & kHigh) != 0) {
            // A zero byte in the word: look at it byte by byte.
            const std::size_t hit = Tail(bytes.first(i + 8), i, zeros);
            if (hit < i + 8) {
                return hit;
            }
            zeros = ZerosBefore(bytes, i + 8, zerosBefore);
        } else {
            if (zeros >= 2 && data[i] == 1) {
                return i;
            }
            zeros = 0;
        }
        i += 8;
    }
    return Tail(bytes, i, zeros);
}

}  // namespace

std::size_t FindStartCodePrefix(std::span<const std::uint8_t> bytes, unsigned zerosBefore) {
#if defined(VARNIX_START_CODE_SSE2)
    return SearchSse2(bytes, zerosBefore);
#else
    return SearchWords(bytes, zerosBefore);
#endif
}

std::size_t FindStartCodePrefixWords(std::span<const std::uint8_t> bytes, unsigned zerosBefore) {
    return SearchWords(bytes, zerosBefore);
}

std::size_t FindStartCodePrefixBytewise(std::span<const std::uint8_t> bytes, unsigned zerosBefore) {
    return Tail(bytes, 0, std::min(zerosBefore, 2u));
}

unsigned TrailingZeros(std::span<const std::uint8_t> bytes, unsigned zerosBefore) {
    return ZerosBefore(bytes, bytes.size(), zerosBefore);
}

}  // namespace varnix
