#include "ui/duration_rules.h"

#include <cctype>

namespace varnix {

std::uint8_t DialogFieldValue(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])) != 0) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])) != 0) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == '-' || text[begin] == '+')) {
        negative = text[begin] == '-';
        ++begin;
    }
    if (begin == end) {
        return 0;
    }
    std::uint32_t value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i])) == 0) {
            return 0;
        }
        // Only the low eight bits are kept, so the running value may wrap.
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::uint8_t>(value & 0xFF);
}

TimeCode GetDialogDuration(const DurationFields& fields) {
    return TimeCode{DialogFieldValue(fields[0]), DialogFieldValue(fields[1]),
                    DialogFieldValue(fields[2]), DialogFieldValue(fields[3])};
}

DurationFields SetDialogDuration(TimeCode tc) {
    return {std::to_string(tc.hours), std::to_string(tc.minutes), std::to_string(tc.seconds),
            std::to_string(tc.frames)};
}

}  // namespace varnix
