#pragma once
// Bit readers, most significant bit first: TBitStream over bytes held in memory and
// TFileBitStream, a buffered forward-only reader over a whole file with start-code search and a
// look-ahead that can see four bytes past the end of its buffer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/file.h"

namespace varnix {

class TBitStream {
  public:
    // The caller keeps the bytes alive while the reader is used.
    explicit TBitStream(std::span<const std::uint8_t> data) : data_(data) {}

    std::uint32_t GetBit();
    // n from 0 to 32; bits beyond the end of the data read as 0.
    std::uint32_t GetBits(int n);
    std::size_t position() const { return position_; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
    int bitsLeft_ = 8;
};

class TFileBitStream {
  public:
    // The video scanner's block size.
    static constexpr std::size_t kScanBufferSize = 524280;

    // Opens the file and fills the buffer once. On failure shows "Unable to open file <name> for
    // reading." or "Unable to read from file <name>." through the host and throws
    // EParserFileException("File error!").
    TFileBitStream(const std::string& fileName, std::size_t bufferSize = kScanBufferSize);

    std::uint32_t GetBit();
    std::uint32_t GetBits(int n);
    // The next n bits (0 to 32) without consuming them; 0 when they run past the data.
    std::uint32_t PeekBits(int n);
    // Skips to the next byte-aligned place where the next `width` bits equal `value` and
    // consumes them; false at the end of the data.
    bool FindSync(std::uint32_t value, int width);
    // FindSync(1, 24) over whole buffers at once: skips to the next byte-aligned start-code
    // prefix 00 00 01 and consumes it. Same result, position and end state as FindSync(1, 24).
    bool NextStartCode();
    // True once a read asked for bits after the end of the data (a header cut short). Reading
    // the file's last byte sets EndOfData but not this.
    bool ReadPastEnd() const { return readPastEnd_; }
    bool EndOfData() const { return endOfData_; }
    // Byte offset in the file of the current byte.
    std::int64_t Position() const;
    std::int64_t FileSize() const { return fileSize_; }
    // Last-write time in 100-nanosecond units since 1601-01-01 UTC.
    std::uint64_t FileTime() const { return fileTime_; }
    std::int64_t FillCount() const { return fillCount_; }
    int BitsLeft() const { return bitsLeft_; }

  private:
    void Fill();
    void StepByte();

    BinaryFile file_;
    std::vector<std::uint8_t> buffer_;
    std::size_t position_ = 0;
    int bitsLeft_ = 8;
    std::size_t validBytes_ = 0;
    bool endOfData_ = false;
    bool readPastEnd_ = false;
    std::int64_t fillCount_ = 0;
    std::int64_t fileSize_ = 0;
    std::uint64_t fileTime_ = 0;
};

}  // namespace varnix
