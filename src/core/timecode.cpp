#include "core/timecode.h"

#include <cmath>
#include <utility>

namespace varnix {

std::int64_t RoundEven(long double value) {
    return static_cast<std::int64_t>(std::nearbyintl(value));
}

std::int64_t TimeCodeToFrames(TimeCode tc, double fps) {
    const std::int64_t wholeSeconds = static_cast<std::int64_t>(tc.hours) * 3600 +
                                      static_cast<std::int64_t>(tc.minutes) * 60 + tc.seconds;
    const double product = static_cast<double>(wholeSeconds) * fps;
    return RoundEven(product) + tc.frames;
}

TimeCode FramesToTimeCode(std::int64_t frames, double fps) {
    if (frames < 0) {
        return TimeCode{};
    }
    const std::int64_t r = RoundEven(static_cast<double>(fps * 100.0));
    if (r <= 0) {
        return TimeCode{};
    }
    // A time code wraps after 256 hours (9216 x 100 seconds); dropping whole 256-hour spans
    // first keeps any count, even one read from a damaged cache, inside 64 bits.
    const std::int64_t t = (frames % (r * 9216)) * 100;
    std::int64_t frameField = RoundEven(static_cast<double>(t % r) / 100.0);
    std::int64_t carry = 0;
    if (frameField == RoundEven(fps)) {
        frameField = 0;
        carry = 1;
    }
    const std::int64_t secs = t / r + carry;
    TimeCode tc;
    tc.frames = static_cast<std::uint8_t>(frameField);
    tc.seconds = static_cast<std::uint8_t>(secs % 60);
    tc.minutes = static_cast<std::uint8_t>((secs / 60) % 60);
    tc.hours = static_cast<std::uint8_t>(secs / 3600);
    return tc;
}

void IncTimeCode(TimeCode& tc, double fps) {
    if (tc.frames == RoundEven(fps) - 1) {
        tc.frames = 0;
        if (tc.seconds == 59) {
            tc.seconds = 0;
            if (tc.minutes == 59) {
                tc.minutes = 0;
                tc.hours = tc.hours == 23 ? 0 : static_cast<std::uint8_t>(tc.hours + 1);
            } else {
                ++tc.minutes;
            }
        } else {
            ++tc.seconds;
        }
    } else {
        ++tc.frames;
    }
}

void DecTimeCode(TimeCode& tc, double fps) {
    if (tc.frames > 0) {
        --tc.frames;
        return;
    }
    tc.frames = static_cast<std::uint8_t>(RoundEven(fps - 1.0));
    if (tc.seconds > 0) {
        --tc.seconds;
        return;
    }
    tc.seconds = 59;
    if (tc.minutes > 0) {
        --tc.minutes;
        return;
    }
    tc.minutes = 59;
    if (tc.hours > 0) {
        --tc.hours;
    }
}

TimeCode AddTimeCodes(TimeCode a, TimeCode b, double fps) {
    const std::int64_t r = RoundEven(static_cast<double>(fps * 100.0));
    if (r <= 0) {
        return TimeCode{};
    }
    const std::int64_t f = (static_cast<std::int64_t>(a.frames) + b.frames) * 100;
    TimeCode sum;
    sum.frames = static_cast<std::uint8_t>(RoundEven(static_cast<double>(f % r) / 100.0));
    const std::int64_t c1 = f / r;
    const std::int64_t s = static_cast<std::int64_t>(a.seconds) + b.seconds + c1;
    sum.seconds = static_cast<std::uint8_t>(s % 60);
    const std::int64_t m = s / 60 + a.minutes + b.minutes;
    sum.minutes = static_cast<std::uint8_t>(m % 60);
    const std::int64_t h = m / 60 + a.hours + b.hours;
    sum.hours = static_cast<std::uint8_t>(h % 60);  // hours wrap at 60, not 24
    return sum;
}

namespace {

// One of the three clocks: the last frame reached by `c` units, counted in whole seconds W of
// `secondUnits` units and a remainder R measured in frames of `frameUnits` units.
std::int64_t LastFrame(double c, double secondUnits, double frameUnits, double framesPerSecond) {
    const double w = std::trunc(c / secondUnits);
    const double r = c - w * secondUnits;
    const std::int64_t k = RoundEven(r / frameUnits) - 1;
    return RoundEven(w * framesPerSecond) + k;
}

}  // namespace

std::int64_t CountToLastFrame(bool dropFrame, double fps, double x, std::int64_t count) {
    if (!(x > 0.0)) {
        return -1;
    }
    const double c = static_cast<double>(count);
    if (fps == 25.0) {
        const double u = x / 25.0;
        return LastFrame(c, x, u, 25.0);
    }
    if (RoundEven(fps) == 30) {
        if (!dropFrame) {
            const double xp =
                static_cast<double>(static_cast<long double>(x) * 30.0L / kNTSCRealFps);
            const double u = xp / 30.0;
            return LastFrame(c, xp, u, 30.0);
        }
        const double u = static_cast<double>(static_cast<long double>(x) / kNTSCRealFps);
        return LastFrame(c, x, u, fps);
    }
    return 0;
}

TimeCode CountToTimeCode(bool dropFrame, double fps, double x, std::int64_t count) {
    const bool knownRate = fps == 25.0 || RoundEven(fps) == 30;
    if (!knownRate) {
        return TimeCode{};
    }
    const std::int64_t n = CountToLastFrame(dropFrame, fps, x, count);
    return FramesToTimeCode(n, fps == 25.0 ? 25.0 : (dropFrame ? fps : 30.0));
}

TimeCode SamplesToTimeCode(std::int32_t sampleRate, double fps, std::int64_t count) {
    return CountToTimeCode(false, fps, static_cast<double>(sampleRate), count);
}

TimeCode CountToDuration(bool dropFrame, double fps, double x, std::int64_t count) {
    if (!(x > 0.0)) {
        return TimeCode::None();
    }
    if (CountToLastFrame(dropFrame, fps, x, count) < 0) {
        return TimeCode{};
    }
    TimeCode tc = CountToTimeCode(dropFrame, fps, x, count);
    IncTimeCode(tc, fps);
    return tc;
}

TimeCode NTSCToPALTimeCode(TimeCode tc) {
    if (tc.frames > 24) {
        tc.frames = 24;
    }
    return tc;
}

TimeCode PALToNTSCTimeCode(TimeCode tc) {
    return tc;
}

std::int64_t SamplesPerVideoFrame(std::int64_t sampleRate, double fps) {
    const std::int64_t r = RoundEven(static_cast<double>(fps * 100.0));
    return r > 0 ? sampleRate * 100 / r : 0;
}

std::int64_t NTSCStretch(std::int64_t samples) {
    // round(s x 1000/999) with ties to even; 999 is odd, so an exact tie cannot occur.
    const std::int64_t numerator = samples * 1000;
    const std::int64_t q = numerator / 999;
    const std::int64_t rem = numerator % 999;
    if (rem * 2 > 999) {
        return q + 1;
    }
    if (rem * 2 < -999) {
        return q - 1;
    }
    return q;
}

std::int64_t SamplesForDuration(TimeCode duration, std::int64_t sampleRate, double fps) {
    const std::int64_t s = TimeCodeToFrames(duration, fps) * SamplesPerVideoFrame(sampleRate, fps);
    return RoundEven(fps) == 30 ? NTSCStretch(s) : s;
}

int NumberingWidth(std::int64_t count) {
    return count >= 1000 ? 4 : count >= 100 ? 3 : count >= 10 ? 2 : 1;
}

std::string PadNumber(std::int64_t value, int minimumWidth) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < minimumWidth) {
        text.insert(0, static_cast<std::size_t>(minimumWidth) - text.size(), '0');
    }
    return text;
}

