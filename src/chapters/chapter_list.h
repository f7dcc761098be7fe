#pragma once
// A chapter list as read from a file (chapter starts, names, perhaps the end of the last
// chapter), what is wrong with one that cannot be read, and the durations it gives.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chapters/chapter_time.h"
#include "core/timecode.h"

namespace varnix {

enum class ChapterFormat {
    Ogm,             // CHAPTER01=00:00:00.000, CHAPTER01NAME=...
    MatroskaXml,     // <Chapters><EditionEntry><ChapterAtom>...
    FfMetadata,      // ;FFMETADATA1, [CHAPTER], TIMEBASE, START, END, title
    CueSheet,        // FILE, TRACK, INDEX 01 mm:ss:ff
    DvdauthorXml,    // <dvdauthor> ... <vob chapters="0,5:12.3,1:02:03"/>
    DvdauthorList,   // 0,5:12.3,1:02:03
    Celltimes,       // one frame number a line
    AudacityLabels,  // start<TAB>end<TAB>label, in seconds
    SmpteList,       // HH:MM:SS:FF or HH:MM:SS;FF a line
    DvdIfo,          // a DVD's IFO files, read through libdvdread
};
// "Matroska XML chapters", "CUE sheet", ...
std::string ChapterFormatName(ChapterFormat format);

struct Chapter {
    ChapterTime start;
    // The chapter's own name; empty when the list gives none.
    std::string name;
    // Where the list says the chapter ends; only the last chapter's end is used.
    std::optional<ChapterTime> end;
    // The line of the chapter in its file, for messages; 0 when there is none.
    int line = 0;
};

struct ChapterList {
    ChapterFormat format = ChapterFormat::Ogm;
    std::vector<Chapter> chapters;
};

// What is wrong with a chapter list and where: "FILE:LINE: what" or "FILE: what".
struct ChapterProblem {
    std::string source;
    int line = 0;
    std::string what;

    std::string Message() const;
};

// A chapter list, or what kept it from being read.
struct ChapterReadResult {
    std::optional<ChapterList> list;
    ChapterProblem problem;

    bool ok() const { return list.has_value(); }
    static ChapterReadResult Failed(const std::string& source, int line, const std::string& what) {
        return {std::nullopt, ChapterProblem{source, line, what}};
    }
};

// Checks what every reader's list must satisfy: at least one chapter, starts that go forward,
// nothing beyond 99 hours, no chapter that ends before it starts. An end equal to its start (a
// point label) counts as no end.
ChapterReadResult CheckedChapterList(ChapterList list, const std::string& source);

// One duration of a chapter list in both systems, each from the same real times.
struct ChapterDuration {
    // The chapter's name, "Chapter N", or "before chapter 1" for the part before the first.
    std::string name;
    std::int64_t palFrames = 0;
    std::int64_t ntscFrames = 0;
    TimeCode pal;
    TimeCode ntsc;

    std::int64_t Frames(TvSystem system) const {
        return system == TvSystem::Pal ? palFrames : ntscFrames;
    }
    TimeCode ForSystem(TvSystem system) const { return system == TvSystem::Pal ? pal : ntsc; }
};

// The durations of a checked list: a leading "before chapter 1" when the first chapter starts
// after 0, then each chapter up to the next one's start; the last chapter up to its end when
// the list gives one, otherwise it is left to the tail piece. Every start is rounded to the
// nearest frame of each system on the running time line, and duration k is the difference of
// the rounded starts k and k + 1, so rounding errors never add up.
std::vector<ChapterDuration> ChapterDurations(const ChapterList& list);

}  // namespace varnix
