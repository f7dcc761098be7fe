#pragma once
// The one routine that copies a byte range of one file into another: every piece writer and the
// merge go through it. It copies through the operating system's in-kernel copy where there is one
// (copy_file_range on Linux), otherwise, and whenever the system declines, through a buffer of
// 1 MiB. The copy goes in chunks; after every chunk the caller hears how far it got and the abort
// flag is polled, so a long copy stays responsive and can be cancelled.

#include <cstdint>
#include <functional>
#include <string>

#include "core/extent.h"
#include "core/host.h"

namespace varnix {

// The largest chunk between two progress reports (and abort polls).
constexpr std::uint64_t kCopyChunk = 8u << 20;

enum class CopyMethod {
    Fastest,   // the in-kernel copy where the system has one, the buffer where it declines
    Buffered,  // always through the buffer: read, then write (the path of every other system)
};

struct ByteRangeCopy {
    std::string source;
    std::uint64_t start = 0;  // offset in the source
    Count count = kToEnd;     // bytes to copy, or up to the end of the source
    std::string dest;
    // false: dest is created, replacing a file of that name; true: the bytes go to the end of the
    // existing file dest.
    bool append = false;
    const AbortFlag* abort = nullptr;
    // Called after every chunk (once for an empty range) with the bytes copied so far by this call.
    std::function<void(std::uint64_t copied)> afterChunk;
    std::uint64_t chunk = kCopyChunk;
    CopyMethod method = CopyMethod::Fastest;
};

struct ByteRangeCopyResult {
    std::uint64_t copied = 0;
    bool aborted = false;  // stopped because the abort flag was set after a chunk
};

// Copies until `count` bytes are copied, the source ends, or the abort flag is set after a chunk.
// A start past the end of the source copies nothing (a created dest stays empty). Throws IoError
// naming the file and the system's reason when the source cannot be opened, positioned or read
// (a read error never passes for the end of the source), or dest cannot be opened or written, or
// dest was removed while it was written; a dest that this call created is removed first.
ByteRangeCopyResult CopyByteRange(const ByteRangeCopy& copy);

}  // namespace varnix
