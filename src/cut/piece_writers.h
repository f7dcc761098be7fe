#pragma once
// The AC3 and DTS piece writers: a piece is the byte range of whole frames from frame `start`
// on, `count` frames long, copied without decoding. (The WAV and MPEG audio writers live with
// their formats.)

#include <cstdint>
#include <string>

#include "core/extent.h"
#include "core/host.h"

namespace varnix {

// Copies `bytes` bytes from offset `from` (kToEnd: to the end of the input) of `input` into a new
// file `output`, replacing it. After every chunk `progress` gets progressBase + the bytes copied so
// far; a set abort flag stops the copy and leaves the piece as far as it got. Throws IoError
// (after removing the piece) when the input cannot be read or the piece written.
void WriteBytePiece(const std::string& input, const std::string& output, std::uint64_t from,
                    Count bytes, const AbortFlag* abort, std::uint64_t progressBase,
                    const ProgressCallback& progress);

// Writes AC3 frames start .. start + count - 1 (count kToEnd: to the end of the file).
// Frames are all as long as the first when the stream says so; otherwise (44.1 kHz streams mix
// two lengths) the frames are walked, and the piece begins and ends on walked frame starts, a
// piece reaching past the last walked frame running to the end of the file. Returns false, and
// creates nothing, when the input does not exist or its first frame gives no length.
bool WriteAC3Piece(const std::string& input, const std::string& output, std::uint64_t start,
                   const AbortFlag* abort, std::uint64_t progressBase,
                   const ProgressCallback& progress, Count count);

// Writes DTS frames start .. start + count - 1 (count kToEnd: to the end of the file), every frame
// as long as the first (FSIZE + 1).
// The header is read whatever the file's name. Returns false, and creates nothing, when the
// input does not exist or does not begin with a DTS frame.
bool WriteDTSPiece(const std::string& input, const std::string& output, std::uint64_t start,
                   const AbortFlag* abort, std::uint64_t progressBase,
                   const ProgressCallback& progress, Count count);

// Frame length of a DTS file's first frame (FSIZE + 1), read whatever the file's name; 0 when it
// does not begin with a DTS frame.
std::uint32_t DTSFrameLengthOf(const std::string& input);

}  // namespace varnix
