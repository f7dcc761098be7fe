#include "probe/report_text.h"

#include <cstdio>

#include "core/timecode.h"

namespace varnix {

namespace {

constexpr const char* kLineEnd = "\r\n";

const char* ReportTitle(MediaKind kind) {
    switch (kind) {
        case MediaKind::AC3:
            return "Audio AC3 Information:";
        case MediaKind::DTS:
            return "Audio DTS Information:";
        case MediaKind::MPA:
            return "Audio MPA Information: ";
        case MediaKind::WAV:
            return "Audio WAV Information: ";
        default:
            return "Video MPG Information:";
    }
}

}  // namespace

std::string GeneralDecimalText(double value, char decimalSeparator) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return text;
}

std::string InfoValueText(const InfoValue& value, char decimalSeparator) {
    struct Visitor {
        char separator;
        std::string operator()(bool flag) const { return BoolToText(flag, 1); }
        std::string operator()(std::uint64_t number) const { return std::to_string(number); }
        std::string operator()(double number) const {
            return GeneralDecimalText(number, separator);
        }
        std::string operator()(const std::string& text) const { return text; }
        std::string operator()(const RatedTimeCode& time) const {
            return TimeCodeRateText(time.time, time.fps);
        }
    };
    return std::visit(Visitor{decimalSeparator}, value);
}

std::string ReportText(const MediaInformation& info, char decimalSeparator) {
    const bool video = IsVideoKind(info.kind);
    std::string text = std::string(ReportTitle(info.kind)) + kLineEnd + kLineEnd +
                       "File name: " + TailText(info.fileName, video ? 25 : 38);
    for (const InfoField& field : info.fields) {
        if (field.placement == InfoPlacement::AfterEmptyLine) {
            text += kLineEnd;
        }
        if (field.placement != InfoPlacement::SameLine) {
            text += kLineEnd;
        }
        text += field.label + InfoValueText(field.value, decimalSeparator) + field.suffix;
    }
    text += kLineEnd;
    if (video && info.find("duration") == nullptr) {
        text += kLineEnd;
    }
    return text;
}

}  // namespace varnix
