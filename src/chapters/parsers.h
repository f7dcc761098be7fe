#pragma once
// The readers of the single formats behind ParseChapterText, and the text helpers they share.
// Each takes the lines (or text) of one list and the name that messages give it.

#include <string>
#include <string_view>
#include <vector>

#include "chapters/chapter_list.h"
#include "chapters/chapter_reader.h"

namespace varnix::chapter_parsers {

struct TextLine {
    std::string_view text;  // without the line end
    int number = 0;         // from 1
};
// The lines of a text, without a UTF-8 byte order mark and without CR before LF.
std::vector<TextLine> SplitLines(std::string_view text);
std::string_view Trim(std::string_view text);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// The text between double quotes, for messages.
std::string Quoted(std::string_view text);
// A name as shown in one line of a list: control characters become spaces, at most 200 bytes.
std::string CleanName(std::string_view text);

ChapterReadResult ParseOgm(const std::vector<TextLine>& lines, const std::string& source);
ChapterReadResult ParseFfMetadata(const std::vector<TextLine>& lines, const std::string& source);
ChapterReadResult ParseCueSheet(const std::vector<TextLine>& lines, const std::string& source,
                                const ChapterReadOptions& options);
ChapterReadResult ParseAudacityLabels(const std::vector<TextLine>& lines,
                                      const std::string& source);
ChapterReadResult ParseSmpteList(const std::vector<TextLine>& lines, const std::string& source,
                                 TvSystem system);
ChapterReadResult ParseCelltimes(const std::vector<TextLine>& lines, const std::string& source,
                                 TvSystem system);
ChapterReadResult ParseDvdauthorList(const std::vector<TextLine>& lines, const std::string& source);
// Matroska XML chapters or a dvdauthor project.
ChapterReadResult ParseXmlChapters(std::string_view text, const std::string& source,
                                   const ChapterReadOptions& options);

// The chapters of one dvdauthor "chapters" attribute or list, e.g. "0,5:12.3,1:02:03".
bool ParseDvdauthorTimes(std::string_view list, int line, std::vector<Chapter>& out,
                         std::string& problem);

// Chapters of several media files played one after the other (a CUE sheet's FILE blocks, the
// vobs of a dvdauthor title), each counted from its own file's start.
struct ChapterSegment {
    std::string file;
    int line = 0;
    std::vector<Chapter> chapters;
};
// Puts the segments on one time line: each starts where the one before it ends, by the
// lengths that options.mediaLength gives (relative names taken from options.folder). A length
// that is needed and not known is a problem naming the file.
ChapterReadResult ChainSegments(ChapterFormat format, const std::vector<ChapterSegment>& segments,
                                const std::string& source, const ChapterReadOptions& options);

}  // namespace varnix::chapter_parsers
