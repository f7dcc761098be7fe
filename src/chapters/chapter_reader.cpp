// Recognising a chapter list by its content, and reading one from a file.

#include "chapters/chapter_reader.h"

#include <array>
#include <fstream>

#include "core/file.h"
#include "core/file_helpers.h"
#include "parsers.h"

namespace varnix {

using namespace chapter_parsers;

namespace {

bool IsCueCommand(std::string_view line) {
    for (const char* command : {"REM ", "FILE ", "TITLE ", "PERFORMER ", "CATALOG ", "CDTEXTFILE ",
                                "SONGWRITER ", "TRACK "}) {
        if (StartsWithNoCase(line, command)) {
            return true;
        }
    }
    return false;
}

bool IsOgmLine(std::string_view line) {
    return StartsWithNoCase(line, "CHAPTER") && line.size() > 7 && line[7] >= '0' && line[7] <= '9';
}

bool IsAudacityLine(std::string_view line) {
    const auto tab = line.find('\t');
    return tab != std::string_view::npos && ParseClockText(line.substr(0, tab), 1, 1);
}

bool IsSmpteLine(std::string_view line) {
    const std::string_view code = line.substr(0, line.find_first_of(" \t"));
    std::size_t separators = 0;
    for (const char c : code) {
        if (c == ':' || c == ';') {
            ++separators;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return separators == 3;
}

bool IsFrameNumberList(const std::vector<TextLine>& lines) {
    for (const auto& line : lines) {
        const std::string_view text = Trim(line.text);
        if (!text.empty() && !ParseWholeNumber(text)) {
            return false;
        }
    }
    return true;
}

constexpr std::string_view kIfoMagic = "DVDVIDEO-";

}  // namespace

ChapterReadResult ParseChapterText(std::string_view text, const std::string& source,
                                   const ChapterReadOptions& options) {
    if (text.substr(0, kIfoMagic.size()) == kIfoMagic) {
        return ChapterReadResult::Failed(
            source, 0, "a DVD IFO file, which is read from its file or VIDEO_TS folder");
    }
    if (text.find('\0') != std::string_view::npos) {
        return ChapterReadResult::Failed(source, 0, "binary data, not a chapter list");
    }
    const std::vector<TextLine> lines = SplitLines(text);
    const TextLine* first = nullptr;
    for (const auto& line : lines) {
        if (!Trim(line.text).empty()) {
            first = &line;
            break;
        }
    }
    if (first == nullptr) {
        return ChapterReadResult::Failed(source, 0, "empty: no chapters");
    }
    const std::string_view head = Trim(first->text);
    if (head.front() == '<') {
        return ParseXmlChapters(text, source, options);
    }
    if (head.substr(0, 11) == ";FFMETADATA") {
        return ParseFfMetadata(lines, source);
    }
    if (IsOgmLine(head)) {
        return ParseOgm(lines, source);
    }
    if (IsCueCommand(head)) {
        return ParseCueSheet(lines, source, options);
    }
    if (IsAudacityLine(first->text)) {
        return ParseAudacityLabels(lines, source);
    }
    if (IsSmpteLine(head)) {
        return ParseSmpteList(lines, source, options.system);
    }
    if (IsFrameNumberList(lines)) {
        return ParseCelltimes(lines, source, options.system);
    }
    if (head.find(',') != std::string_view::npos ||
        ParseClockText(head.substr(0, head.find(',')), 1, 3)) {
        return ParseDvdauthorList(lines, source);
    }
    return ChapterReadResult::Failed(
        source, first->number,
        "not a chapter list of a known format (OGM, Matroska XML, FFMETADATA, CUE, dvdauthor, "
        "celltimes, Audacity labels, SMPTE time codes)");
}

ChapterReadResult ReadChapterFile(const std::string& path, ChapterReadOptions options) {
    if (FolderExists(path)) {
        return ReadDvdChapters(path, options);
    }
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) {
        return ChapterReadResult::Failed(path, 0, "cannot be opened for reading");
    }
    const std::uint64_t size = FileSizeOf(path);
    // An IFO file starts with its magic; a disc image has the ISO 9660 or UDF volume
    // descriptors from byte 32768 on.
    constexpr std::size_t kImageMarkAt = 32769;
    std::string head(std::min<std::uint64_t>(size, kImageMarkAt + 5), '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    const std::string_view mark =
        head.size() >= kImageMarkAt + 5 ? std::string_view(head).substr(kImageMarkAt, 5) : "";
    if (head.compare(0, kIfoMagic.size(), kIfoMagic) == 0 || mark == "CD001" || mark == "BEA01" ||
        mark == "NSR02" || mark == "NSR03") {
        return ReadDvdChapters(path, options);
    }
    if (size > kMaxChapterFileBytes) {
        return ChapterReadResult::Failed(path, 0,
                                         "larger than 4 MiB, too large for a chapter list");
    }
    in.clear();
    in.seekg(0);
    std::string text(size, '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uint64_t>(in.gcount()) != size) {
        return ChapterReadResult::Failed(path, 0, "cannot be read");
    }
    if (options.folder.empty()) {
        options.folder = FolderOf(path);
    }
    return ParseChapterText(text, path, options);
}

}  // namespace varnix
