#pragma once
// A thin, move-only wrapper over a C stream with 64-bit positions. Every file handle of the
// engine lives for one operation; the destructor closes it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace varnix {

class BinaryFile {
  public:
    enum class Mode {
        Read,       // existing file, read only (other readers and writers allowed)
        Create,     // create or replace, read and write
        ReadWrite,  // existing file, read and write, positioned at the start
    };

    BinaryFile() = default;
    BinaryFile(const std::string& name, Mode mode) { open(name, mode); }
    ~BinaryFile() { close(); }
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    BinaryFile(BinaryFile&& other) noexcept : stream_(other.stream_) { other.stream_ = nullptr; }
    BinaryFile& operator=(BinaryFile&& other) noexcept;

    bool open(const std::string& name, Mode mode);
    void close();
    bool isOpen() const { return stream_ != nullptr; }
    explicit operator bool() const { return isOpen(); }

    // Reads up to `count` bytes; returns how many arrived (0 at the end or on error).
    std::size_t read(void* buffer, std::size_t count);
    // Writes `count` bytes; returns how many were written.
    std::size_t write(const void* buffer, std::size_t count);
    // Absolute position from the start; false when the position could not be set.
    bool seek(std::int64_t offset);
    bool seekRelative(std::int64_t offset);
    bool seekEnd();
    // Current position, or -1 when unknown.
    std::int64_t tell() const;
    // Size of the open file, or -1 when unknown. Keeps the position.
    std::int64_t size() const;
    bool flush();
    // True when a write or flush failed since opening.
    bool failed() const { return failed_; }

  private:
    std::FILE* stream_ = nullptr;
    bool failed_ = false;
};

// The platform path of a UTF-8 file name.
std::filesystem::path PathOf(const std::string& name);

}  // namespace varnix
