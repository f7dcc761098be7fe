#pragma once
// An MSB-first bit writer for building MPEG video headers in memory.

#include <cstdint>
#include <vector>

namespace varnix::test {

class VideoBitWriter {
  public:
    // Appends the low `count` bits of `value` (0 to 32), most significant first.
    void Put(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            PutBit((value >> i) & 1u);
        }
    }
    void PutBit(std::uint32_t bit) {
        if (bitsUsed_ == 0) {
            bytes_.push_back(0);
        }
        if (bit != 0) {
            bytes_.back() |= static_cast<std::uint8_t>(0x80u >> bitsUsed_);
        }
        bitsUsed_ = (bitsUsed_ + 1) % 8;
    }
    // Fills the current byte with zero bits.
    void Align() { bitsUsed_ = 0; }
    // Appends whole bytes (aligning first).
    void PutBytes(const std::vector<std::uint8_t>& bytes) {
        Align();
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    bool Aligned() const { return bitsUsed_ == 0; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    int bitsUsed_ = 0;
};

}  // namespace varnix::test
