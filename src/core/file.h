#pragma once
// A thin, move-only wrapper over a C stream with 64-bit positions. Every file handle of the
// engine lives for one operation; the destructor closes it.
//
// Reads tell the end of the file from a read error: `read` returns fewer bytes in both cases and
// `readError` says which, `readChecked` throws IoError on an error. Tests make reads fail through
// InjectedReadFault, which every handle honours (also the in-kernel copy of range_copy.h).

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace varnix {

class IoError;

// The bytes offset .. offset + length - 1 of a file cannot be read (a bad block of the disk);
// reads that reach them fail with the system's error number `error`.
struct ReadFault {
    std::uint64_t offset = UINT64_MAX;
    std::uint64_t length = 0;
    int error = 0;

    bool covers(std::uint64_t position) const {
        return position >= offset && position - offset < length;
    }
};

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
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;

    bool open(const std::string& name, Mode mode);
    void close();
    bool isOpen() const { return stream_ != nullptr; }
    explicit operator bool() const { return isOpen(); }
    // The name the file was opened by.
    const std::string& name() const { return name_; }

    // Reads up to `count` bytes; returns how many arrived: fewer at the end of the file, and
    // fewer (maybe none) when the read failed, which readError() then tells.
    std::size_t read(void* buffer, std::size_t count);
    // The system's error number of the last read that failed; 0 when it succeeded or ended at the
    // end of the file.
    int readError() const { return readError_; }
    // As read, but fewer bytes only at the end of the file: a read error throws IoError naming
    // the file and the system's reason.
    std::size_t readChecked(void* buffer, std::size_t count);
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

    // The operating system's descriptor of the open file (-1 when closed), for copies that the
    // system does without passing the bytes through a buffer (POSIX systems only).
    int descriptor() const;
    // The bytes from `offset` on that can be read before an injected fault: its offset when it
    // lies at or after `offset`, `offset` itself inside it, UINT64_MAX without one.
    std::uint64_t readableUntil(std::uint64_t offset) const;
    // The injected fault of this handle (none: length 0).
    const ReadFault& fault() const { return fault_; }

  private:
    std::FILE* stream_ = nullptr;
    std::string name_;
    bool failed_ = false;
    int readError_ = 0;
    ReadFault fault_;
};

// The error of a read that failed: "Unable to read from file NAME: REASON.".
IoError ReadError(const std::string& fileName, int error);

// For tests: while the object lives, every handle opened on the file `fileName` (the same file
// after resolving the path) fails to read the bytes offset .. offset + length - 1 with `error`, as
// a bad block of a disk would. Reads before them return what they can and then fail.
class InjectedReadFault {
  public:
    InjectedReadFault(const std::string& fileName, std::uint64_t offset, std::uint64_t length = 1,
                      int error = EIO);
    ~InjectedReadFault();
    InjectedReadFault(const InjectedReadFault&) = delete;
    InjectedReadFault& operator=(const InjectedReadFault&) = delete;

  private:
    std::uint64_t id_;
};

// The platform path of a UTF-8 file name.
std::filesystem::path PathOf(const std::string& name);

}  // namespace varnix
