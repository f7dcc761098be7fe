#include "core/range_copy.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"

#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varnix {

namespace {

constexpr std::size_t kBufferBytes = 1u << 20;

std::string Reason(int error) {
    return std::system_category().message(error);
}

// "<what> <name><how>: <reason>." naming the file in the error.
[[noreturn]] void Fail(const std::string& what, const std::string& name, int error,
                       const std::string& how = {}) {
    throw IoError(
        what + " " + name + how + (error != 0 ? ": " + Reason(error) : std::string()) + ".", name);
}

// Runs the chunk loop over a function that copies up to n bytes and returns how many it copied
// (fewer only at the end of the source).
template <typename CopySome>
ByteRangeCopyResult ChunkLoop(const ByteRangeCopy& copy, CopySome&& copySome) {
    ByteRangeCopyResult result;
    const std::uint64_t chunk = std::max<std::uint64_t>(copy.chunk, 1);
    std::uint64_t remaining = copy.count;
    while (remaining > 0) {
        const std::uint64_t want = std::min(chunk, remaining);
        const std::uint64_t got = copySome(want);
        result.copied += got;
        remaining -= got;
        if (copy.afterChunk) {
            copy.afterChunk(result.copied);
        }
        if (got < want) {
            break;  // the source ended
        }
        if (remaining > 0 && IsAborted(copy.abort)) {
            result.aborted = true;
            break;
        }
    }
    return result;
}

#ifdef __linux__

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; the error of close() (0 when none).
    int closeNow() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

ByteRangeCopyResult CopyWithDescriptors(const ByteRangeCopy& copy) {
    Descriptor in(::open(copy.source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        Fail("Unable to open file", copy.source, errno, " for reading");
    }
    const int flags = O_WRONLY | O_CLOEXEC | (copy.append ? 0 : O_CREAT | O_TRUNC);
    Descriptor out(::open(copy.dest.c_str(), flags, 0666));
    if (out.get() < 0) {
        Fail(copy.append ? "Unable to open file" : "Unable to create file", copy.dest, errno);
    }
    const auto failWrite = [&](int error) {
        out.closeNow();
        if (!copy.append) {
            DeleteFileIfExists(copy.dest);
        }
        Fail("Unable to write to file", copy.dest, error);
    };
    const auto failRead = [&](int error) {
        out.closeNow();
        if (!copy.append) {
            DeleteFileIfExists(copy.dest);
        }
        Fail("Unable to read from file", copy.source, error);
    };

    off_t offIn = static_cast<off_t>(copy.start);
    off_t offOut = 0;
    if (copy.append) {
        struct stat st {};
        if (::fstat(out.get(), &st) != 0) {
            failWrite(errno);
        }
        offOut = st.st_size;
    }
    bool kernelCopy = true;
    std::vector<std::uint8_t> buffer;
    const auto copySome = [&](std::uint64_t n) -> std::uint64_t {
        std::uint64_t done = 0;
        while (done < n) {
            const std::size_t want = static_cast<std::size_t>(n - done);
            if (kernelCopy) {
                const ssize_t got =
                    ::copy_file_range(in.get(), &offIn, out.get(), &offOut, want, 0);
                if (got > 0) {
                    done += static_cast<std::uint64_t>(got);
                    continue;
                }
                if (got == 0) {
                    break;  // end of the source
                }
                if (errno == EINTR) {
                    continue;
                }
                // No in-kernel copy between these files (another file system, an old kernel),
                // or a failure: go on through the buffer from the same offsets, where a read or
                // write that fails tells which file is at fault.
                kernelCopy = false;
                continue;
            }
            if (buffer.empty()) {
                buffer.resize(kBufferBytes);
            }
            const ssize_t got =
                ::pread(in.get(), buffer.data(), std::min(want, buffer.size()), offIn);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                failRead(errno);
            }
            if (got == 0) {
                break;
            }
            std::size_t written = 0;
            while (written < static_cast<std::size_t>(got)) {
                const ssize_t w = ::pwrite(out.get(), buffer.data() + written,
                                           static_cast<std::size_t>(got) - written, offOut);
                if (w < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    failWrite(errno);
                }
                written += static_cast<std::size_t>(w);
                offOut += w;
            }
            offIn += got;
            done += static_cast<std::uint64_t>(got);
        }
        return done;
    };
    const ByteRangeCopyResult result = ChunkLoop(copy, copySome);
    // A dest removed while it was written took every byte with it.
    struct stat written {};
    if (::fstat(out.get(), &written) == 0 && written.st_nlink == 0) {
        failWrite(ENOENT);
    }
    if (const int error = out.closeNow(); error != 0) {
        failWrite(error);
    }
    return result;
}

#else

ByteRangeCopyResult CopyWithStreams(const ByteRangeCopy& copy) {
    BinaryFile in(copy.source, BinaryFile::Mode::Read);
    if (!in) {
        Fail("Unable to open file", copy.source, errno, " for reading");
    }
    BinaryFile out;
    if (copy.append) {
        if (!out.open(copy.dest, BinaryFile::Mode::ReadWrite) || !out.seekEnd()) {
            Fail("Unable to open file", copy.dest, errno);
        }
    } else if (!out.open(copy.dest, BinaryFile::Mode::Create)) {
        Fail("Unable to create file", copy.dest, errno);
    }
    const auto failWrite = [&] {
        out.close();
        if (!copy.append) {
            DeleteFileIfExists(copy.dest);
        }
        Fail("Unable to write to file", copy.dest, 0);
    };
    const std::int64_t size = in.size();
    if (size >= 0 && copy.start >= static_cast<std::uint64_t>(size)) {
        if (copy.afterChunk) {
            copy.afterChunk(0);
        }
        return {};
    }
    if (!in.seek(static_cast<std::int64_t>(copy.start))) {
        Fail("Unable to read from file", copy.source, 0);
    }
    std::vector<std::uint8_t> buffer(kBufferBytes);
    const auto copySome = [&](std::uint64_t n) -> std::uint64_t {
        std::uint64_t done = 0;
        while (done < n) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(n - done, buffer.size()));
            const std::size_t got = in.read(buffer.data(), want);
            if (got > 0 && out.write(buffer.data(), got) != got) {
                failWrite();
            }
            done += got;
            if (got < want) {
                break;
            }
        }
        return done;
    };
    const ByteRangeCopyResult result = ChunkLoop(copy, copySome);
    out.close();
    if (out.failed() || !FileExists(copy.dest)) {
        failWrite();
    }
    return result;
}

#endif

}  // namespace

ByteRangeCopyResult CopyByteRange(const ByteRangeCopy& copy) {
#ifdef __linux__
    return CopyWithDescriptors(copy);
#else
    return CopyWithStreams(copy);
#endif
}

}  // namespace varnix
