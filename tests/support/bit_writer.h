#pragma once
// Writes bit fields most significant bit first, as the audio and video headers hold them.

#include <cstdint>
#include <vector>

namespace varnix::test {

class BitWriter {
  public:
    // Appends the low `bits` bits of value (0 to 64), most significant first.
    BitWriter& put(std::uint64_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            putBit(((value >> i) & 1u) != 0);
        }
        return *this;
    }
    // Pads with zero bits up to the next byte boundary.
    BitWriter& align() {
        while (bitCount_ % 8 != 0) {
            putBit(false);
        }
        return *this;
    }
    // Appends whole bytes (the writer must be aligned).
    BitWriter& bytes(const std::vector<std::uint8_t>& data) {
        for (std::uint8_t b : data) {
            put(b, 8);
        }
        return *this;
    }
    std::size_t bitCount() const { return bitCount_; }
    // The bytes written so far; a partial last byte is padded with zeros.
    const std::vector<std::uint8_t>& data() const { return bytes_; }

  private:
    void putBit(bool bit) {
        if (bitCount_ % 8 == 0) {
            bytes_.push_back(0);
        }
        if (bit) {
            bytes_.back() |= static_cast<std::uint8_t>(0x80u >> (bitCount_ % 8));
        }
        ++bitCount_;
    }

    std::vector<std::uint8_t> bytes_;
    std::size_t bitCount_ = 0;
};

}  // namespace varnix::test
