// CUE sheets: each TRACK is a chapter that starts at its INDEX 01 (minutes:seconds:frames, 75
// frames a second, minutes above 59 allowed) and is named by its TITLE. INDEX times count from
// the start of their FILE; several FILE blocks are put on one time line by the lengths of the
// files (see ChainSegments).

#include <utility>

#include "parsers.h"

namespace varnix::chapter_parsers {

namespace {

// The next word of a line, or the text between double quotes.
std::string_view NextToken(std::string_view& rest) {
    rest = Trim(rest);
    std::string_view token;
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        token = rest.substr(1, close == std::string_view::npos ? close : close - 1);
        rest = close == std::string_view::npos ? std::string_view() : rest.substr(close + 1);
    } else {
        const auto end = rest.find_first_of(" \t");
        token = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    return token;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

// mm:ss:ff at 75 frames a second.
std::optional<ChapterTime> ParseCueTime(std::string_view text, std::string& why) {
    const auto last = text.rfind(':');
    const auto frame = last == std::string_view::npos ? std::optional<std::int64_t>()
                                                      : ParseWholeNumber(text.substr(last + 1));
    const auto clock =
        frame && text.size() - last - 1 <= 2 && text.find('.') == std::string_view::npos
            ? ParseClockText(text.substr(0, last), 2, 2)
            : std::optional<ChapterTime>();
    if (!clock) {
        why = Quoted(text) + " is not a CUE time mm:ss:ff";
        return std::nullopt;
    }
    if (*frame >= 75) {
        why = "frame " + std::to_string(*frame) + " in " + Quoted(text) +
              ": a CUE sheet counts 75 frames a second (0 to 74)";
        return std::nullopt;
    }
    return AddTimes(*clock, *TimeFromFraction(*frame, 75));
}

}  // namespace

ChapterReadResult ParseCueSheet(const std::vector<TextLine>& lines, const std::string& source,
                                const ChapterReadOptions& options) {
    std::vector<ChapterSegment> segments;
    // The track being read: its line, its TITLE, and where its chapter went once INDEX 01 came
    // (which FILE, which chapter of it).
    struct Track {
        int line = 0;
        std::string number;
        std::string title;
        std::optional<std::pair<std::size_t, std::size_t>> chapter;
    };
    auto chapterOf = [&segments](const Track& t) -> Chapter& {
        return segments[t.chapter->first].chapters[t.chapter->second];
    };
    std::optional<Track> track;
    auto trackWithoutStart = [&]() {
        return ChapterReadResult::Failed(source, track->line,
                                         "TRACK " + track->number + " has no INDEX 01");
    };

    for (const auto& line : lines) {
        std::string_view rest = line.text;
        const std::string command = Upper(NextToken(rest));
        if (command.empty() || command == "REM") {
            continue;
        }
        if (command == "FILE") {
            const std::string_view name = NextToken(rest);
            if (name.empty()) {
                return ChapterReadResult::Failed(source, line.number, "FILE without a file name");
            }
            segments.push_back({std::string(name), line.number, {}});
        } else if (command == "TRACK") {
            if (segments.empty()) {
                return ChapterReadResult::Failed(source, line.number, "TRACK before any FILE");
            }
            if (track && !track->chapter) {
                return trackWithoutStart();
            }
            track = Track{line.number, std::string(NextToken(rest)), {}, std::nullopt};
        } else if (command == "INDEX") {
            const std::string_view number = NextToken(rest);
            std::string why;
            const auto time = ParseCueTime(NextToken(rest), why);
            if (!track) {
                return ChapterReadResult::Failed(source, line.number, "INDEX before any TRACK");
            }
            if (!time) {
                return ChapterReadResult::Failed(source, line.number, why);
            }
            if (ParseWholeNumber(number) == 1) {
                if (track->chapter) {
                    return ChapterReadResult::Failed(source, line.number,
                                                     "a second INDEX 01 in TRACK " + track->number);
                }
                auto& chapters = segments.back().chapters;
                chapters.push_back({*time, CleanName(track->title), {}, line.number});
                track->chapter = std::make_pair(segments.size() - 1, chapters.size() - 1);
            }
        } else if (command == "TITLE") {
            if (track) {
                track->title = std::string(NextToken(rest));
                if (track->chapter) {
                    chapterOf(*track).name = CleanName(track->title);
                }
            }
        } else if (command != "PERFORMER" && command != "SONGWRITER" && command != "FLAGS" &&
                   command != "ISRC" && command != "PREGAP" && command != "POSTGAP" &&
                   command != "CATALOG" && command != "CDTEXTFILE") {
            return ChapterReadResult::Failed(source, line.number,
                                             "unknown CUE command \"" + command + "\"");
        }
    }
    if (track && !track->chapter) {
        return trackWithoutStart();
    }
    return ChainSegments(ChapterFormat::CueSheet, segments, source, options);
}

}  // namespace varnix::chapter_parsers
