#pragma once
// The MPEG audio piece writer: finds the frame boundaries nearest to a run of samples and copies
// that byte range of the stream into a piece file.

#include <cstdint>
#include <string>

#include "core/extent.h"
#include "core/host.h"
#include "core/progress.h"

namespace varnix {

// The byte range of one piece.
struct MPAPieceRange {
    std::uint64_t start = 0;   // byte offset of the first byte copied
    Count length = 0u;         // bytes, or kToEnd: the piece runs to the end of the file
    std::int64_t samples = 0;  // samples of the accepted frames the piece covers
};

// Finds the piece that begins on the frame boundary reached at startSample and ends on the frame
// boundary nearest to startSample + sampleCount (ties go to the later boundary; of boundaries
// that frames without accepted samples separate, the one right after the last accepted frame,
// where the next piece begins); sampleCount
// kToEnd runs to the end of the file. The first piece (startSample 0) begins after an ID3v2
// tag and a "Xing"/"Info" frame. A start past the last frame gives an empty range at the end of
// the file. `idle` is called every 256 frames of the walk. Throws IoError when the file cannot be
// opened, positioned or read.
MPAPieceRange LocateMPAPiece(const std::string& sourceName, std::uint64_t startSample,
                             Count sampleCount, const IdleCallback& idle = {});

// Writes that piece into destName (replacing it) and returns the samples it covers; the next
// piece starts at startSample plus the result, so no frame is lost or repeated. The walk that
// finds the range reports progressBase every few hundred frames, the copy progressBase + bytes
// copied after every block; the copy stops when the abort flag is set. Throws
// IoError (after removing destName) when the source cannot be read or the piece written.
std::int64_t WriteMPAPiece(const std::string& sourceName, const std::string& destName,
                           std::uint64_t startSample, const AbortFlag* abortFlag,
                           std::uint64_t progressBase, const ProgressCallback& progress,
                           Count sampleCount);

}  // namespace varnix
