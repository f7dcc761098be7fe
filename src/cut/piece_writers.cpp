#include "cut/piece_writers.h"

#include <algorithm>

#include "core/file_helpers.h"
#include "core/range_copy.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/dts.h"

namespace varnix {

namespace {

// The bytes from offset `from` to offset `to`; none when `to` lies before `from`.
std::uint64_t BytesFromTo(std::uint64_t from, std::uint64_t to) {
    return to > from ? to - from : 0;
}

}  // namespace

void WriteBytePiece(const std::string& input, const std::string& output, std::uint64_t from,
                    Count bytes, const AbortFlag* abort, std::uint64_t progressBase,
                    const ProgressCallback& progress) {
    ByteRangeCopy copy;
    copy.source = input;
    copy.start = from;
    copy.count = bytes;
    copy.dest = output;
    copy.abort = abort;
    if (progress) {
        copy.afterChunk = [&](std::uint64_t copied) { progress(progressBase + copied); };
    }
    CopyByteRange(copy);
}

bool WriteAC3Piece(const std::string& input, const std::string& output, std::uint64_t start,
                   const AbortFlag* abort, std::uint64_t progressBase,
                   const ProgressCallback& progress, Count count) {
    if (!FileExists(input)) {
        return false;
    }
    if (GetAC3FrameBytes(input) == 0) {
        return false;
    }
    FileSource source(input);
    std::vector<std::uint64_t> indices{start};
    if (!count.toEnd()) {
        indices.push_back(start + count.amount());
    }
    const auto starts = FindAC3FrameStarts(source, indices, false, [&progress, progressBase] {
        if (progress) {
            progress(progressBase);
        }
    });
    WriteBytePiece(input, output, starts[0],
                   count.toEnd() ? Count(kToEnd) : Count(BytesFromTo(starts[0], starts[1])), abort,
                   progressBase, progress);
    return true;
}

std::uint32_t DTSFrameLengthOf(const std::string& input) {
    const std::optional<DTSHeader> header = ReadDTSHeader(input, true);
    return header ? header->frameBytes : 0;
}

bool WriteDTSPiece(const std::string& input, const std::string& output, std::uint64_t start,
                   const AbortFlag* abort, std::uint64_t progressBase,
                   const ProgressCallback& progress, Count count) {
    if (!FileExists(input)) {
        return false;
    }
    const std::uint64_t length = DTSFrameLengthOf(input);
    if (length == 0) {
        return false;
    }
    const std::uint64_t size = FileSizeOf(input);
    const auto at = [&](std::uint64_t frame) {
        return frame > size / length ? size : frame * length;
    };
    WriteBytePiece(
        input, output, at(start),
        count.toEnd() ? Count(kToEnd) : Count(BytesFromTo(at(start), at(start + count.amount()))),
        abort, progressBase, progress);
    return true;
}

}  // namespace varnix
