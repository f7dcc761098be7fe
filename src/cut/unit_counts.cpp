#include "cut/unit_counts.h"

#include "formats/ac3.h"

namespace varnix {

std::int64_t AC3FramesForDuration(unsigned fscod, TimeCode duration, double fps) {
    const std::int64_t s = SamplesForDuration(duration, AC3SampleRate(fscod), fps);
    // Integer rounding with ties to even keeps every count exact, also beyond 2^53 samples.
    const std::int64_t frames = s / kAC3SamplesPerFrame;
    const std::int64_t rest = s % kAC3SamplesPerFrame;
    if (2 * rest > static_cast<std::int64_t>(kAC3SamplesPerFrame) ||
        (2 * rest == static_cast<std::int64_t>(kAC3SamplesPerFrame) && frames % 2 != 0)) {
        return frames + 1;
    }
    return frames;
}

std::int64_t DTSFramesForDuration(TimeCode duration, std::uint32_t samplesPerFrame,
                                  std::uint32_t sampleRate, double fps) {
    if (samplesPerFrame == 0) {
        return 0;
    }
    const std::int64_t s = SamplesForDuration(duration, sampleRate, fps);
    return s / samplesPerFrame + (s % samplesPerFrame != 0 ? 1 : 0);
}

std::int64_t WAVSamplesForDuration(TimeCode duration, std::uint32_t sampleRate, double fps) {
    return SamplesForDuration(duration, sampleRate, fps);
}

std::int64_t MPASamplesForDuration(TimeCode duration, std::uint32_t sampleRate, double fps) {
    return SamplesForDuration(duration, sampleRate, fps);
}

}  // namespace varnix
