#pragma once
// A file stream opened by name, read through a block of memory: the MPEG audio reader takes
// bytes one at a time during its sync search and skips frame payloads by seeking, and both stay
// inside the block, so walking a long stream costs one system call per block, not per frame.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/file.h"

namespace varnix {

class TStdIOCallback {
  public:
    enum AccessMode { kRead = 0, kWrite = 1, kReadWrite = 2 };
    static constexpr std::size_t kBlockSize = 256 * 1024;

    // Opens the file; throws IoError when it cannot be opened.
    TStdIOCallback(const std::string& fileName, int accessMode, std::size_t blockSize = kBlockSize);
    virtual ~TStdIOCallback();
    TStdIOCallback(const TStdIOCallback&) = delete;
    TStdIOCallback& operator=(const TStdIOCallback&) = delete;

    virtual void close();
    // Reads up to count bytes; returns how many arrived, fewer only at the end of the file.
    // Throws IoError naming the file and the system's reason when the bytes cannot be read.
    virtual std::size_t read(void* buffer, std::size_t count);
    // Writes at the current position (not used by the readers); returns the bytes written.
    virtual std::size_t write(const void* buffer, std::size_t count);
    // The current position; throws IoError "Can not tell the current file pointer position."
    // when it is unknown.
    virtual std::int64_t tell();
    // origin 0: from the start, 1: from the current position; any other origin does nothing.
    // Throws IoError "Failed to seek file." when the position cannot be set (a negative position,
    // or 0 reached by a non-zero offset).
    void seek(int origin, std::int64_t offset);

    // The next byte; none at the end of the file. Throws IoError as read does.
    std::optional<std::uint8_t> readByte() {
        if (cursor_ < valid_) {
            return block_[cursor_++];
        }
        return readByteSlow();
    }

    const std::string& fileName() const { return fileName_; }

  private:
    std::optional<std::uint8_t> readByteSlow();
    // Loads the block that begins at the current position.
    bool fill();

    std::string fileName_;
    BinaryFile file_;
    std::vector<std::uint8_t> block_;
    std::int64_t blockStart_ = 0;  // file offset of block_[0]
    std::size_t valid_ = 0;        // bytes of the file in the block
    std::size_t cursor_ = 0;       // the current position is blockStart_ + cursor_
};

}  // namespace varnix
