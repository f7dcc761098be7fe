#include <ostream>

#include "chapters/chapter_reader.h"
#include "cli/chapter_source.h"
#include "cli/commands.h"
#include "core/timecode.h"

namespace varnix::cli {

void AddChaptersCommand(CLI::App& app, Context& context) {
    auto* command = app.add_subcommand("chapters", "Print the durations that a chapter list gives");
    auto file = std::make_shared<std::string>();
    auto system = std::make_shared<std::string>("ntsc");
    auto title = std::make_shared<int>(0);
    auto formats = std::make_shared<FormatOptions>();
    command->add_option("-s,--system", *system, "TV system of the time codes (default ntsc)")
        ->transform(CLI::IsMember({"pal", "ntsc"}, CLI::ignore_case));
    command->add_option("--title", *title, "DVD title to read, from 1 (default: the longest)")
        ->check(CLI::PositiveNumber);
    AddExtendedFlag(*command, *formats);
    command->add_option("FILE", *file, "A chapter list, or a DVD (VIDEO_TS folder, IFO, image)")
        ->required();
    command->footer(
        "Prints one line per duration: HH:MM:SS.FF<TAB>NAME. Each chapter lasts until the next\n"
        "one starts; a first chapter that starts after 0 gives a duration \"before chapter 1\";\n"
        "the last chapter is left to the tail piece unless the list says where it ends. Starts\n"
        "are rounded to the nearest frame on the running time line, so the rounding never adds\n"
        "up; PAL and NTSC durations come from the same times.\n"
        "Formats, recognised by content: OGM chapters (CHAPTER01=...), Matroska XML chapters,\n"
        "FFMETADATA, CUE sheets, dvdauthor projects and chapter lists (0,5:12.3,1:02:03),\n"
        "celltimes (frame numbers of the system), Audacity labels, SMPTE time codes\n"
        "(HH:MM:SS:FF at the system's rate, HH:MM:SS;FF drop frame), and DVDs through their\n"
        "IFO files. A CUE sheet with several FILE blocks needs those files beside it (WAV, AC3,\n"
        "DTS, MPEG audio) to put them on one time line.\n"
        "A file that cannot be read as a chapter list is named on standard error with the line\n"
        "and what is wrong, and the exit status is 1.");
    command->callback([&context, file, system, title, formats] {
        const TvSystem tvSystem = *system == "pal" ? TvSystem::Pal : TvSystem::Ntsc;
        const ChapterReadOptions options = ChapterOptions(tvSystem, *title, *formats);
        const ChapterReadResult read = ReadChapterFile(*file, options);
        if (!read.ok()) {
            context.streams.err << "varnix: " << read.problem.Message() << '\n';
            context.FileFailed();
            return;
        }
        const auto durations = ChapterDurations(*read.list);
        if (durations.empty()) {
            context.streams.err << "varnix: " << *file
                                << ": one chapter from the start and no end: no duration (all of "
                                   "it goes into the tail piece)\n";
        }
        for (const auto& duration : durations) {
            context.streams.out << TimeCodeToText(duration.ForSystem(options.system)) << '\t'
                                << duration.name << '\n';
        }
    });
}

}  // namespace varnix::cli
