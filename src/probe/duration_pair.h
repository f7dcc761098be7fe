#pragma once
// The (PAL, NTSC) duration pair of a media file, as the durations list keeps it and the
// command line prints it: switching the TV system picks the other member without asking the
// file again.

#include <string>

#include "core/host.h"
#include "core/progress.h"
#include "core/timecode.h"
#include "formats/format_options.h"

namespace varnix {

// One duration in both systems.
struct DurationPair {
    TimeCode pal;
    TimeCode ntsc;

    // No duration in either system.
    static constexpr DurationPair None() { return {TimeCode::None(), TimeCode::None()}; }

    // The member for a TV system.
    TimeCode ForSystem(TvSystem system) const { return system == TvSystem::Pal ? pal : ntsc; }

    friend bool operator==(const DurationPair&, const DurationPair&) = default;
};

// A video's pair from its duration d at its whole frame rate r: at 25, (d, d); at any other
// rate, (d with its frames limited to 24, d).
DurationPair VideoDurationPair(TimeCode duration, int wholeFrameRate);

// The pair of a file by its kind: audio files give their durations at 25 and at 30 frames a
// second; video files give the pair of their scanned (or cached) duration, scanning with
// `progress`, `abort` and `idle` (called every few GOPs); any other file gives no duration in
// either system, and so does a video that cannot be read. `formats` decides which files are
// taken.
DurationPair GetDurationPair(const std::string& fileName, AbortFlag* abort,
                             ProgressIndicator* progress, FormatOptions formats = {},
                             const IdleCallback& idle = {});

}  // namespace varnix
