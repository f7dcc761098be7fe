#include "cut/durations.h"

#include <algorithm>
#include <regex>

#include "probe/detect.h"
#include "probe/media_duration.h"

namespace varnix {

TimeCode ClampDuration(TimeCode typed, int systemRate) {
    TimeCode tc = typed;
    const int maxFrames = std::max(systemRate - 1, 0);
    tc.frames = static_cast<std::uint8_t>(std::min<int>(tc.frames, maxFrames));
    tc.seconds = std::min<std::uint8_t>(tc.seconds, 59);
    tc.minutes = std::min<std::uint8_t>(tc.minutes, 59);
    tc.hours = std::min<std::uint8_t>(tc.hours, 24);
    if (tc.Word() == 0) {
        tc.frames = 1;
    }
    return tc;
}

DurationPair TypedDurationPair(TimeCode typed, int systemRate) {
    const TimeCode value = ClampDuration(typed, systemRate);
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

std::optional<DurationPair> AudioDurationPair(const std::string& fileName) {
    if (IsVideoKind(DetectFormat(fileName))) {
        return std::nullopt;
    }
    const TimeCode pal = GetMediaDuration(fileName, nullptr, nullptr, 25.0);
    const TimeCode ntsc = GetMediaDuration(fileName, nullptr, nullptr, 30.0);
    if (pal.IsNone() || ntsc.IsNone()) {
        return std::nullopt;
    }
    return DurationPair{pal, ntsc};
}

TimeCode DurationsTotal(const std::vector<DurationRow>& rows, int systemRate) {
    const double fps = SystemFps(systemRate);
    std::int64_t frames = 0;
    for (const auto& row : rows) {
        if (row) {
            frames += TimeCodeToFrames(row->forSystem(systemRate), fps);
        }
    }
    return FramesToTimeCode(frames, fps);
}

std::string TotalTimeText(const std::vector<DurationRow>& rows, int systemRate) {
    return "   Total time: " + TimeCodeSystemText(DurationsTotal(rows, systemRate), systemRate);
}

}  // namespace varnix
