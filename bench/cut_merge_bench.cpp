// Cutting and merging against the system's own copy tools, side by side in one run on the same
// disk with the page cache warm:
//  - splitting a 1 GiB AC3 file into 10 pieces against `cp` of the same file,
//  - merging 10 files of 100 MB against `cat` of them into one file.
// Each reports the times, their ratio (the goal is at most 1.3) and the peak memory of the
// process (the goal is under 32 MiB whatever the file size). The files are deleted afterwards.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "core/file_helpers.h"
#include "cut/split_job.h"
#include "formats/ac3.h"
#include "merge/merge_engine.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint64_t kMergePart = 100'000'000;
constexpr int kMergeParts = 10;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Appends a space and the quoted path to a shell command.
void AddPath(std::string& command, const std::string& path) {
    command.append(" '").append(path).append("'");
}

// Runs a shell command and returns how long it took.
double TimeCommand(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
    return Seconds(Clock::now() - start);
}

// One 448 kbit/s 3/2 + LFE frame of 1792 bytes at 48 kHz.
std::vector<char> AC3Frame() {
    std::vector<char> frame(1792);
    for (std::size_t i = 7; i < frame.size(); ++i) {
        frame[i] = static_cast<char>(0x10 + i % 0x60);
    }
    frame[0] = '\x0B';
    frame[1] = '\x77';
    frame[4] = static_cast<char>(30);  // fscod 0, frmsizecod 30
    frame[5] = '\x40';                 // bsid 8
    frame[6] = '\xE1';                 // acmod 7, LFE
    return frame;
}

// Writes about `bytes` bytes of repeated frames through a 1 MiB block.
void WriteFrames(const std::string& name, std::uint64_t bytes) {
    const std::vector<char> frame = AC3Frame();
    std::vector<char> block;
    while (block.size() + frame.size() <= (1u << 20)) {
        block.insert(block.end(), frame.begin(), frame.end());
    }
    std::ofstream out(name, std::ios::binary);
    for (std::uint64_t written = 0; written < bytes;) {
        const std::uint64_t n = std::min<std::uint64_t>(block.size(), bytes - written);
        out.write(block.data(), static_cast<std::streamsize>(n - n % frame.size()));
        written += n - n % frame.size();
        if (n < frame.size()) {
            break;
        }
    }
}

class BenchFolder {
  public:
    BenchFolder() {
        path_ = fs::temp_directory_path() /
                ("varnix-cut-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
    }
    ~BenchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

void WarmCache(const std::vector<std::string>& files) {
    std::string command = "cat";
    for (const auto& f : files) {
        AddPath(command, f);
    }
    TimeCommand(command.append(" > /dev/null"));
}

void BM_SplitOneGiBAC3IntoTenPiecesVsCp(benchmark::State& state) {
    BenchFolder folder;
    const std::string input = folder.file("big.ac3");
    WriteFrames(input, kGiB);
    const std::uint64_t size = varnix::FileSizeOf(input);
    WarmCache({input});
    // Nine durations of a tenth of the stream each (1792-byte frames of 32 ms), and the tail.
    const std::int64_t frames = static_cast<std::int64_t>(size / 1792);
    const varnix::TimeCode tenth =
        varnix::FramesToTimeCode(frames * 32 / 10 / 40, 25.0);  // video frames of 40 ms
    const std::string out = folder.file("pieces");
    double cpTotal = 0;
    double splitTotal = 0;
    for (auto _ : state) {
        TimeCommand("sync");
        std::string cp = "cp";
        AddPath(cp, input);
        AddPath(cp, folder.file("copy.ac3"));
        cpTotal += TimeCommand(cp);
        fs::remove(folder.file("copy.ac3"));
        TimeCommand("sync");

        varnix::SplitJobRequest request;
        request.durations.assign(9, varnix::DurationPair{tenth, tenth});
        request.system = varnix::TvSystem::Pal;
        request.outputFolder = out;
        request.inputs = {input};
        const auto start = Clock::now();
        const auto result = varnix::SplitJob(request).Process();
        const double split = Seconds(Clock::now() - start);
        splitTotal += split;
        state.SetIterationTime(split);
        if (result.pieces.size() != 10) {
            state.SkipWithError("the split did not give 10 pieces");
            break;
        }
        fs::remove_all(out);
    }
    state.counters["cp_s"] = cpTotal / static_cast<double>(state.iterations());
    state.counters["split_s"] = splitTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = cpTotal > 0 ? splitTotal / cpTotal : 0;
    state.counters["peak_MiB"] = PeakMiB();
    state.SetBytesProcessed(static_cast<std::int64_t>(size) * state.iterations());
}
BENCHMARK(BM_SplitOneGiBAC3IntoTenPiecesVsCp)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

void BM_MergeTenFilesOf100MBVsCat(benchmark::State& state) {
    BenchFolder folder;
    std::vector<std::string> parts;
    std::string catCommand = "cat";
    for (int i = 0; i < kMergeParts; ++i) {
        parts.push_back(folder.file("part" + std::to_string(i) + ".ac3"));
        WriteFrames(parts.back(), kMergePart);
        AddPath(catCommand, parts.back());
    }
    WarmCache(parts);
    const std::string catResult = folder.file("cat.ac3");
    const std::string result = folder.file("merged.ac3");
    double catTotal = 0;
    double mergeTotal = 0;
    for (auto _ : state) {
        TimeCommand("sync");
        std::string cat = catCommand;
        cat.append(" >");
        AddPath(cat, catResult);
        catTotal += TimeCommand(cat);
        fs::remove(catResult);
        TimeCommand("sync");

        varnix::MergeRequest request;
        request.files = parts;
        request.resultName = result;
        const auto start = Clock::now();
        const varnix::MergeOutcome outcome = varnix::MergeFiles(request);
        const double merge = Seconds(Clock::now() - start);
        mergeTotal += merge;
        state.SetIterationTime(merge);
        if (outcome.status != varnix::MergeStatus::Merged) {
            state.SkipWithError("the merge failed");
            break;
        }
        fs::remove(result);
    }
    state.counters["cat_s"] = catTotal / static_cast<double>(state.iterations());
    state.counters["merge_s"] = mergeTotal / static_cast<double>(state.iterations());
    state.counters["ratio"] = catTotal > 0 ? mergeTotal / catTotal : 0;
    state.counters["peak_MiB"] = PeakMiB();
}
BENCHMARK(BM_MergeTenFilesOf100MBVsCat)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
