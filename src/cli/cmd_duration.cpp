#include <ostream>
#include <vector>

#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "cli/progress_host.h"
#include "core/file_helpers.h"
#include "core/timecode.h"
#include "probe/media_duration.h"

namespace varnix::cli {

void AddDurationCommand(CLI::App& app, Context& context) {
    auto* command = app.add_subcommand(
        "duration", "Print the duration of each file as the durations list takes it");
    auto files = std::make_shared<std::vector<std::string>>();
    auto system = std::make_shared<std::string>("ntsc");
    auto formats = std::make_shared<FormatOptions>();
    AddExtendedFlag(*command, *formats);
    command->add_option("-s,--system", *system, "TV system of the time codes (default ntsc)")
        ->transform(CLI::IsMember({"pal", "ntsc"}, CLI::ignore_case));
    command->add_option("FILE", *files, "Media files")->required();
    command->footer(
        "Prints one line per file: HH:MM:SS.FF<TAB>FILE (PAL: 25 frames a second; NTSC: 30\n"
        "frames a time-code second of 1.001 s). A file without a duration prints ??? and makes\n"
        "the exit status 1; what is wrong with it goes to standard error.\n"
        "An MPEG video is scanned once (its duration is kept in FILE.vnf beside it) and keeps\n"
        "its own frame rate: a 25 fps video shows the same time under both systems, a 29.97 fps\n"
        "video shows its frames limited to 24 under PAL.");
    command->callback([&context, files, system, formats] {
        const TvSystem tvSystem = *system == "pal" ? TvSystem::Pal : TvSystem::Ntsc;
        for (const auto& file : *files) {
            ProgressBar bar(context.streams.err, context.streams.errIsTerminal,
                            "Scanning " + FileNameOf(file));
            // Says what the reader met (a damaged program or transport stream, say).
            ProgressAwareHost host(context.streams.err, context.streams.in,
                                   context.streams.inIsTerminal, false, bar);
            ScopedHost scope(host);
            const TimeCode tc =
                MediaDurationForSystem(file, tvSystem, nullptr, bar.Indicator(), *formats);
            bar.Clear();
            context.streams.out << (tc.IsNone() ? std::string("???") : TimeCodeToText(tc)) << '\t'
                                << file << '\n';
            const bool reported = ReportFileProblem(context, file, *formats);
            if (tc.IsNone() && !reported) {
                context.streams.err << "varnix: " << file << ": no duration\n";
                context.FileFailed();
            }
        }
    });
}

}  // namespace varnix::cli
