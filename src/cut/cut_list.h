#pragma once
// The cut list that the split job hands to the cutters, and the names of the files it writes:
// pieces "<folder><name>_<n><ext>" numbered to the width of the piece count, and the merged file
// "<folder><first name>_Merged<ext>".

#include <string>
#include <vector>

#include "core/extent.h"
#include "core/timecode.h"
#include "cut/durations.h"

namespace varnix {

// One piece to write: its length in the chosen system (kToEnd for the tail, which takes the rest of
// the input), the piece file, and the durations-list row shown as current while it is written (-1:
// none, as for the tail).
struct CutPoint {
    Extent<TimeCode> duration;
    std::string outputName;
    int listIndex = -1;

    bool isTail() const { return duration.toEnd(); }
};

// Ordered entries, the last one always the tail entry (duration kToEnd, index -1) and no other.
using CutList = std::vector<CutPoint>;

// Digits of the piece numbers for a durations list of `rows` rows: NumberingWidth of the pieces,
// P = rows + 1 (4 digits from P = 1000, 3 from 100, 2 from 10, else 1).
int PieceNumberWidth(std::size_t rows);

// folder + name + "_" + n padded to width + ext, where ext is the source's extension and name
// its file name, without the extension when the name is longer than 4 characters. `folder` must
// end with a separator (FolderWithSeparator, core/file_helpers.h).
std::string MakePieceName(const std::string& folder, const std::string& source, int n, int width);

// folder + name + "_Merged" + ext after the first file of the merge list, whose extension is
// taken off its name when the name has at least 4 characters. Empty for an empty list.
std::string MakeMergedName(const std::string& folder, const std::vector<std::string>& mergeList);

// The file the pieces of an input are named after: the input itself, or for a merged file
// "<folder><name>_Merged<ext>" the name "<folder><name><ext>", so that the pieces of
// song_Merged.ac3 are called song_1.ac3 ...
std::string PieceNameSource(const std::string& input, bool merged);

// One entry per row that has a pair (rows without one take no number), in row order, with the
// member of the system and the piece name of its 1-based position; then the tail entry.
CutList BuildCutList(const std::vector<DurationRow>& rows, TvSystem system,
                     const std::string& folder, const std::string& nameSource);

}  // namespace varnix
