#pragma once
// Rules of the durations list that need no widget: the row numbers, the duration pairs of
// typed durations and of files, and the texts of the time and system columns.

#include <string>

#include "core/timecode.h"
#include "formats/detect.h"
#include "ui/window_state.h"

namespace varnix {

// The caption of row i (counted from 1) of a list of n rows: i in decimal, padded with leading
// zeros to 4 digits from 1000 rows on, to 3 from 100, to 2 from 10.
std::string DurationNumberText(int i, int n);

// The system a row was filled under: "PAL" or "NTSC".
std::string SystemName(TvSystem system);
// A duration as the lists show it: HH:MM:SS.FF, or "???" for a file without a duration.
std::string DurationText(TimeCode tc);
inline constexpr const char* kNoDurationText = "???";
inline constexpr const char* kVirtualDuration = "Virtual duration";

// The message after a file's name (without folder) when it cannot be added.
inline constexpr const char* kMissingFileText =
    " file not exist or it is opened by another application!";
// Whether a file exists as a plain file and can be opened for reading.
bool FileCanBeRead(const std::string& fileName);

// Whether a file may give a duration: a name ending in ".wav" (letter case as written) and a
// file of the kind ".wav" must both be PCM WAVE files.
bool WaveChecksPass(const std::string& fileName, MediaKind kind);
// Whether a text ends with another, letter case as written.
bool EndsWith(const std::string& text, const std::string& tail);

}  // namespace varnix
