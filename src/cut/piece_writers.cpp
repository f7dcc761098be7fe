#include "cut/piece_writers.h"

#include <algorithm>

#include "core/file_helpers.h"
#include "core/range_copy.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/dts.h"

namespace varnix {

void WriteBytePiece(const std::string& input, const std::string& output, std::uint64_t from,
                    std::optional<std::uint64_t> to, const AbortFlag* abort,
                    std::uint64_t progressBase, const ProgressCallback& progress) {
    ByteRangeCopy copy;
    copy.source = input;
    copy.start = from;
    copy.count = to ? (*to > from ? *to - from : 0) : UINT64_MAX;
    copy.dest = output;
    copy.abort = abort;
    if (progress) {
        copy.afterChunk = [&](std::uint64_t copied) { progress(progressBase + copied); };
    }
    CopyByteRange(copy);
}

bool WriteAC3Piece(const std::string& input, const std::string& output, std::uint64_t start,
                   const AbortFlag* abort, std::uint64_t progressBase,
                   const ProgressCallback& progress, std::int64_t count) {
    if (!FileExists(input)) {
        return false;
    }
    if (GetAC3FrameBytes(input) == 0) {
        return false;
    }
    FileSource source(input);
    std::vector<std::uint64_t> indices{start};
    if (count >= 0) {
        indices.push_back(start + static_cast<std::uint64_t>(count));
    }
    const auto starts = FindAC3FrameStarts(source, indices);
    WriteBytePiece(input, output, starts[0],
                   count >= 0 ? std::optional<std::uint64_t>(starts[1]) : std::nullopt, abort,
                   progressBase, progress);
    return true;
}

std::uint32_t DTSFrameLengthOf(const std::string& input) {
    const std::optional<DTSHeader> header = ReadDTSHeader(input, true);
    return header ? header->frameBytes : 0;
}

bool WriteDTSPiece(const std::string& input, const std::string& output, std::uint64_t start,
                   const AbortFlag* abort, std::uint64_t progressBase,
                   const ProgressCallback& progress, std::int64_t count) {
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
    WriteBytePiece(input, output, at(start),
                   count >= 0
                       ? std::optional<std::uint64_t>(at(start + static_cast<std::uint64_t>(count)))
                       : std::nullopt,
                   abort, progressBase, progress);
    return true;
}

}  // namespace varnix
