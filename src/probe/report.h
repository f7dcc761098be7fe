#pragma once
// The information report of a media file: its kind, stream parameters and play times in PAL,
// NTSC non-drop-frame and NTSC drop-frame terms, as one text of CR LF lines.

#include <string>

#include "core/progress.h"
#include "formats/format_options.h"

namespace varnix {

inline constexpr const char* kUnknownFileFormat = "Unknown file format";
// Captions of the message box that shows a report.
inline constexpr const char* kReportTitle = "Information";
inline constexpr const char* kReportErrorTitle = "Error!";

// Builds the report of the file's kind ("Unknown file format" when none applies, or for a WAV
// file that is not PCM). With `show` the host shows it: as an error for "Unknown file format",
// as information otherwise. `progress` goes to a video scan; `decimalSeparator` is used in
// fractional numbers (the DTS bit rate 754.5); `formats` decides which files are taken.
std::string ShowMediaInformation(const std::string& fileName, bool show,
                                 ProgressIndicator* progress, char decimalSeparator = '.',
                                 FormatOptions formats = {});

}  // namespace varnix
