#pragma once
// Rules of the main window that need no widget: which destination texts let Process run, the
// text the destination edit gets when it is left, the status bar's texts and totals, the
// controls of the busy state and the page numbers.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/timecode.h"

namespace varnix {

// The two pages of the audio files: 0 cuts every file of its list, 1 merges them first.
constexpr int kCutPage = 0;
constexpr int kMergePage = 1;
constexpr bool IsValidPage(int page) {
    return page == kCutPage || page == kMergePage;
}

// Whether a destination text may be used: on POSIX systems an absolute folder ("/..."); on
// Windows anything but a text shorter than 2 characters or a 2- or 3-character text without
// ":" in second place ("C", "ab\" are refused; "D:", "C:\" and longer texts pass).
bool DestinationAllowsProcessPosix(std::string_view text);
bool DestinationAllowsProcessWindows(std::string_view text);
// The rule of the platform the program runs on.
bool DestinationAllowsProcess(std::string_view text);

// What the Process button depends on.
struct ProcessInputs {
    bool mergePageShown = false;
    int cutRows = 0;       // rows of the list on the page "Cut every file from list"
    int mergeRows = 0;     // rows of the list on the page "Merge all files before processing"
    int durationRows = 0;  // rows of the durations list
    std::string destination;
};
bool ProcessEnabled(const ProcessInputs& inputs);

// The destination text after the edit is left: a separator is appended to a text longer than
// 2 characters that does not end with one ("D:" stays, "/a/b" becomes "/a/b/").
std::string DestinationTextOnLeave(std::string text);

// Status panel 0: "   i / n".
std::string PositionText(std::int64_t i, std::int64_t n);
// Status panel 2: "   Total time: HH:MM:SS.FF (NTSC)".
std::string TotalTimeText(TimeCode total, TvSystem system);

// Total of the durations list: the frames of every entry summed and turned back into a time
// code at the system's rate. Entries without a duration count nothing.
TimeCode DurationsTotal(const std::vector<TimeCode>& entries, TvSystem system);
// Total of an audio list: the entries added up as time codes. Entries without a duration count
// nothing.
TimeCode AudioTotal(const std::vector<TimeCode>& entries, TvSystem system);

// The warning at the end of a Process that names the inputs that gave no piece, one a line.
std::string InputsWithoutPiecesText(const std::vector<std::string>& inputs);

// On the merge page without header check, the first row of a list with rows stays where it
// is: while it is selected, Move up, Move down and Delete file are disabled.
bool FirstMergeRowLocked(bool mergePageShown, bool checkHeader, int mergeRows, int selectedRow);

// Object names of the controls that the busy state disables, in the order it disables them;
// the Close button is not among them (it becomes Cancel).
const std::vector<std::string>& BusyDisabledControls();
// Object names of the controls that leaving the busy state enables: the three lists and every
// control the busy state disabled.
const std::vector<std::string>& IdleEnabledControls();

}  // namespace varnix
