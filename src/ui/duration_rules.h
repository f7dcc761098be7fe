#pragma once
// Rules of the duration dialog: reading the four fields, showing a duration in them, and
// limiting a typed duration to what the chosen system can hold.

#include <array>
#include <cstdint>
#include <string>

#include "core/timecode.h"

namespace varnix {

// The four fields of the dialog: hours, minutes, seconds, frames.
using DurationFields = std::array<std::string, 4>;

// A field read as a decimal integer (an optional sign and digits, spaces around them allowed);
// any other text gives 0. The value is kept in one byte (its low eight bits).
std::uint8_t DialogFieldValue(const std::string& text);
TimeCode GetDialogDuration(const DurationFields& fields);
// The four fields of a time code in decimal without padding.
DurationFields SetDialogDuration(TimeCode tc);

// Frames below the system's rate, seconds and minutes at most 59, hours at most 24; an all-zero
// duration becomes one frame.
TimeCode ClampDuration(TimeCode tc, int systemRate);

}  // namespace varnix
