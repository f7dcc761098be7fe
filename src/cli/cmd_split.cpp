#include <fstream>
#include <optional>
#include <ostream>
#include <vector>

#include "chapters/chapter_reader.h"
#include "cli/chapter_source.h"
#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "cli/progress_host.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "cut/audio_check.h"
#include "cut/durations.h"
#include "cut/split_job.h"
#include "probe/duration_pair.h"
#include "probe/media_check.h"

namespace varnix::cli {

namespace {

// One DURATION as given: the text, the folder a relative file name is taken from, and where it
// came from (for messages); or a duration of a chapter list, already a pair.
struct DurationText {
    std::string text;
    std::string folder;
    std::string origin;
    std::optional<DurationPair> pair = std::nullopt;
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool IsAbsolute(const std::string& name) {
    return PathOf(name).is_absolute();
}

// The DURATION lines of a list file; empty lines and lines starting with '#' are skipped.
bool ReadListFile(const std::string& listFile, std::vector<DurationText>& out) {
    std::ifstream in(PathOf(listFile));
    if (!in) {
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string text = Trim(line);
        if (text.empty() || text[0] == '#') {
            continue;
        }
        out.push_back({text, FolderOf(listFile), listFile + ":" + std::to_string(number)});
    }
    return true;
}

enum class Resolved { Ok, Usage, FileFailed };

// A time code (clamped like a typed duration) or the duration pair of a media file, as the
// durations list takes it (a video is scanned once and its duration kept beside it).
Resolved ResolveDuration(Context& context, const DurationText& given, TvSystem system,
                         FormatOptions formats, DurationRow& row, std::string& message) {
    if (given.pair) {
        row = *given.pair;
        return Resolved::Ok;
    }
    if (const auto tc = ParseTimeCodeText(given.text)) {
        row = TypedDurationPair(*tc, system);
        return Resolved::Ok;
    }
    const std::string file = IsAbsolute(given.text) ? given.text : given.folder + given.text;
    if (!FileExists(file)) {
        message = given.origin + ": " + given.text +
                  ": neither a time code (HH:MM:SS.FF) nor an existing file";
        return Resolved::Usage;
    }
    ProgressBar bar(context.streams.err, context.streams.errIsTerminal,
                    "Scanning " + FileNameOf(file));
    const DurationPair pair = GetDurationPair(file, nullptr, bar.Indicator(), formats);
    bar.Clear();
    if (pair.pal.IsNone() || pair.ntsc.IsNone()) {
        const std::string problem = FileProblemText(file, formats);
        message = file + ": " + (problem.empty() ? std::string("no duration") : problem);
        return Resolved::FileFailed;
    }
    row = pair;
    return Resolved::Ok;
}

// The progress bar of a split: the file being merged or cut in front of it, and how far.
class SplitProgress : public SplitJobObserver {
  public:
    explicit SplitProgress(ProgressBar& bar) : bar_(bar) {}
    void MergeStarted(const std::vector<std::string>& files, const std::string&) override {
        files_ = files;
    }
    void MergeFileStarted(std::size_t index) override {
        bar_.SetLabel("merging " + FileNameOf(files_.at(index)));
    }
    void MergeProgressed(const MergeProgress& progress) override {
        bar_.setMaximum(progress.maximum);
        bar_.setPosition(progress.position);
    }
    void InputStarted(int index, const std::string& input, std::uint64_t bytes) override {
        bar_.SetLabel(index < 0 ? std::string("cutting the merged file") : FileNameOf(input));
        bar_.setMaximum(static_cast<std::int64_t>(bytes));
        bar_.setPosition(0);
    }
    void Progress(std::uint64_t position) override {
        bar_.setPosition(static_cast<std::int64_t>(position));
    }

