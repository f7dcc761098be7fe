#pragma once
// Random access to the bytes of a file or of a memory buffer, so that the frame and chunk walks
// run the same way over a real file and over bytes built in a test. ByteWindow reads ahead in
// large blocks so that a walk over many small frames costs one system call per block, not one
// per frame.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/file.h"

namespace varnix {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Size in bytes of everything the source holds.
    virtual std::uint64_t size() const = 0;
    // Copies up to into.size() bytes from `offset`; returns how many arrived: fewer only at the
    // end. A source that cannot read them throws IoError (a read error never passes for the end).
    virtual std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) = 0;
};

// Bytes held in memory by the caller, who keeps them alive while the source is used.
class SpanSource : public ByteSource {
  public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override;

  private:
    std::span<const std::uint8_t> bytes_;
};

// A file, either opened here by name (shared reading) or an open file of the caller. Reading
// moves the file's position. A file that could not be opened reads as empty; a read error throws
// IoError naming the file and the system's reason.
class FileSource : public ByteSource {
  public:
    explicit FileSource(const std::string& fileName);
    explicit FileSource(BinaryFile& openFile);
    bool isOpen() const { return file_ != nullptr && file_->isOpen(); }
    std::uint64_t size() const override { return size_; }
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) override;

  private:
    BinaryFile owned_;
    BinaryFile* file_ = nullptr;
    std::uint64_t size_ = 0;
};

// A read-ahead window over a source. peek() hands out bytes from a block of at least 64 KiB
// and reads a new block only when the bytes asked for lie outside the one it holds.
class ByteWindow {
  public:
    static constexpr std::size_t kDefaultCapacity = 256 * 1024;

    explicit ByteWindow(ByteSource& source, std::size_t capacity = kDefaultCapacity);
    // Up to n bytes at offset (fewer at the end of the source, none past it). n must not exceed
    // the capacity. The span stays valid until the next call.
    std::span<const std::uint8_t> peek(std::uint64_t offset, std::size_t n);
    std::uint64_t size() const { return source_.size(); }
    // Blocks read so far.
    std::uint64_t fills() const { return fills_; }

  private:
    ByteSource& source_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t start_ = 0;
    std::size_t valid_ = 0;
    std::uint64_t fills_ = 0;
};

// Little- and big-endian numbers from the first bytes of a span (the span must be long enough).
inline std::uint16_t ReadLE16(std::span<const std::uint8_t> b) {
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}
inline std::uint32_t ReadLE32(std::span<const std::uint8_t> b) {
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
inline std::uint32_t ReadBE32(std::span<const std::uint8_t> b) {
    return (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
           (static_cast<std::uint32_t>(b[2]) << 8) | static_cast<std::uint32_t>(b[3]);
}

// Reads the first `count` bytes of a file; fewer when the file is shorter, none when it cannot
// be opened or read.
std::vector<std::uint8_t> ReadFileHead(const std::string& fileName, std::size_t count);
// Reads `count` bytes at `offset` of a file; fewer at the end, none when it cannot be opened or
// read.
std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName, std::uint64_t offset,
                                        std::size_t count);

}  // namespace varnix
