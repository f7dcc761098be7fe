#include <filesystem>
#include <ostream>
#include <vector>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "core/file.h"
#include "core/timecode.h"
#include "cut/split_job.h"
#include "formats/detect.h"
#include "probe/duration_pair.h"
#include "probe/media_duration.h"
#include "probe/report.h"

namespace varnix::cli {

namespace {

std::vector<std::string> SampleFiles(const std::string& samples) {
    std::vector<std::string> files;
    if (samples.empty()) {
        return files;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(samples, ec)) {
        const auto extension = entry.path().extension();
        if (entry.is_regular_file() && extension != ".vnf" && extension != ".md" &&
            extension != ".sh") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Cuts every sample audio file by the durations of the sample videos (NTSC, the window's
// default system) into the demo folder and prints the pieces.
void SplitSamples(Context& context, const std::vector<std::string>& files,
                  const std::vector<DurationPair>& durations, const std::string& folder) {
    std::ostream& out = context.streams.out;
    SplitJobRequest request;
    for (const auto& file : files) {
        const MediaKind kind = DetectFormat(file);
        if (kind != MediaKind::Unknown && !IsVideoKind(kind)) {
            request.inputs.push_back(file);
        }
    }
    out << "\nSplit of every sample audio file by";
    for (const DurationPair& pair : durations) {
        request.durations.push_back(pair);
        out << ' ' << TimeCodeToText(pair.ntsc);
    }
    out << " (NTSC) and the rest into " << folder << ":\n";
    CliHost host(context.streams.err, context.streams.in, false, false);
    ScopedHost scope(host);
    request.system = TvSystem::Ntsc;
    request.outputFolder = folder;
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

// Copies a sample into the demo folder (kept when it is up to date, so its cache stays valid)
// and returns the copy's name; "" (and the reason on standard error) when that fails.
std::string CopyIntoFolder(Context& context, const std::string& sample, const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(PathOf(folder), ec);
    const fs::path copy = PathOf(folder) / fs::path(PathOf(sample)).filename();
    if (!ec) {
        fs::copy_file(PathOf(sample), copy, fs::copy_options::update_existing, ec);
    }
    if (ec) {
        context.streams.err << "varnix: cannot copy " << sample << " into " << folder << ": "
                            << ec.message() << '\n';
        context.FileFailed();
        return {};
    }
    return copy.string();
}

}  // namespace

void AddDemoCommand(CLI::App& app, Context& context) {
    auto* command = app.add_subcommand(
        "demo", "Run the whole sequence on the bundled sample files and print what it does");
    auto folder = std::make_shared<std::string>("varnix-demo");
    command->add_option("DIR", *folder,
                        "Folder for the pieces and for copies of the sample videos with their "
                        "info caches (default ./varnix-demo)");
    command->callback([&context, folder] {
        std::ostream& out = context.streams.out;
        const std::string samples = SamplesFolder();
        const auto files = SampleFiles(samples);
        if (files.empty()) {
            context.streams.err << "varnix: no sample files in "
                                << (samples.empty() ? "share/varnix/samples beside this program"
                                                    : samples)
                                << '\n';
            context.FileFailed();
            return;
        }
        out << "Sample files in " << samples << ":\n";
        for (const auto& file : files) {
            const MediaKind kind = DetectFormat(file);
            out << "  " << std::filesystem::path(file).filename().string() << "  kind "
                << (kind == MediaKind::Unknown ? "unknown" : MediaKindText(kind)) << '\n';
        }
        const auto text = [](TimeCode tc) {
            return tc.IsNone() ? std::string("???") : TimeCodeToText(tc);
        };
        std::vector<std::pair<std::string, DurationPair>> videoDurations;
        for (const auto& sample : files) {
            const MediaKind kind = DetectFormat(sample);
            if (kind == MediaKind::Unknown) {
                continue;
            }
            const std::string name = std::filesystem::path(sample).filename().string();
            // A video is probed as a copy in DIR, so that its info cache is written there and
            // not beside the bundled file (whose folder may not even be writable).
            const std::string file =
                IsVideoKind(kind) ? CopyIntoFolder(context, sample, *folder) : sample;
            if (file.empty()) {
                continue;
            }
            // The durations first: a video's report shows its duration once it has been
            // scanned.
            ProgressBar bar(context.streams.err, context.streams.errIsTerminal, "Scanning " + name);
            const DurationPair pair = GetDurationPair(file, nullptr, bar.Indicator());
            bar.Clear();
            out << "\nInformation on " << name << ":\n"
                << WithUnixLineEnds(ShowMediaInformation(file, false, nullptr));
            out << "Duration: " << text(pair.pal) << " (PAL), " << text(pair.ntsc) << " (NTSC)\n";
            if (pair.pal.IsNone() || pair.ntsc.IsNone()) {
                ReportFileProblem(context, file, FormatOptions{});
            } else if (IsVideoKind(kind)) {
                videoDurations.emplace_back(name, pair);
            }
        }
        std::vector<DurationPair> durations;
        if (!videoDurations.empty()) {
            out << "\nDurations of the sample videos, as the durations list holds them:\n";
            for (const auto& [name, pair] : videoDurations) {
                out << "  " << text(pair.pal) << " (PAL)  " << text(pair.ntsc) << " (NTSC)  "
                    << name << '\n';
                durations.push_back(pair);
            }
        }
        SplitSamples(context, files, durations, *folder);
    });
}

}  // namespace varnix::cli
