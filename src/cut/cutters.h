#pragma once
// The four cutters. Each looks at the input's content and does nothing unless it is of its own
// format; the matching one turns every duration of the cut list into a whole number of its units
// and writes the pieces one after another: piece n as long as duration n, the tail taking what
// remains.

#include <functional>
#include <string>
#include <vector>

#include "core/host.h"
#include "cut/cut_list.h"
#include "formats/format_options.h"

namespace varnix {

// Shows the durations-list row of the piece being written (-1 clears the selection).
using ShowCurrentPiece = std::function<void(int listIndex)>;

struct CutOutcome {
    bool handled = false;  // the input is of the cutter's format
    // The input gives what cutting needs (a frame length, a sample rate, PCM samples); nothing
    // is written when it does not.
    bool usable = false;
    bool aborted = false;  // the abort flag stopped the cutter
    // The piece files written, in cut-list order (pieces that came out empty or header-only
    // and were removed are not listed).
    std::vector<std::string> pieces;
};

// Each cutter: for every entry in order, show its row, delete an existing file of the piece's
// name, write the piece (the tail to the end of the input), and stop after the piece when the
// abort flag is set. `formats` decides which kind the input is (DetectFormat). `progress` gets
// absolute byte positions in the input's pieces, after every chunk copied and, with the position
// reached so far, during long walks over the input. Throws IoError when the input cannot be read
// (a read error is never taken for its end) or a piece cannot be written (the incomplete piece
// removed), or the input vanishes between two pieces.
CutOutcome CutAC3File(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats = {});
CutOutcome CutDTSFile(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats = {});
// WAV pieces holding only their header are removed; the others carry a canonical header.
CutOutcome CutWAVFile(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats = {});
// Every piece ends on the frame boundary nearest to its running target and the next one starts
// there; a piece that covers no audio frame (only stray bytes after the last frame) is removed.
CutOutcome CutMPAFile(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats = {});

}  // namespace varnix
