#pragma once
// The file object of the info cache: read only, or write (created when missing, otherwise
// written from its start without truncation), buffered through 1 MiB or straight to the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/file.h"

namespace varnix {

class TVobFileStream {
  public:
    static constexpr unsigned kModeWrite = 1;  // bit 0 of the mode
    static constexpr std::size_t kBufferSize = 1 << 20;

    // Throws EVOBException("Error while opening file.") when the file cannot be opened.
    TVobFileStream(const std::string& fileName, bool buffered, unsigned mode);
    ~TVobFileStream();
    TVobFileStream(const TVobFileStream&) = delete;
    TVobFileStream& operator=(const TVobFileStream&) = delete;

    // Up to `count` bytes; fewer at the end of the file.
    std::size_t Read(void* data, std::size_t count);
    // Returns the bytes accepted; a failed write makes Failed() true.
    std::size_t Write(const void* data, std::size_t count);
    // Writes out what is buffered and closes; false when any write failed.
    bool Close();
    bool Failed() const { return failed_; }

  private:
    bool FlushBuffer();

    BinaryFile file_;
    bool buffered_;
    bool writing_;
    bool failed_ = false;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;  // reading: next unread byte of the buffer
    std::size_t end_ = 0;    // reading: bytes in the buffer; writing: bytes gathered
};

}  // namespace varnix
