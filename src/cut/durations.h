#pragma once
// Durations as the durations list keeps them: a pair of time codes, one for PAL and one for NTSC,
// taken from a media file or typed in; and the rules that turn typed values into such a pair.

#include <optional>
#include <string>
#include <vector>

#include "core/timecode.h"

namespace varnix {

struct DurationPair {
    TimeCode pal;
    TimeCode ntsc;

    // The member for a TV system (25 PAL, anything else NTSC).
    TimeCode forSystem(int systemRate) const { return IsPAL(systemRate) ? pal : ntsc; }
    friend bool operator==(const DurationPair&, const DurationPair&) = default;
};

// A row of the durations list: a pair, or a row whose pair is gone (it takes no piece).
using DurationRow = std::optional<DurationPair>;

// Limits a typed duration: frames to SystemRate - 1, seconds and minutes to 59, hours to 24;
// an all-zero duration becomes one frame.
TimeCode ClampDuration(TimeCode typed, int systemRate);
// The pair of a typed duration: the clamped value as the NTSC member, and with its frames
// limited to 24 as the PAL member.
DurationPair TypedDurationPair(TimeCode typed, int systemRate);

// A time code typed as HH:MM:SS.FF or HH:MM:SS:FF (one or two digits a field); nothing when the
// text is not one. The value is not clamped.
std::optional<TimeCode> ParseTimeCodeText(const std::string& text);

// The pair of an audio file: its play time at 25 and at 30 frames a second. Nothing when the
// file has no duration (no known audio kind, not PCM, unreadable).
std::optional<DurationPair> AudioDurationPair(const std::string& fileName);

// The sum of the rows' durations in a TV system (rows without a pair count nothing).
TimeCode DurationsTotal(const std::vector<DurationRow>& rows, int systemRate);
// "   Total time: " and the total with its system, as the status bar shows it.
std::string TotalTimeText(const std::vector<DurationRow>& rows, int systemRate);

}  // namespace varnix
