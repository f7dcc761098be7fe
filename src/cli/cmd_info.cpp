#include <ostream>
#include <vector>

#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "cli/progress_host.h"
#include "core/file_helpers.h"
#include "formats/format_refusal.h"
#include "probe/media_check.h"
#include "probe/report.h"

namespace varnix::cli {

std::string WithUnixLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

void AddExtendedFlag(CLI::App& command, FormatOptions& formats) {
    command.add_flag("-x,--extended", formats.extended,
                     "Extended formats: also take MPEG video of any picture size and MPEG\n"
                     "program (.mpg, .vob) and transport streams (.ts, .m2ts)");
}

std::string FileProblemText(const std::string& fileName, FormatOptions formats) {
    const FormatRefusal refusal = WhyRefused(fileName, formats);
    if (refusal.refused()) {
        return RefusalText(refusal, kExtendedOption);
    }
    return MediaFileProblem(fileName, formats);
}

bool ReportFileProblem(Context& context, const std::string& fileName, FormatOptions formats) {
    const std::string problem = FileProblemText(fileName, formats);
    if (problem.empty()) {
        return false;
    }
    context.streams.err << "varnix: " << fileName << ": " << problem << '\n';
    context.FileFailed();
    return true;
}

void AddInfoCommand(CLI::App& app, Context& context) {
    auto* command = app.add_subcommand(
        "info", "Print the information report of each file: stream parameters and play times");
    auto files = std::make_shared<std::vector<std::string>>();
    auto formats = std::make_shared<FormatOptions>();
    AddExtendedFlag(*command, *formats);
    command
        ->add_option("FILE", *files,
                     "Media files (AC3, DTS, MPEG-1 Layer II, PCM WAV, MPEG-1/2 video)")
        ->required();
    command->footer(
        "Files of no known kind print \"Unknown file format\"; files that cannot be used are\n"
        "named on standard error with what is wrong, and the exit status is then 1.\n"
        "An MPEG video report shows its end time and duration once the video has been scanned\n"
        "(by `varnix duration`, which keeps the result in FILE.vnf beside it).");
    command->callback([&context, files, formats] {
        std::ostream& out = context.streams.out;
        bool first = true;
        for (const auto& file : *files) {
            if (!first) {
                out << '\n';
            }
            first = false;
            ProgressBar bar(context.streams.err, context.streams.errIsTerminal,
                            "Scanning " + FileNameOf(file));
            ProgressAwareHost host(context.streams.err, context.streams.in,
                                   context.streams.inIsTerminal, false, bar);
            ScopedHost scope(host);
            std::string text =
                WithUnixLineEnds(ShowMediaInformation(file, false, bar.Indicator(), '.', *formats));
            bar.Clear();
            if (text.empty() || text.back() != '\n') {
                text += '\n';
            }
            out << text;
            const bool reported = ReportFileProblem(context, file, *formats);
            if (!reported && text == std::string(kUnknownFileFormat) + "\n") {
                context.streams.err << "varnix: " << file << ": unknown file format\n";
                context.FileFailed();
            }
        }
    });
}

}  // namespace varnix::cli
