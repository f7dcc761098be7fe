// The text helpers of the chapter readers, and the chaining of several media files' chapters.

#include "core/file.h"
#include "parsers.h"

namespace varnix::chapter_parsers {

std::vector<TextLine> SplitLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<TextLine> lines;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back({line, ++number});
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(text[i]) != lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string CleanName(std::string_view text) {
    std::string name(Trim(text).substr(0, 200));
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return name;
}

ChapterReadResult ChainSegments(ChapterFormat format, const std::vector<ChapterSegment>& segments,
                                const std::string& source, const ChapterReadOptions& options) {
    // Files after the last one with chapters add nothing, so their lengths are not needed.
    std::size_t used = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!segments[i].chapters.empty()) {
            used = i + 1;
        }
    }
    ChapterList list;
    list.format = format;
    ChapterTime offset{};
    for (std::size_t i = 0; i < used; ++i) {
        const ChapterSegment& segment = segments[i];
        for (Chapter chapter : segment.chapters) {
            chapter.start = AddTimes(chapter.start, offset);
            if (chapter.end) {
                chapter.end = AddTimes(*chapter.end, offset);
            }
            list.chapters.push_back(std::move(chapter));
        }
        if (i + 1 < used) {
            const bool relative = !options.folder.empty() && !PathOf(segment.file).is_absolute();
            const std::string file = relative ? options.folder + segment.file : segment.file;
            const auto length =
                options.mediaLength ? options.mediaLength(file) : std::optional<ChapterTime>();
            if (!length) {
                return ChapterReadResult::Failed(
                    source, segment.line,
                    "the length of \"" + segment.file +
                        "\" is not known, so the chapters of the files after it cannot be "
                        "placed on one time line (the file must be a readable audio file "
                        "beside the list)");
            }
            offset = AddTimes(offset, *length);
        }
    }
    return CheckedChapterList(std::move(list), source);
}

}  // namespace varnix::chapter_parsers
