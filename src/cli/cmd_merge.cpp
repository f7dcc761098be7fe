#include <ostream>
#include <vector>

#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "cli/progress_host.h"
#include "core/file_helpers.h"
#include "cut/audio_check.h"
#include "merge/merge_engine.h"

namespace varnix::cli {

namespace {

struct MergeOptions {
    std::string result;
    bool yes = false;
    std::vector<std::string> files;
    FormatOptions formats;
};

}  // namespace

void AddMergeCommand(CLI::App& app, Context& context) {
    auto* command = app.add_subcommand("merge", "Join files in order into one result file");
    auto options = std::make_shared<MergeOptions>();
    command->add_option("-o,--output", options->result, "The result file")->required();
    command->add_flag("--yes", options->yes, "Replace an existing result file without asking");
    AddExtendedFlag(*command, options->formats);
    command->add_option("FILE", options->files, "Files to join, in order")->required();
    command->footer(
        "WAV files are joined under one header in the first file's format, each giving the\n"
        "sample data of its \"data\" chunk; all other files are joined byte for byte. A result\n"
        "name without an extension gets the first file's. An existing result is replaced only\n"
        "with --yes or when you agree on a terminal. Prints RESULT<TAB>BYTES.");
    command->callback([&context, options] {
        std::ostream& err = context.streams.err;
        ProgressBar bar(err, context.streams.errIsTerminal, "merging");
        ProgressAwareHost host(err, context.streams.in, context.streams.inIsTerminal, options->yes,
                               bar);
        ScopedHost scope(host);

        MergeRequest request;
        for (const auto& file : options->files) {
            const ListRefusal refusal = AudioListRefusal(file, false, options->formats);
            if (refusal != ListRefusal::None) {
                err << "varnix: " << file << ": " << ListRefusalText(refusal) << '\n';
                context.FileFailed();
                continue;
            }
            request.files.push_back(file);
        }
        if (request.files.empty()) {
            return;
        }
        request.resultName = MergeResultName(options->result, request.files.front());
        request.formats = options->formats;
        request.progress = [&bar](const MergeProgress& progress) {
            bar.setMaximum(progress.maximum);
            bar.setPosition(progress.position);
        };
        const MergeOutcome outcome = MergeFiles(request);
        bar.Clear();
        if (outcome.status != MergeStatus::Merged) {
            context.FileFailed();
            return;
        }
        context.streams.out << request.resultName << '\t' << outcome.resultBytes << '\n';
    });
}

}  // namespace varnix::cli
