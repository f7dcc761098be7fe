#pragma once
// The search for the MPEG start-code prefix 00 00 01 over a block of bytes, sixteen bytes at a
// time with SSE2 where the compiler targets it and eight at a time (whole machine words)
// everywhere else. The video scan spends most of its time stepping over slice data with it.

#include <cstddef>
#include <cstdint>
#include <span>

namespace varnix {

// The index of the 01 byte of the first prefix that ends in `bytes`, or bytes.size() when none
// does. `zerosBefore` (0, 1 or 2: more count as 2) zero bytes just before the block belong to the
// search, so that a prefix split between two blocks is found where its 01 lies.
std::size_t FindStartCodePrefix(std::span<const std::uint8_t> bytes, unsigned zerosBefore = 0);

// The portable search over whole machine words, which FindStartCodePrefix is where SSE2 is not.
std::size_t FindStartCodePrefixWords(std::span<const std::uint8_t> bytes, unsigned zerosBefore = 0);

// The same, byte by byte: the reference the fast search is tested against.
std::size_t FindStartCodePrefixBytewise(std::span<const std::uint8_t> bytes,
                                        unsigned zerosBefore = 0);

// The zero bytes at the end of a block (at most 2), counting `zerosBefore` when every byte of the
// block is zero: what the search of the next block starts with.
unsigned TrailingZeros(std::span<const std::uint8_t> bytes, unsigned zerosBefore);

}  // namespace varnix
