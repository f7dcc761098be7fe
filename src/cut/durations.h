#pragma once
// Durations as the durations list keeps them (a pair of time codes, one for PAL and one for
// NTSC), and the rules that turn a typed duration into such a pair.

#include <optional>
#include <string>
#include <vector>

#include "core/timecode.h"
#include "probe/duration_pair.h"

namespace varnix {

// A row of the durations list: a pair, or a row whose pair is gone (it takes no piece).
using DurationRow = std::optional<DurationPair>;

// Limits a typed duration: frames to the system's frame rate - 1, seconds and minutes to 59,
// hours to 24; an all-zero duration becomes one frame.
TimeCode ClampDuration(TimeCode typed, TvSystem system);
// The pair of a typed duration: the clamped value as the NTSC member, and with its frames
// limited to 24 as the PAL member.
DurationPair TypedDurationPair(TimeCode typed, TvSystem system);

// A time code typed as HH:MM:SS.FF or HH:MM:SS:FF (one or two digits a field); nothing when the
// text is not one. The value is not clamped.
std::optional<TimeCode> ParseTimeCodeText(const std::string& text);

}  // namespace varnix
