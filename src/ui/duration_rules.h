#pragma once
// Rules of the duration dialog: reading the four fields and showing a duration in them. The
// engine limits a typed duration to what the chosen system can hold (ClampDuration) and makes
// its pair (TypedDurationPair).

#include <array>
#include <cstdint>
#include <string>

#include "core/timecode.h"
#include "cut/durations.h"

namespace varnix {

// The four fields of the dialog: hours, minutes, seconds, frames.
using DurationFields = std::array<std::string, 4>;

// A field read as a decimal integer (an optional sign and digits, spaces around them allowed);
// any other text gives 0. The value is kept in one byte (its low eight bits).
std::uint8_t DialogFieldValue(const std::string& text);
TimeCode GetDialogDuration(const DurationFields& fields);
// The four fields of a time code in decimal without padding.
DurationFields SetDialogDuration(TimeCode tc);

}  // namespace varnix
