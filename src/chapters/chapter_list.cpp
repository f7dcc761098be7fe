#include "chapters/chapter_list.h"

namespace varnix {

std::string ChapterFormatName(ChapterFormat format) {
    switch (format) {
        case ChapterFormat::Ogm:
            return "OGM chapters";
        case ChapterFormat::MatroskaXml:
            return "Matroska XML chapters";
        case ChapterFormat::FfMetadata:
            return "FFMETADATA";
        case ChapterFormat::CueSheet:
            return "CUE sheet";
        case ChapterFormat::DvdauthorXml:
            return "dvdauthor project";
        case ChapterFormat::DvdauthorList:
            return "dvdauthor chapter list";
        case ChapterFormat::Celltimes:
            return "celltimes";
        case ChapterFormat::AudacityLabels:
            return "Audacity labels";
        case ChapterFormat::SmpteList:
            return "SMPTE time codes";
        case ChapterFormat::DvdIfo:
            return "DVD IFO";
    }
    return "chapter list";
}

std::string ChapterProblem::Message() const {
    std::string message = source;
    if (line > 0) {
        message += ':';
        message += std::to_string(line);
    }
    message += ": ";
    message += what;
    return message;
}

ChapterReadResult CheckedChapterList(ChapterList list, const std::string& source) {
    if (list.chapters.empty()) {
        return ChapterReadResult::Failed(source, 0,
                                         ChapterFormatName(list.format) + " without chapters");
    }
    for (std::size_t i = 0; i < list.chapters.size(); ++i) {
        Chapter& chapter = list.chapters[i];
        const std::string number = "chapter " + std::to_string(i + 1);
        if (chapter.start > kLatestChapterTime) {
            return ChapterReadResult::Failed(source, chapter.line,
                                             number + " starts beyond 99 hours");
        }
        if (i > 0 && chapter.start <= list.chapters[i - 1].start) {
            const bool same = chapter.start == list.chapters[i - 1].start;
            return ChapterReadResult::Failed(
                source, chapter.line,
                number + " starts at " + ChapterTimeText(chapter.start) +
                    (same ? ", the same time as chapter " : ", before chapter ") +
                    std::to_string(i) + " (" + ChapterTimeText(list.chapters[i - 1].start) +
                    "): chapter times must go forward");
        }
        if (chapter.end) {
            if (*chapter.end > kLatestChapterTime) {
                return ChapterReadResult::Failed(source, chapter.line,
                                                 number + " ends beyond 99 hours");
            }
            if (*chapter.end < chapter.start) {
                return ChapterReadResult::Failed(
                    source, chapter.line,
                    number + " ends at " + ChapterTimeText(*chapter.end) + ", before its start " +
                        ChapterTimeText(chapter.start));
            }
            if (*chapter.end == chapter.start) {
                chapter.end.reset();
            }
        }
    }
    return {std::move(list), {}};
}

namespace {

ChapterDuration DurationBetween(std::string name, ChapterTime from, ChapterTime to) {
    ChapterDuration d;
    d.name = std::move(name);
    d.palFrames = FramesAt(to, TvSystem::Pal) - FramesAt(from, TvSystem::Pal);
    d.ntscFrames = FramesAt(to, TvSystem::Ntsc) - FramesAt(from, TvSystem::Ntsc);
    d.pal = FramesToTimeCode(d.palFrames, 25.0);
    d.ntsc = FramesToTimeCode(d.ntscFrames, 30.0);
    return d;
}

}  // namespace

std::vector<ChapterDuration> ChapterDurations(const ChapterList& list) {
    std::vector<ChapterDuration> durations;
    const auto& chapters = list.chapters;
    if (chapters.empty()) {
        return durations;
    }
    if (chapters.front().start > ChapterTime{}) {
        durations.push_back(DurationBetween("before chapter 1", {}, chapters.front().start));
    }
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        std::string name =
            chapters[i].name.empty() ? "Chapter " + std::to_string(i + 1) : chapters[i].name;
        if (i + 1 < chapters.size()) {
            durations.push_back(
                DurationBetween(std::move(name), chapters[i].start, chapters[i + 1].start));
        } else if (chapters[i].end) {
            durations.push_back(
                DurationBetween(std::move(name), chapters[i].start, *chapters[i].end));
        }
    }
    return durations;
}

}  // namespace varnix
