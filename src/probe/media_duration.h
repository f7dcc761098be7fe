#pragma once
// The play time of a media file as a time code at the caller's frame rate.

#include <optional>
#include <string>

#include "core/host.h"
#include "core/progress.h"
#include "core/timecode.h"
#include "formats/detect.h"
#include "formats/format_options.h"

namespace varnix {

// The duration of a file: for audio files the play time at `fps` (25.0 PAL or 30.0 NTSC), the
// last frame the samples reach plus one; a stream too short to reach a frame lasts 00:00:00.00.
// TimeCode::None() for a file of no known kind, a WAV file that is not PCM, and a file that
// cannot give a duration (no sample rate, a frame length of 0, no channels or bits, no "data"
// chunk). Video files give their scanned duration at their own frame rate; the scan calls `idle`
// every few GOPs. `formats` decides which files are taken (DetectFormat).
TimeCode GetMediaDuration(const std::string& fileName, AbortFlag* abort,
                          ProgressIndicator* progress, double fps, FormatOptions formats = {},
                          const IdleCallback& idle = {});

// The duration that the durations list shows for a file under a TV system: GetMediaDuration at
// that system's rate for audio files; for video files the member of the file's duration pair for
// the system.
TimeCode MediaDurationForSystem(const std::string& fileName, TvSystem system, AbortFlag* abort,
                                ProgressIndicator* progress, FormatOptions formats = {},
                                const IdleCallback& idle = {});

// Samples and sample rate of an audio file as the durations count them.
struct AudioSamples {
    std::uint64_t samples = 0;
    std::uint32_t sampleRate = 0;  // never 0
};
// None for a file that is not audio of a known kind or cannot give a duration (no sample rate, a
// frame length of 0, no channels or bits, no "data" chunk, a read error).
std::optional<AudioSamples> ReadAudioSamples(const std::string& fileName, MediaKind kind);

}  // namespace varnix
