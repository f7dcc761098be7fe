#include "core/range_copy.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <system_error>
#include <vector>

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"

#ifdef __linux__
#include <unistd.h>
#endif

namespace varnix {

namespace {

constexpr std::size_t kBufferBytes = 1u << 20;

// "<what> <name><how>: <reason>." naming the file in the error.
[[noreturn]] void Fail(const std::string& what, const std::string& name, int error,
                       const std::string& how = {}) {
    throw IoError(what + " " + name + how +
                      (error != 0 ? ": " + std::generic_category().message(error) : std::string()) +
                      ".",
                  name);
}

class RangeCopier {
  public:
    explicit RangeCopier(const ByteRangeCopy& copy) : copy_(copy) {
        if (!in_.open(copy.source, BinaryFile::Mode::Read)) {
            Fail("Unable to open file", copy.source, errno, " for reading");
        }
        if (copy.append) {
            if (!out_.open(copy.dest, BinaryFile::Mode::ReadWrite) || !out_.seekEnd()) {
                Fail("Unable to open file", copy.dest, errno);
            }
        } else if (!out_.open(copy.dest, BinaryFile::Mode::Create)) {
            Fail("Unable to create file", copy.dest, errno);
        }
        const std::int64_t end = out_.tell();
        if (end < 0) {
            failWrite(errno);
        }
        offOut_ = static_cast<std::uint64_t>(end);
        offIn_ = copy.start;
        if (copy.start > static_cast<std::uint64_t>(INT64_MAX) ||
            !in_.seek(static_cast<std::int64_t>(copy.start))) {
            failRead(errno);
        }
#ifdef __linux__
        inKernel_ = copy.method == CopyMethod::Fastest;
#endif
    }

    ByteRangeCopyResult run() {
        ByteRangeCopyResult result;
        const std::uint64_t chunk = std::max<std::uint64_t>(copy_.chunk, 1);
        // To the end: more bytes than any file holds, so that the source's end stops the copy.
        std::uint64_t remaining = copy_.count.amountOr(std::numeric_limits<std::uint64_t>::max());
        do {
            const std::uint64_t want = std::min(chunk, remaining);
            const std::uint64_t got = want > 0 ? copySome(want) : 0;
            result.copied += got;
            remaining -= got;
            if (copy_.afterChunk) {
                copy_.afterChunk(result.copied);
            }
            if (got < want) {
                break;  // the source ended
            }
            if (remaining > 0 && IsAborted(copy_.abort)) {
                result.aborted = true;
                break;
            }
        } while (remaining > 0);
        finish();
        return result;
    }

  private:
    // Copies up to n bytes; fewer only at the end of the source.
    std::uint64_t copySome(std::uint64_t n) {
        std::uint64_t done = 0;
        while (done < n) {
            if (inKernel_) {
                const std::uint64_t got = copyInKernel(n - done);
                done += got;
                if (got == 0 && inKernel_) {
                    break;  // the end of the source
                }
                continue;
            }
            if (buffer_.empty()) {
                buffer_.resize(kBufferBytes);
            }
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(n - done, buffer_.size()));
            const std::size_t got = in_.read(buffer_.data(), want);
            if (in_.readError() != 0) {
                failRead(in_.readError());
            }
            errno = 0;
            if (got > 0 && out_.write(buffer_.data(), got) != got) {
                failWrite(errno);
            }
            offIn_ += got;
            offOut_ += got;
            done += got;
            if (got < want) {
                break;  // the end of the source
            }
        }
        return done;
    }

    // Copies up to n bytes in the kernel; 0 at the end of the source, and 0 with inKernel_ cleared
    // when the system declines: the bytes then go through the buffer from the same offsets, where
    // a read or write that fails tells which file is at fault.
    std::uint64_t copyInKernel(std::uint64_t n) {
#ifdef __linux__
        // An injected fault stops the kernel before it; reading it through the buffer fails.
        const std::uint64_t readable = in_.readableUntil(offIn_) - offIn_;
        const std::size_t want = static_cast<std::size_t>(std::min({n, readable, kCopyChunk}));
        while (want > 0) {
            auto from = static_cast<loff_t>(offIn_);
            auto to = static_cast<loff_t>(offOut_);
            const ssize_t got =
                ::copy_file_range(in_.descriptor(), &from, out_.descriptor(), &to, want, 0);
            if (got > 0) {
                offIn_ += static_cast<std::uint64_t>(got);
                offOut_ += static_cast<std::uint64_t>(got);
                return static_cast<std::uint64_t>(got);
            }
            if (got == 0) {
                return 0;
            }
            if (errno != EINTR) {
                break;  // another file system, an old kernel, or a failure
            }
        }
#else
        (void)n;
#endif
        inKernel_ = false;
        if (!in_.seek(static_cast<std::int64_t>(offIn_))) {
            failRead(errno);
        }
        if (!out_.seek(static_cast<std::int64_t>(offOut_))) {
            failWrite(errno);
        }
        return 0;
    }

    void finish() {
        errno = 0;
        out_.close();
        // A dest removed while it was written took every byte with it.
        if (out_.failed()) {
            failWrite(errno);
        }
        if (!FileExists(copy_.dest)) {
            failWrite(ENOENT);
        }
    }

    [[noreturn]] void failRead(int error) {
        abandonDest();
        Fail("Unable to read from file", copy_.source, error);
    }

    [[noreturn]] void failWrite(int error) {
        abandonDest();
        Fail("Unable to write to file", copy_.dest, error);
    }

    void abandonDest() {
        out_.close();
        if (!copy_.append) {
            DeleteFileIfExists(copy_.dest);
        }
    }

    const ByteRangeCopy& copy_;
    BinaryFile in_;
    BinaryFile out_;
    std::uint64_t offIn_ = 0;
    std::uint64_t offOut_ = 0;
    bool inKernel_ = false;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace

ByteRangeCopyResult CopyByteRange(const ByteRangeCopy& copy) {
    return RangeCopier(copy).run();
}

}  // namespace varnix
