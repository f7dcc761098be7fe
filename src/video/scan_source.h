#pragma once
// Where the video scan gets its elementary stream from: the file itself, or the video stream
// that a demuxer takes out of a program or transport stream. Either way the scanner reads bits,
// and every position it keeps (in the cache, in its messages) is a position in the file.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/bitstream.h"

namespace varnix {

class ScanSource {
  public:
    virtual ~ScanSource() = default;

    virtual TBitStream& Bits() = 0;
    virtual std::int64_t FileSize() const = 0;
    // Last-write time in 100-nanosecond units since 1601-01-01 UTC.
    virtual std::uint64_t FileTime() const = 0;
    // How far the reading has come, in the scanner's 524280-byte blocks of the file.
    virtual std::int64_t BlocksRead() const = 0;
    // The file position of the byte at `streamPosition` of the elementary stream.
    virtual std::int64_t FilePosition(std::int64_t streamPosition) const = 0;
    // What the demuxer met since the last call (lost packets, skipped bytes).
    virtual std::vector<std::string> TakeNotes() { return {}; }
    // The container as reports name it; empty for an elementary stream.
    virtual std::string Container() const { return {}; }
    // The elementary stream may begin anywhere (a VOB file of a title split in several files):
    // the scan starts at its first sequence header.
    virtual bool StartsAnywhere() const { return false; }
};

// The source for a video file by its content: an elementary stream as it is, a program or
// transport stream through its demuxer. Throws EParserFileException after saying why through the
// host when the file cannot be opened or read, or holds no video.
std::unique_ptr<ScanSource> OpenScanSource(const std::string& fileName);

}  // namespace varnix
