#pragma once
// The information report as text: the record of a file (media_information.h) rendered line by
// line, every line ending with CR LF.

#include <string>

#include "probe/media_information.h"

namespace varnix {

// The report: a title by kind ("Audio AC3 Information:"), an empty line, the file name (its last
// 38 characters in an audio report, 25 in a video report), then every field as label, value and
// suffix. Flags show as "Yes" or "No", time codes with their frame rate ("00:00:02.00 (25 fps)"),
// decimal numbers with `decimalSeparator`. A video report without its duration ends with an
// empty line where the duration would stand.
std::string ReportText(const MediaInformation& info, char decimalSeparator = '.');

// A field's value as the report shows it.
std::string InfoValueText(const InfoValue& value, char decimalSeparator = '.');

// A number as a general decimal text: up to 15 significant digits, no trailing zeros, the given
// decimal separator (754.5, 1509.75, 32).
std::string GeneralDecimalText(double value, char decimalSeparator);

}  // namespace varnix
