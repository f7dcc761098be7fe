#pragma once
// The information report of a media file: its kind, stream parameters and play times in PAL,
// NTSC non-drop-frame and NTSC drop-frame terms, as one text of CR LF lines.

#include <string>

#include "core/progress.h"
#include "formats/format_options.h"

namespace varnix {

inline constexpr const char* kUnknownFileFormat = "Unknown file format";
// The title of the message box that shows a report; "Unknown file format" shows under
// kErrorTitle (core/host.h).
inline constexpr const char* kReportTitle = "Information";

// Builds the report of the file's kind ("Unknown file format" when none applies, or for a WAV
// file that is not PCM). With `show` the host shows it: as an error for "Unknown file format",
// as information otherwise. `progress` and `idle` go to a video scan; `decimalSeparator` is used
// in fractional numbers (the DTS bit rate 754.5); `formats` decides which files are taken.
std::string ShowMediaInformation(const std::string& fileName, bool show,
                                 ProgressIndicator* progress, char decimalSeparator = '.',
                                 FormatOptions formats = {}, const IdleCallback& idle = {});

}  // namespace varnix
