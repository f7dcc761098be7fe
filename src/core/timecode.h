#pragma once
// Packed video time codes (hours, minutes, seconds, frames), the PAL and NTSC frame rates that
// give them meaning, the arithmetic between time codes, frame counts and sample counts, and
// their text forms.
//
// Rounding is to nearest with ties to even everywhere (std::nearbyint in the default mode).
// An NTSC time-code second counts 30 frames and lasts 1.001 real seconds.

#include <cstdint>
#include <string>

namespace varnix {

// Four unsigned bytes packed into one 32-bit word, hours in the lowest byte. The word with all
// bytes 255 (-1) means "no duration". A time code carries no system: where it is stored tells.
struct TimeCode {
    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t frames = 0;

    static constexpr TimeCode FromWord(std::uint32_t word) {
        return TimeCode{static_cast<std::uint8_t>(word & 0xFF),
                        static_cast<std::uint8_t>((word >> 8) & 0xFF),
                        static_cast<std::uint8_t>((word >> 16) & 0xFF),
                        static_cast<std::uint8_t>((word >> 24) & 0xFF)};
    }
    constexpr std::uint32_t Word() const {
        return static_cast<std::uint32_t>(hours) | (static_cast<std::uint32_t>(minutes) << 8) |
               (static_cast<std::uint32_t>(seconds) << 16) |
               (static_cast<std::uint32_t>(frames) << 24);
    }
    // The "no duration" value (-1).
    static constexpr TimeCode None() { return FromWord(0xFFFFFFFFu); }
    constexpr bool IsNone() const { return Word() == 0xFFFFFFFFu; }

    friend constexpr bool operator==(const TimeCode&, const TimeCode&) = default;
};

constexpr TimeCode MakeTimeCode(int hours, int minutes, int seconds, int frames) {
    return TimeCode{static_cast<std::uint8_t>(hours), static_cast<std::uint8_t>(minutes),
                    static_cast<std::uint8_t>(seconds), static_cast<std::uint8_t>(frames)};
}

// The TV system of the durations: PAL time codes count 25 frames a second, NTSC time codes 30
// (an NTSC time-code second lasts 1.001 real seconds).
enum class TvSystem { Pal, Ntsc };

// The frames a second of a system's time codes, 25 or 30: every frame rate of a system comes
// from here.
constexpr int SystemFrameRate(TvSystem system) {
    return system == TvSystem::Pal ? 25 : 30;
}
// The frame rate that arithmetic uses for a system: 25.0 or 30.0.
constexpr double SystemFps(TvSystem system) {
    return SystemFrameRate(system);
}

// The real NTSC frame rate, an extended-precision constant.
constexpr long double kNTSCRealFps = 29.97L;

// Round half to even, as every conversion from floating point to integer here.
std::int64_t RoundEven(long double value);

std::int64_t TimeCodeToFrames(TimeCode tc, double fps);
TimeCode FramesToTimeCode(std::int64_t frames, double fps);
void IncTimeCode(TimeCode& tc, double fps);
void DecTimeCode(TimeCode& tc, double fps);
TimeCode AddTimeCodes(TimeCode a, TimeCode b, double fps);

// The number of the last frame that `count` units at `unitsPerSecond` reach (PAL frames, NTSC
// time-code frames, or real-time frames of 1/29.97 s for the drop-frame clock); -1 or less when
// the count reaches no frame. fps other than 25.0 and ~30 gives 0.
std::int64_t CountToLastFrame(bool dropFrame, double fps, double unitsPerSecond,
                              std::int64_t count);
// The time code of the last frame reached; 00:00:00.00 when no frame is reached.
TimeCode CountToTimeCode(bool dropFrame, double fps, double unitsPerSecond, std::int64_t count);
TimeCode SamplesToTimeCode(std::int32_t sampleRate, double fps, std::int64_t count);
// The play time of `count` units: the last frame plus one. A count that reaches no frame lasts
// 00:00:00.00; a rate of 0 or less gives no duration (TimeCode::None()).
TimeCode CountToDuration(bool dropFrame, double fps, double unitsPerSecond, std::int64_t count);

TimeCode NTSCToPALTimeCode(TimeCode tc);
TimeCode PALToNTSCTimeCode(TimeCode tc);

// Samples per video frame, truncated: (rate x 100) div round(fps x 100).
std::int64_t SamplesPerVideoFrame(std::int64_t sampleRate, double fps);
// The NTSC stretch: round(samples x 1000 / 999), computed exactly.
std::int64_t NTSCStretch(std::int64_t samples);
// Samples of one duration: frames x samples per frame, stretched when round(fps) is 30.
std::int64_t SamplesForDuration(TimeCode duration, std::int64_t sampleRate, double fps);

std::string TimeCodeToText(TimeCode tc);
// HH:MM:SS.FF followed by " (PAL)" or " (NTSC)".
std::string TimeCodeSystemText(TimeCode tc, TvSystem system);
std::string TimeCodeRateText(TimeCode tc, double fps);

std::string PadNumber(std::int64_t value, int minimumWidth);
// The digits that numbers 1..count are padded to when they name things in order (rows of the
// durations list, pieces): 4 from 1000, 3 from 100, 2 from 10, else 1.
int NumberingWidth(std::int64_t count);
std::string BoolToText(bool value, int style);
std::string TailText(const std::string& text, std::size_t n);
void SwapBytes32(std::uint8_t* bytes);

}  // namespace varnix
