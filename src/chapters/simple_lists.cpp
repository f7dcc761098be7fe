// Line-by-line chapter lists: celltimes, SMPTE time codes, Audacity labels and dvdauthor's
// comma-separated chapter times.

#include "parsers.h"

namespace varnix::chapter_parsers {

namespace {

// Splits off the first field up to a tab (or up to white space when `tabsOnly` is false).
std::string_view NextField(std::string_view& rest, bool tabsOnly) {
    const auto end = rest.find_first_of(tabsOnly ? "\t" : " \t");
    const std::string_view field = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return field;
}

// A SMPTE time code: HH:MM:SS:FF counts frames of the system (non-drop); HH:MM:SS;FF counts
// NTSC drop-frame time code, whose frame numbers 0 and 1 are skipped at the start of every
// minute except each tenth.
std::optional<ChapterTime> ParseSmpte(std::string_view text, TvSystem system, std::string& why) {
    const auto last = text.find_last_of(":;");
    if (last == std::string_view::npos || last + 1 >= text.size()) {
        why = "not a time code HH:MM:SS:FF or HH:MM:SS;FF";
        return std::nullopt;
    }
    const bool dropFrame = text[last] == ';';
    const auto clock = ParseClockText(text.substr(0, last), 3, 3);
    const auto frame = ParseWholeNumber(text.substr(last + 1));
    if (!clock || !frame || text.size() - last - 1 > 2 ||
        text.find('.') != std::string_view::npos) {
        why = "not a time code HH:MM:SS:FF or HH:MM:SS;FF";
        return std::nullopt;
    }
    const int rate = dropFrame || system == TvSystem::Ntsc ? 30 : 25;
    if (*frame >= rate) {
        why = "frame " + std::to_string(*frame) + " of a time code at " + std::to_string(rate) +
              " frames a second";
        return std::nullopt;
    }
    if (*clock > kLatestChapterTime) {
        return kBeyondChapterTimes;
    }
    const std::int64_t seconds = clock->ticks / ChapterTime::kTicksPerSecond;
    std::int64_t frames = seconds * rate + *frame;
    if (dropFrame) {
        const std::int64_t minutes = seconds / 60;
        if (seconds % 60 == 0 && *frame < 2 && minutes % 10 != 0) {
            why = "a drop-frame time code skips frames 0 and 1 of this minute";
            return std::nullopt;
        }
        frames -= 2 * (minutes - minutes / 10);
    }
    return TimeOfFrames(frames, dropFrame ? TvSystem::Ntsc : system);
}

}  // namespace

ChapterReadResult ParseCelltimes(const std::vector<TextLine>& lines, const std::string& source,
                                 TvSystem system) {
    ChapterList list;
    list.format = ChapterFormat::Celltimes;
    for (const auto& line : lines) {
        const std::string_view text = Trim(line.text);
        if (text.empty()) {
            continue;
        }
        const auto frame = ParseWholeNumber(text);
        if (!frame) {
            return ChapterReadResult::Failed(source, line.number,
                                             Quoted(text) + " is not a frame number");
        }
        list.chapters.push_back({TimeOfFrames(*frame, system), {}, {}, line.number});
    }
    return CheckedChapterList(std::move(list), source);
}

ChapterReadResult ParseSmpteList(const std::vector<TextLine>& lines, const std::string& source,
                                 TvSystem system) {
    ChapterList list;
    list.format = ChapterFormat::SmpteList;
    for (const auto& line : lines) {
        std::string_view rest = Trim(line.text);
        if (rest.empty()) {
            continue;
        }
        const std::string_view code = NextField(rest, false);
        std::string why;
        const auto time = ParseSmpte(code, system, why);
        if (!time) {
            return ChapterReadResult::Failed(source, line.number, Quoted(code) + ": " + why);
        }
        list.chapters.push_back({*time, CleanName(rest), {}, line.number});
    }
    return CheckedChapterList(std::move(list), source);
}

ChapterReadResult ParseAudacityLabels(const std::vector<TextLine>& lines,
                                      const std::string& source) {
    ChapterList list;
    list.format = ChapterFormat::AudacityLabels;
    for (const auto& line : lines) {
        // A line starting with a backslash holds the frequencies of the label above.
        if (Trim(line.text).empty() || line.text.front() == '\\') {
            continue;
        }
        std::string_view rest = line.text;
        const std::string_view startText = Trim(NextField(rest, true));
        const std::string_view endText = Trim(NextField(rest, true));
        const auto start = ParseClockText(startText, 1, 1);
        const auto end = ParseClockText(endText, 1, 1);
        if (!start || !end) {
            return ChapterReadResult::Failed(
                source, line.number,
                Quoted(start ? endText : startText) +
                    " is not a time in seconds (a label line is START<TAB>END<TAB>LABEL)");
        }
        list.chapters.push_back({*start, CleanName(rest), *end, line.number});
    }
    return CheckedChapterList(std::move(list), source);
}

bool ParseDvdauthorTimes(std::string_view text, int line, std::vector<Chapter>& out,
                         std::string& problem) {
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        const auto time = ParseClockText(item, 1, 3);
        if (!time) {
            problem = Quoted(item) + " is not a chapter time ([[H:]M:]S[.fraction])";
            return false;
        }
        out.push_back({*time, {}, {}, line});
        if (comma == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(comma + 1);
    }
}

ChapterReadResult ParseDvdauthorList(const std::vector<TextLine>& lines,
                                     const std::string& source) {
    ChapterList list;
    list.format = ChapterFormat::DvdauthorList;
    for (const auto& line : lines) {
        std::string_view text = Trim(line.text);
        if (!text.empty() && text.back() == ',') {
            text.remove_suffix(1);  // a list broken after a comma goes on in the next line
        }
        std::string problem;
        if (!text.empty() && !ParseDvdauthorTimes(text, line.number, list.chapters, problem)) {
            return ChapterReadResult::Failed(source, line.number, problem);
        }
    }
    return CheckedChapterList(std::move(list), source);
}

}  // namespace varnix::chapter_parsers
