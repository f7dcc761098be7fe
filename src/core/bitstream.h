#pragma once
// Bit readers, most significant bit first. TBitStream reads bytes held in memory; TFileBitStream
// is the same reader over a whole file, fed one buffer at a time, with a look-ahead that can see
// four bytes past the end of its buffer.

#include <array>
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
    explicit TBitStream(std::span<const std::uint8_t> data)
        : data_(data), endOfData_(data.empty()) {}
    virtual ~TBitStream() = default;
    TBitStream(const TBitStream&) = delete;
    TBitStream& operator=(const TBitStream&) = delete;

    std::uint32_t GetBit();
    // n from 0 to 32; bits beyond the end of the data read as 0.
    std::uint32_t GetBits(int n);
    // The next n bits (0 to 32) without consuming them; 0 when they run past the data.
    std::uint32_t PeekBits(int n);
    // Skips to the next byte-aligned place where the next `width` bits equal `value` and
    // consumes them; false at the end of the data.
    bool FindSync(std::uint32_t value, int width);
    // FindSync(1, 24) over whole blocks at once: skips to the next byte-aligned start-code
    // prefix 00 00 01 and consumes it. Same result, position and end state as FindSync(1, 24).
    bool NextStartCode();
    // True once the last byte has been consumed.
    bool EndOfData() const { return endOfData_; }
    // True once a read asked for bits after the end of the data (a header cut short). Reading
    // the last byte sets EndOfData but not this.
    bool ReadPastEnd() const { return readPastEnd_; }
    // Offset of the current byte from the start of the data.
    std::int64_t Position() const { return blockStart_ + static_cast<std::int64_t>(position_); }
    int BitsLeft() const { return bitsLeft_; }

  protected:
    // For a reader whose bytes arrive block by block; it installs the first one by SetBlock.
    TBitStream() = default;
    // Starts reading at the first byte of `block`, which begins at `start` in the data.
    void SetBlock(std::span<const std::uint8_t> block, std::int64_t start);
    std::span<const std::uint8_t> Block() const { return data_; }
    std::int64_t BlockStart() const { return blockStart_; }

  private:
    // Called once the last byte of the block has been consumed: installs the next block and
    // returns true, or returns false at the end of the data. Bytes held in memory have no next
    // block.
    virtual bool NextBlock() { return false; }
    // The bytes after the current block, without consuming them, for the look-ahead: fills
    // `ahead` and returns how many bytes it got.
    virtual std::size_t PeekAfterBlock(std::array<std::uint8_t, 4>& /*ahead*/) { return 0; }

    // Moves to the next byte, into the next block at the end of this one.
    void StepByte() {
        if (++position_ == data_.size() && !NextBlock()) {
            endOfData_ = true;
        }
    }

    std::span<const std::uint8_t> data_;
    std::int64_t blockStart_ = 0;
    std::size_t position_ = 0;
    int bitsLeft_ = 8;
    bool endOfData_ = false;
    bool readPastEnd_ = false;
};

class TFileBitStream : public TBitStream {
  public:
    // The video scanner's block size.
    static constexpr std::size_t kScanBufferSize = 524280;

    // Opens the file and fills the buffer once. When the file cannot be opened, or is empty,
    // shows "Unable to open file <name> for reading." or "Unable to read from file <name>."
    // through the host and throws EParserFileException("File error!"). A read error, here or in
    // any later fill or look-ahead, throws IoError "Unable to read from file <name>: <reason>.":
    // it never passes for the end of the file.
    explicit TFileBitStream(const std::string& fileName, std::size_t bufferSize = kScanBufferSize);

    std::int64_t FileSize() const { return fileSize_; }
    // Last-write time in 100-nanosecond units since 1601-01-01 UTC.
    std::uint64_t FileTime() const { return fileTime_; }
    // Buffer fills so far, the first one and a last one that read nothing included.
    std::int64_t FillCount() const { return fillCount_; }

  private:
    // Reads the next buffer; false at the end of the file. Throws IoError on a read error.
    bool Fill();
    bool NextBlock() override;
    std::size_t PeekAfterBlock(std::array<std::uint8_t, 4>& ahead) override;

    BinaryFile file_;
    std::vector<std::uint8_t> buffer_;
    std::int64_t fillCount_ = 0;
    std::int64_t fileSize_ = 0;
    std::uint64_t fileTime_ = 0;
};

}  // namespace varnix
