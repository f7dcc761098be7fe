#pragma once
// Reading chapter lists: the formats are recognised by content, never by the file's name.
// Text formats are read from text (tests and callers need no file); only ReadChapterFile and
// the DVD reader touch the file system.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "chapters/chapter_list.h"
#include "chapters/chapter_time.h"

namespace varnix {

// A text chapter list larger than this is refused unread.
constexpr std::uint64_t kMaxChapterFileBytes = 4 * 1024 * 1024;

// The play time of a media file named by a chapter list (a CUE sheet's FILE, a dvdauthor
// project's vob), or nothing when it is not known.
using MediaLengthFunction = std::function<std::optional<ChapterTime>(const std::string& file)>;

struct ChapterReadOptions {
    // The system whose frames celltimes and non-drop SMPTE time codes count.
    TvSystem system = TvSystem::Ntsc;
    // The DVD title to read, from 1; 0 takes the longest.
    int title = 0;
    // The folder that relative file names in a list are taken from (with its separator at the
    // end; empty: as given). ReadChapterFile sets it to the list's own folder.
    std::string folder;
    // Lengths of the files that a CUE sheet with several FILE blocks or a dvdauthor project
    // with several vobs chains on one time line; unset: none is known.
    MediaLengthFunction mediaLength;
};

// A chapter list of any text format, recognised by its content. `source` names the list in
// messages.
ChapterReadResult ParseChapterText(std::string_view text, const std::string& source,
                                   const ChapterReadOptions& options);

// The chapters of a DVD title through libdvdread: `path` is a VIDEO_TS folder (or the folder
// above it), VIDEO_TS.IFO, a title set's VTS_nn_0.IFO (its own titles are then numbered from
// 1), or a disc image. The chapters' lengths come from the cells' playback times; the list
// ends where the title ends.
ChapterReadResult ReadDvdChapters(const std::string& path, const ChapterReadOptions& options);

// A chapter file of any format: a folder, an IFO file or a disc image goes to the DVD reader,
// anything else is read as text (at most kMaxChapterFileBytes) with relative names taken from
// the file's folder.
ChapterReadResult ReadChapterFile(const std::string& path, ChapterReadOptions options);

}  // namespace varnix
