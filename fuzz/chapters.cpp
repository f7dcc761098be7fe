// Fuzz bodies of the chapter readers: any text through the format recognition and every
// reader, and any bytes as a DVD's IFO file through libdvdread.

#include <filesystem>

#include "chapters/chapter_reader.h"
#include "harness.h"

namespace varnix::fuzz {

namespace {

// What every list that reads must give: one duration per chapter but the last (plus the part
// before the first chapter, plus the last chapter when it ends), none negative, and together
// exactly the frames from the start of the first duration to the end of the last.
void CheckDurations(const ChapterList& list) {
    Check(!list.chapters.empty(), "a list without chapters was read");
    const auto durations = ChapterDurations(list);
    const bool leading = list.chapters.front().start.ticks > 0;
    const auto& last = list.chapters.back();
    Check(durations.size() == list.chapters.size() - 1 + (leading ? 1 : 0) + (last.end ? 1 : 0),
          "the number of durations does not follow the chapters");
    for (const TvSystem system : {TvSystem::Pal, TvSystem::Ntsc}) {
        std::int64_t sum = 0;
        for (const auto& d : durations) {
            Check(d.Frames(system) >= 0, "a negative duration");
            Check(d.ForSystem(system) ==
                      FramesToTimeCode(d.Frames(system), system == TvSystem::Pal ? 25.0 : 30.0),
                  "a time code that is not its frame count");
            sum += d.Frames(system);
        }
        const ChapterTime from = leading ? ChapterTime{} : list.chapters.front().start;
        const ChapterTime to = last.end ? *last.end : last.start;
        Check(sum == FramesAt(to, system) - FramesAt(from, system),
              "the durations do not add up to the running time line");
    }
}

}  // namespace

void FuzzChapters(Bytes data) {
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    for (const TvSystem system : {TvSystem::Pal, TvSystem::Ntsc}) {
        ChapterReadOptions options;
        options.system = system;
        // Files of a CUE sheet or dvdauthor project: named ones with an even length last 7 s.
        options.mediaLength = [](const std::string& file) -> std::optional<ChapterTime> {
            if (file.size() % 2 == 1) {
                return std::nullopt;
            }
            return TimeFromFraction(7, 1);
        };
        const ChapterReadResult read = ParseChapterText(text, "fuzz", options);
        if (read.ok()) {
            CheckDurations(*read.list);
        } else {
            Check(read.problem.Message().rfind("fuzz", 0) == 0 && !read.problem.what.empty(),
                  "a problem that does not name the list and what is wrong");
        }
    }
}

void FuzzDvdIfo(Bytes data) {
    ClearWorkFolder();
    std::filesystem::create_directories(WorkFolder() + "VIDEO_TS");
    const std::string vts = WriteWorkFile("VIDEO_TS/VTS_01_0.IFO", data);
    ChapterReadOptions options;
    for (const std::string& path : {vts, WorkFolder()}) {
        const ChapterReadResult read = ReadDvdChapters(path, options);
        if (read.ok()) {
            CheckDurations(*read.list);
        }
    }
    WriteWorkFile("VIDEO_TS/VIDEO_TS.IFO", data);
    const ChapterReadResult read = ReadDvdChapters(WorkFolder(), options);
    if (read.ok()) {
        CheckDurations(*read.list);
    }
}

}  // namespace varnix::fuzz