  private:
    ProgressBar& bar_;
    std::vector<std::string> files_;
};

struct SplitOptions {
    std::string system = "ntsc";
    std::string folder = ".";
    bool merge = false;
    bool yes = false;
    std::vector<std::string> durations;
    std::vector<std::string> listFiles;
    std::vector<std::string> chapterFiles;
    int title = 0;
    std::vector<std::string> files;
    FormatOptions formats;
};

}  // namespace

void AddSplitCommand(CLI::App& app, Context& context) {
    auto* command = app.add_subcommand(
        "split", "Cut audio files into pieces whose lengths follow a list of durations");
    auto options = std::make_shared<SplitOptions>();
    command
        ->add_option("-s,--system", options->system,
                     "TV system of the durations: pal (25 frames a second) or ntsc (30 frames a "
                     "time-code second of 1.001 s; the default)")
        ->transform(CLI::IsMember({"pal", "ntsc"}, CLI::ignore_case));
    command->add_option("-o,--output", options->folder,
                        "Destination folder (default: the current folder; created when missing)");
    command->add_flag("-m,--merge", options->merge,
                      "Merge all AUDIO files in order first, then cut the merged file");
    auto* durations = command
                          ->add_option("-d,--duration", options->durations,
                                       "A duration: HH:MM:SS.FF, HH:MM:SS:FF or a media file")
                          ->type_name("DURATION")
                          ->allow_extra_args(false);
    auto* lists = command
                      ->add_option("-D,--duration-list", options->listFiles,
                                   "A file with one DURATION a line (# starts a comment line)")
                      ->type_name("LISTFILE")
                      ->allow_extra_args(false)
                      ->check(CLI::ExistingFile);
    auto* chapters =
        command
            ->add_option("-C,--chapters", options->chapterFiles,
                         "A chapter list (or a DVD's VIDEO_TS folder, IFO file or image) whose "
                         "durations are added (see `varnix chapters --help`)")
            ->type_name("FILE")
            ->allow_extra_args(false);
    command
        ->add_option("--title", options->title,
                     "DVD title that -C reads, from 1 (default: the longest)")
        ->check(CLI::PositiveNumber);
    command->add_flag("--yes", options->yes, "Replace an existing merged file without asking");
    AddExtendedFlag(*command, options->formats);
    command
        ->add_option("AUDIO", options->files,
                     "Audio files to cut (AC3, DTS, MPEG-1 Layer II, "
                     "PCM WAV)")
        ->required();
    command->footer(
        "Piece n of every file is as long as the n-th duration (in the order given), and a last\n"
        "piece takes the rest; pieces are named NAME_<n>.EXT in the destination folder and\n"
        "pieces that come out empty are removed. Without durations every file is copied whole\n"
        "into piece 1. Prints one line per piece written: PATH<TAB>BYTES.\n"
        "Time codes are clamped like typed durations (frames below the frame rate, seconds and\n"
        "minutes to 59, hours to 24; 00:00:00.00 becomes one frame). A media file given as a\n"
        "DURATION lasts what the durations list shows for it; in a LISTFILE, relative names are\n"
        "taken from the list file's folder.\n"
        "-d, -D and -C may be mixed and repeated: their durations follow each other in the order\n"
        "the options are given. -C adds a duration for every chapter of the list but the last\n"
        "(whose rest goes into the tail piece, unless the list says where it ends), exactly as\n"
        "`varnix chapters` prints them.\n"
        "Files that the audio list would refuse (a video file, a WAV file that is not PCM, an\n"
        "unknown format; with -m only the first file is checked) and files that give no piece\n"
        "are named on standard error, and the exit status is then 1.");
    command->callback([command, &context, options, durations, lists, chapters] {
        const TvSystem system = options->system == "pal" ? TvSystem::Pal : TvSystem::Ntsc;
        std::ostream& err = context.streams.err;

        // The durations in the order they were given, -d and -D mixed.
        std::vector<DurationText> texts;
        std::size_t nextDuration = 0;
        std::size_t nextList = 0;
        std::size_t nextChapters = 0;
        for (const CLI::Option* option : command->parse_order()) {
            if (option == durations && nextDuration < durations->results().size()) {
                texts.push_back({Trim(durations->results()[nextDuration++]), {}, "-d"});
            } else if (option == lists && nextList < lists->results().size()) {
                const std::string listFile = lists->results()[nextList++];
                if (!ReadListFile(listFile, texts)) {
                    err << "varnix: " << listFile << ": cannot be read\n";
                    context.FileFailed();
                    return;
                }
            } else if (option == chapters && nextChapters < chapters->results().size()) {
                const std::string chapterFile = chapters->results()[nextChapters++];
                const ChapterReadResult read = ReadChapterFile(
                    chapterFile, ChapterOptions(system, options->title, options->formats));
                if (!read.ok()) {
                    err << "varnix: " << read.problem.Message() << "; nothing was cut\n";
                    context.FileFailed();
                    return;
                }
                for (const auto& duration : ChapterDurations(*read.list)) {
                    texts.push_back(
                        {{}, {}, chapterFile, DurationPair{duration.pal, duration.ntsc}});
                }
            }
        }
        SplitJobRequest request;
        for (const auto& text : texts) {
            DurationRow row;
            std::string message;
            const Resolved resolved =
                ResolveDuration(context, text, system, options->formats, row, message);
            if (resolved != Resolved::Ok) {
                err << "varnix: " << message << "; nothing was cut\n";
                context.status = std::max(
                    context.status, resolved == Resolved::Usage ? kExitUsage : kExitFileFailed);
                return;
            }
            request.durations.push_back(row);
        }

        // The files the audio list would take; with -m the checks apply to the first one only.
        for (const auto& file : options->files) {
            const bool formatChecks = !options->merge || request.inputs.empty();
            const ListRefusal refusal = AudioListRefusal(file, formatChecks, options->formats);
            if (refusal != ListRefusal::None) {
                err << "varnix: " << file << ": " << ListRefusalText(refusal) << '\n';
                context.FileFailed();
                continue;
            }
            request.inputs.push_back(file);
        }
        if (request.inputs.empty() && !options->merge) {
            return;
        }

        ProgressBar bar(err, context.streams.errIsTerminal, "");
        ProgressAwareHost host(err, context.streams.in, context.streams.inIsTerminal, options->yes,
                               bar);
        ScopedHost scope(host);
        request.system = system;
        request.outputFolder = options->folder;
        request.mergeFirst = options->merge;
        request.formats = options->formats;
        SplitProgress progress(bar);
        request.observer = &progress;
        const SplitJobResult result = SplitJob(std::move(request)).Process();
        bar.Clear();

        for (const auto& piece : result.pieces) {
            context.streams.out << piece.path << '\t' << piece.bytes << '\n';
        }
        for (const auto& input : result.inputsWithoutPieces) {
            const std::string problem = FileProblemText(input, options->formats);
            err << "varnix: " << input << ": "
                << (problem.empty() ? std::string("no piece was cut (empty or too short)")
                                    : problem)
                << '\n';
        }
        if (result.failed || result.aborted || !result.inputsWithoutPieces.empty() ||
            (options->merge && result.mergedName.empty())) {
            context.FileFailed();
        }
    });
}

}  // namespace varnix::cli
