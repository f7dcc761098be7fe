#pragma once
// Rules of the durations list that need no widget: the row numbers, the duration pairs of
// typed durations and of files, and the texts of the time and system columns.

#include <string>

#include "core/timecode.h"
#include "ui/window_state.h"

namespace varnix {

// The caption of row i (counted from 1) of a list of n rows: i in decimal, padded with leading
// zeros to NumberingWidth(n) digits (4 from 1000 rows on, 3 from 100, 2 from 10).
std::string DurationNumberText(int i, int n);

// The system a row was filled under: "PAL" or "NTSC".
std::string SystemName(TvSystem system);
// A duration as the lists show it: HH:MM:SS.FF, or "???" for a file without a duration.
std::string DurationText(TimeCode tc);
inline constexpr const char* kNoDurationText = "???";
inline constexpr const char* kVirtualDuration = "Virtual duration";

}  // namespace varnix
