#include <filesystem>
#include <ostream>
#include <vector>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/file.h"
#include "core/timecode.h"
#include "cut/split_job.h"
#include "probe/detect.h"
#include "probe/media_duration.h"
#include "probe/report.h"

namespace varnix::cli {

std::string SamplesFolder() {
    return VARNIX_SAMPLES_DIR;
}

namespace {

std::vector<std::string> SampleFiles() {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(SamplesFolder(), ec)) {
        const auto extension = entry.path().extension();
        if (entry.is_regular_file() && extension != ".vnf" && extension != ".md" &&
            extension != ".sh") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Cuts every sample audio file by the demo's durations into the demo folder and prints the
// pieces.
void SplitSamples(Context& context, const std::vector<std::string>& files,
                  const std::string& folder) {
    std::ostream& out = context.streams.out;
    SplitJobRequest request;
    for (const auto& file : files) {
        const std::string kind = DetectFormat(file);
        if (!kind.empty() && !IsVideoKind(kind)) {
            request.inputs.push_back(file);
        }
    }
    const std::vector<TimeCode> durations = {MakeTimeCode(0, 0, 1, 0), MakeTimeCode(0, 0, 2, 0)};
    out << "\nSplit of every sample audio file by";
    for (const TimeCode d : durations) {
        request.durations.push_back(DurationPair{d, d});
        out << ' ' << TimeCodeToText(d);
    }
    out << " (PAL) into " << folder << ":\n";
    CliHost host(context.streams.err, context.streams.in, false, false);
    ScopedHost scope(host);
    request.systemRate = kPALRate;
    request.outputFolder = folder;
    request.warnAboutInputsWithoutPieces = false;
    const SplitJobResult result = SplitJob(std::move(request)).Process();
    for (const auto& piece : result.pieces) {
        out << "  " << piece.path << '\t' << piece.bytes << '\n';
    }
    for (const auto& input : result.inputsWithoutPieces) {
        context.streams.err << "varnix: " << input << ": no piece was cut\n";
    }
    if (result.failed || !result.inputsWithoutPieces.empty()) {
        context.FileFailed();
    }
}

}  // namespace

void AddDemoCommand(CLI::App& app, Context& context) {
    auto* command = app.add_subcommand(
        "demo", "Run the whole sequence on the bundled sample files and print what it does");
    auto folder = std::make_shared<std::string>("varnix-demo");
    command->add_option("DIR", *folder, "Folder for the pieces (default ./varnix-demo)");
    command->callback([&context, folder] {
        std::ostream& out = context.streams.out;
        const auto files = SampleFiles();
        if (files.empty()) {
            context.streams.err << "varnix: no sample files in " << SamplesFolder() << '\n';
            context.FileFailed();
            return;
        }
        out << "Sample files in " << SamplesFolder() << ":\n";
        for (const auto& file : files) {
            const std::string kind = DetectFormat(file);
            out << "  " << std::filesystem::path(file).filename().string() << "  kind "
                << (kind.empty() ? "unknown" : kind) << '\n';
        }
        for (const auto& file : files) {
            const std::string kind = DetectFormat(file);
            if (kind.empty() || IsVideoKind(kind)) {
                continue;
            }
            out << "\nInformation on " << std::filesystem::path(file).filename().string() << ":\n"
                << WithUnixLineEnds(ShowMediaInformation(file, false, nullptr));
            const TimeCode pal = GetMediaDuration(file, nullptr, nullptr, 25.0);
            const TimeCode ntsc = GetMediaDuration(file, nullptr, nullptr, 30.0);
            const auto text = [](TimeCode tc) {
                return tc.IsNone() ? std::string("???") : TimeCodeToText(tc);
            };
            out << "Duration: " << text(pal) << " (PAL), " << text(ntsc) << " (NTSC)\n";
            if (pal.IsNone() || ntsc.IsNone()) {
                ReportFileProblem(context, file);
            }
        }
        SplitSamples(context, files, *folder);
    });
}

}  // namespace varnix::cli
