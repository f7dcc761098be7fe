// OGM chapter text (CHAPTER01=00:00:00.000, CHAPTER01NAME=...) and ffmpeg's FFMETADATA.

#include <map>

#include "parsers.h"

namespace varnix::chapter_parsers {

ChapterReadResult ParseOgm(const std::vector<TextLine>& lines, const std::string& source) {
    ChapterList list;
    list.format = ChapterFormat::Ogm;
    std::map<std::int64_t, std::size_t> chapterOfNumber;
    for (const auto& line : lines) {
        const std::string_view text = Trim(line.text);
        if (text.empty()) {
            continue;
        }
        const auto equals = text.find('=');
        std::string_view key = text.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : Trim(text.substr(equals + 1));
        const bool isName = key.size() > 4 && StartsWithNoCase(key.substr(key.size() - 4), "NAME");
        if (isName) {
            key.remove_suffix(4);
        }
        const auto number = StartsWithNoCase(key, "CHAPTER") ? ParseWholeNumber(key.substr(7))
                                                             : std::optional<std::int64_t>();
        if (equals == std::string_view::npos || !number) {
            return ChapterReadResult::Failed(
                source, line.number, "expected CHAPTERnn=HH:MM:SS.fff or CHAPTERnnNAME=name");
        }
        const auto found = chapterOfNumber.find(*number);
        if (isName) {
            if (found == chapterOfNumber.end()) {
                return ChapterReadResult::Failed(
                    source, line.number,
                    std::string(key) + "NAME before " + std::string(key) + "=");
            }
            list.chapters[found->second].name = CleanName(value);
            continue;
        }
        if (found != chapterOfNumber.end()) {
            return ChapterReadResult::Failed(source, line.number,
                                             std::string(key) + " is given twice");
        }
        const auto start = ParseClockText(value, 3, 3);
        if (!start) {
            return ChapterReadResult::Failed(source, line.number,
                                             Quoted(value) + " is not a time HH:MM:SS.fff");
        }
        chapterOfNumber[*number] = list.chapters.size();
        list.chapters.push_back({*start, {}, {}, line.number});
    }
    return CheckedChapterList(std::move(list), source);
}

namespace {

// One [CHAPTER] section as read so far.
struct FfChapter {
    int line = 0;
    std::int64_t timeBaseNum = 1;
    std::int64_t timeBaseDen = 1'000'000'000;  // ffmpeg's default: nanoseconds
    std::optional<std::int64_t> start;
    std::optional<std::int64_t> end;
    std::string title;
};

// A value with ffmpeg's escapes (a backslash before '=', ';', '#', '\' or a line end) undone.
std::string Unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

// value x num / den seconds, checked.
std::optional<ChapterTime> TimeInBase(std::int64_t value, const FfChapter& c) {
    if (value != 0 && c.timeBaseNum > INT64_MAX / value) {
        return kBeyondChapterTimes;
    }
    return TimeFromFraction(value * c.timeBaseNum, c.timeBaseDen);
}

}  // namespace

ChapterReadResult ParseFfMetadata(const std::vector<TextLine>& lines, const std::string& source) {
    ChapterList list;
    list.format = ChapterFormat::FfMetadata;
    std::optional<FfChapter> current;
    std::optional<ChapterReadResult> failure;

    auto finish = [&]() {
        if (!current) {
            return;
        }
        if (!current->start) {
            failure = ChapterReadResult::Failed(source, current->line, "[CHAPTER] without START=");
            return;
        }
        Chapter chapter;
        chapter.start = *TimeInBase(*current->start, *current);
        if (current->end) {
            chapter.end = *TimeInBase(*current->end, *current);
        }
        chapter.name = CleanName(current->title);
        chapter.line = current->line;
        list.chapters.push_back(std::move(chapter));
        current.reset();
    };

    std::string pending;  // a line whose end was escaped goes on in the next one
    int pendingLine = 0;
    for (const auto& line : lines) {
        if (pending.empty()) {
            pendingLine = line.number;
        }
        pending += line.text;
        std::size_t backslashes = 0;
        while (backslashes < pending.size() && pending[pending.size() - 1 - backslashes] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 == 1) {
            pending.back() = '\n';
            continue;
        }
        std::string text;
        text.swap(pending);
        if (text.empty() || text[0] == ';' || text[0] == '#') {  // ;FFMETADATA1 too
            continue;
        }
        if (text[0] == '[') {
            finish();
            if (failure) {
                return *failure;
            }
            if (text == "[CHAPTER]") {
                current = FfChapter{};
                current->line = pendingLine;
            }
            continue;
        }
        if (!current) {
            continue;  // global or stream metadata
        }
        const auto equals = text.find('=');
        const std::string key = text.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
        if (key == "TIMEBASE") {
            const auto slash = value.find('/');
            const auto num = ParseWholeNumber(std::string_view(value).substr(0, slash));
            const auto den = slash == std::string::npos
                                 ? std::optional<std::int64_t>()
                                 : ParseWholeNumber(std::string_view(value).substr(slash + 1));
            if (!num || !den || *num == 0 || *den == 0) {
                return ChapterReadResult::Failed(source, pendingLine,
                                                 "TIMEBASE=" + value + " is not a time base n/d");
            }
            current->timeBaseNum = *num;
            current->timeBaseDen = *den;
        } else if (key == "START" || key == "END") {
            const auto number = ParseWholeNumber(value);
            if (!number) {
                return ChapterReadResult::Failed(source, pendingLine,
                                                 key + "=" + value + " is not a time stamp");
            }
            (key == "START" ? current->start : current->end) = number;
        } else if (key == "title") {
            current->title = Unescaped(value);
        }
    }
    finish();
    if (failure) {
        return *failure;
    }
    return CheckedChapterList(std::move(list), source);
}

}  // namespace varnix::chapter_parsers