std::string TimeCodeToText(TimeCode tc) {
    return PadNumber(tc.hours, 2) + ":" + PadNumber(tc.minutes, 2) + ":" +
           PadNumber(tc.seconds, 2) + "." + PadNumber(tc.frames, 2);
}

std::string TimeCodeSystemText(TimeCode tc, TvSystem system) {
    return TimeCodeToText(tc) + (system == TvSystem::Ntsc ? " (NTSC)" : " (PAL)");
}

std::string TimeCodeRateText(TimeCode tc, double fps) {
    const char* rate = "30 fps)";
    if (std::trunc(fps) == 29.0) {
        rate = "29.97 fps)";
    } else if (fps == 25.0) {
        rate = "25 fps)";
    }
    return TimeCodeToText(tc) + " (" + rate;
}

std::string BoolToText(bool value, int style) {
    static const char* const kTrue[] = {"True", "Yes", "TRUE", "YES", "Permitted", "1"};
    static const char* const kFalse[] = {"False", "No", "FALSE", "NO", "Prohibited", "0"};
    if (style < 0 || style > 5) {
        return {};
    }
    return value ? kTrue[style] : kFalse[style];
}

std::string TailText(const std::string& text, std::size_t n) {
    if (text.size() <= n) {
        return text;
    }
    return "..." + text.substr(text.size() - n);
}

void SwapBytes32(std::uint8_t* bytes) {
    std::swap(bytes[0], bytes[3]);
    std::swap(bytes[1], bytes[2]);
}

}  // namespace varnix
