#include "cut/durations.h"

#include <algorithm>
#include <regex>

namespace varnix {

TimeCode ClampDuration(TimeCode typed, TvSystem system) {
    TimeCode tc = typed;
    const int maxFrames = SystemFrameRate(system) - 1;
    tc.frames = static_cast<std::uint8_t>(std::min<int>(tc.frames, maxFrames));
    tc.seconds = std::min<std::uint8_t>(tc.seconds, 59);
    tc.minutes = std::min<std::uint8_t>(tc.minutes, 59);
    tc.hours = std::min<std::uint8_t>(tc.hours, 24);
    if (tc.Word() == 0) {
        tc.frames = 1;
    }
    return tc;
}

DurationPair TypedDurationPair(TimeCode typed, TvSystem system) {
    const TimeCode value = ClampDuration(typed, system);
    TimeCode pal = value;
    pal.frames = std::min<std::uint8_t>(pal.frames, 24);
    return DurationPair{pal, value};
}

std::optional<TimeCode> ParseTimeCodeText(const std::string& text) {
    static const std::regex pattern(R"(^(\d{1,2}):(\d{1,2}):(\d{1,2})[.:](\d{1,2})$)");
    std::smatch m;
    if (!std::regex_match(text, m, pattern)) {
        return std::nullopt;
    }
    return MakeTimeCode(std::stoi(m[1].str()), std::stoi(m[2].str()), std::stoi(m[3].str()),
                        std::stoi(m[4].str()));
}

}  // namespace varnix
