#pragma once
// How many units of each audio format one video duration spans: AC3 frames, DTS frames, WAV
// sample frames and MPEG audio samples. Each count is computed from its own duration alone, so
// rounding errors are not carried from one piece to the next.
//
// Samples of a duration = frames x samples per video frame (truncated), stretched by 1000/999 in
// NTSC, where a time-code second lasts 1.001 real seconds.

#include <cstdint>

#include "core/timecode.h"

namespace varnix {

// round(samples / 1536), ties to even. fscod 3 counts at 48 kHz, as its sample rate does.
std::int64_t AC3FramesForDuration(unsigned fscod, TimeCode duration, double fps);
// samples / samplesPerFrame, rounded up: a part frame goes into the piece. 0 when the frame holds
// no samples.
std::int64_t DTSFramesForDuration(TimeCode duration, std::uint32_t samplesPerFrame,
                                  std::uint32_t sampleRate, double fps);
std::int64_t WAVSamplesForDuration(TimeCode duration, std::uint32_t sampleRate, double fps);
std::int64_t MPASamplesForDuration(TimeCode duration, std::uint32_t sampleRate, double fps);

}  // namespace varnix
