#include "chapters/chapter_time.h"

#include <limits>

namespace varnix {

namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

// a x b for non-negative values, or nothing when it does not fit.
std::optional<std::int64_t> CheckedProduct(std::int64_t a, std::int64_t b) {
    if (a != 0 && b > kInt64Max / a) {
        return std::nullopt;
    }
    return a * b;
}

ChapterTime Saturated(std::optional<std::int64_t> ticks) {
    if (!ticks || *ticks > kLatestChapterTime.ticks) {
        return kBeyondChapterTimes;
    }
    return ChapterTime{*ticks};
}

// round(n / d) with ties to even, for n >= 0 and d > 0.
std::int64_t DivideRoundingEven(std::int64_t n, std::int64_t d) {
    const std::int64_t q = n / d;
    const std::int64_t twiceRest = (n % d) * 2;  // below 2d, and d stays far below 2^62 here
    if (twiceRest > d || (twiceRest == d && q % 2 != 0)) {
        return q + 1;
    }
    return q;
}

std::int64_t FrameTicks(TvSystem system) {
    return system == TvSystem::Pal ? ChapterTime::kPalFrameTicks : ChapterTime::kNtscFrameTicks;
}

bool IsDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<ChapterTime> TimeFromFraction(std::int64_t num, std::int64_t den) {
    if (num < 0 || den <= 0) {
        return std::nullopt;
    }
    const std::int64_t whole = num / den;
    const std::int64_t rest = num % den;
    const auto wholeTicks = CheckedProduct(whole, ChapterTime::kTicksPerSecond);
    if (!wholeTicks || *wholeTicks > kLatestChapterTime.ticks) {
        return kBeyondChapterTimes;
    }
    std::int64_t restTicks = 0;
    if (ChapterTime::kTicksPerSecond % den == 0) {
        restTicks = rest * (ChapterTime::kTicksPerSecond / den);
    } else {
        // A time base that no tick counts exactly: the nearest tick (far below a nanosecond).
        const long double exact = static_cast<long double>(rest) *
                                  static_cast<long double>(ChapterTime::kTicksPerSecond) /
                                  static_cast<long double>(den);
        restTicks = static_cast<std::int64_t>(exact + 0.5L);
    }
    return Saturated(*wholeTicks + restTicks);
}

ChapterTime TimeOfFrames(std::int64_t frames, TvSystem system) {
    if (frames < 0) {
        return ChapterTime{};
    }
    return Saturated(CheckedProduct(frames, FrameTicks(system)));
}

std::int64_t FramesAt(ChapterTime time, TvSystem system) {
    return DivideRoundingEven(time.ticks < 0 ? 0 : time.ticks, FrameTicks(system));
}

ChapterTime AddTimes(ChapterTime a, ChapterTime b) {
    // Both are at most kBeyondChapterTimes, so the sum cannot overflow.
    return Saturated(a.ticks + b.ticks);
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
    if (!IsDigits(text) || text.size() > 18) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<ChapterTime> ParseClockText(std::string_view text, int minFields, int maxFields) {
    // The decimals belong to the seconds, the last field.
    std::string_view decimals;
    const auto dot = text.find('.');
    if (dot != std::string_view::npos) {
        decimals = text.substr(dot + 1);
        text = text.substr(0, dot);
        if (decimals.size() > 9 || !IsDigits(decimals)) {
            return std::nullopt;
        }
    }
    std::int64_t seconds = 0;
    int fields = 0;
    while (true) {
        const auto colon = text.find(':');
        const std::string_view field = text.substr(0, colon);
        // The first field may be large (minutes of a CUE sheet, seconds of a label); later
        // ones are one or two digits below 60.
        const auto value = ParseWholeNumber(field.size() > 9 ? std::string_view() : field);
        if (!value || (fields > 0 && (field.size() > 2 || *value >= 60))) {
            return std::nullopt;
        }
        seconds = seconds * 60 + *value;
        ++fields;
        if (colon == std::string_view::npos) {
            break;
        }
        text = text.substr(colon + 1);
        if (fields >= maxFields) {
            return std::nullopt;
        }
    }
    if (fields < minFields) {
        return std::nullopt;
    }
    std::int64_t nanos = 0;
    for (std::size_t i = 0; i < 9; ++i) {
        nanos = nanos * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
    }
    const auto whole = TimeFromFraction(seconds, 1);
    const auto fraction = TimeFromFraction(nanos, 1'000'000'000);
    return AddTimes(*whole, *fraction);
}

std::string ChapterTimeText(ChapterTime time) {
    const std::int64_t ms = time.ticks / (ChapterTime::kTicksPerSecond / 1000);
    const std::int64_t s = ms / 1000;
    auto two = [](std::int64_t v) {
        std::string digits = std::to_string(v);
        return digits.size() < 2 ? '0' + digits : digits;
    };
    std::string fraction = std::to_string(ms % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return two(s / 3600) + ":" + two(s / 60 % 60) + ":" + two(s % 60) + "." + fraction;
}

}  // namespace varnix
