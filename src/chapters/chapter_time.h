#pragma once
// Exact chapter times. Chapter lists count time in nanoseconds, milliseconds, CUE frames of
// 1/75 s, PAL frames of 1/25 s, NTSC frames of 1001/30000 s, or any time base an FFMETADATA
// file names. A tick of 1/441,000,000,000 s holds all of these exactly (and the sample periods
// of 32, 44.1, 48, 88.2, 96 and 192 kHz), so times are whole numbers of ticks: adding,
// comparing and rounding them to video frames is exact, and 99 hours still fit 64 bits.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnix {

// The TV system whose frames a duration counts.
enum class TvSystem { Pal, Ntsc };

struct ChapterTime {
    static constexpr std::int64_t kTicksPerSecond = 441'000'000'000;
    // PAL: 1/25 s; NTSC time-code frames: 1001/30000 s.
    static constexpr std::int64_t kPalFrameTicks = kTicksPerSecond / 25;
    static constexpr std::int64_t kNtscFrameTicks = kTicksPerSecond / 30000 * 1001;

    std::int64_t ticks = 0;

    friend constexpr auto operator<=>(const ChapterTime&, const ChapterTime&) = default;
};

// The latest time a chapter list may give: 99 hours.
constexpr ChapterTime kLatestChapterTime{99LL * 3600 * ChapterTime::kTicksPerSecond};
// What a time beyond that saturates to while it is read (it is refused afterwards).
constexpr ChapterTime kBeyondChapterTimes{kLatestChapterTime.ticks + 1};

// num/den seconds (num >= 0, den > 0) as ticks: exact when den divides the ticks per second,
// otherwise the nearest tick. A time beyond 99 hours gives kBeyondChapterTimes; nothing for a
// negative time or a denominator of 0 or less.
std::optional<ChapterTime> TimeFromFraction(std::int64_t num, std::int64_t den);
// Frames of a system at their start: frames x frame length.
ChapterTime TimeOfFrames(std::int64_t frames, TvSystem system);
// The frame of a system nearest to a time, round(t x rate) with ties to even.
std::int64_t FramesAt(ChapterTime time, TvSystem system);
// a + b, saturating at kBeyondChapterTimes.
ChapterTime AddTimes(ChapterTime a, ChapterTime b);

// A clock text "[[H:]M:]S[.fraction]": `fields` colon-separated fields at most (at least
// `minFields`), the first of any size, every later one below 60, and up to nine decimals on the
// seconds. Nothing when the text is not one.
std::optional<ChapterTime> ParseClockText(std::string_view text, int minFields, int maxFields);
// A whole number of decimal digits (at most 18); nothing when the text is not one.
std::optional<std::int64_t> ParseWholeNumber(std::string_view text);

// HH:MM:SS.mmm (milliseconds rounded down), for messages.
std::string ChapterTimeText(ChapterTime time);

}  // namespace varnix
