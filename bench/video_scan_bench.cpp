// Speed of the MPEG video scan on a 500 MB PAL MPEG-2 stream (about 5 Mbit/s, GOPs of 12
// pictures with 36 slices each, as on a DVD), built once per run in a temporary folder:
//   - the full scan without cache, and the first probe that also writes the info cache;
//   - the second probe, which only reads the cache;
//   - the full scan side by side with `ffprobe -count_packets` (when ffprobe is installed),
//     reporting ffprobe's time divided by the scan's.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/file.h"
#include "core/file_helpers.h"
#include "support/video_builders.h"
#include "video/get_video_info.h"
#include "video/m2v_stream.h"

namespace {

namespace fs = std::filesystem;
using namespace varnix;
using namespace varnix::test;

constexpr std::uint64_t kStreamBytes = 500ull * 1000 * 1000;

class BenchStream {
  public:
    static const BenchStream& Get() {
        static const BenchStream stream;
        return stream;
    }
    ~BenchStream() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    const std::string& file() const { return file_; }
    std::uint64_t size() const { return size_; }

  private:
    BenchStream() {
        folder_ = fs::temp_directory_path() / ("varnix-bench-" + std::to_string(std::rand()));
        fs::create_directories(folder_);
        file_ = (folder_ / "bench-pal.m2v").string();
        // One GOP of pictures, IBBPBBPBBPBB in coded order, reused with new GOP headers.
        VideoStreamBuilder pictures;
        std::uint32_t seed = 1;
        for (const StreamPicture& p : FramePictures(12, 12, PictureCodingParams{})) {
            pictures.Add(PictureHeaderBytes(p.header)).Add(PictureCodingExtensionBytes(*p.coding));
            const std::size_t sliceBytes =
                p.header.codingType == 1 ? 2000 : (p.header.codingType == 2 ? 1000 : 450);
            for (std::uint32_t row = 1; row <= 36; ++row) {
                pictures.Add(SliceBytes(row, sliceBytes, seed++));
            }
        }
        SequenceHeaderParams header;
        header.bitRateValue = 24500;
        const Bytes sequence = SequenceHeaderBytes(header);
        const Bytes extension = SequenceExtensionBytes({});
        std::ofstream out(file_, std::ios::binary);
        const auto write = [&out](const Bytes& bytes) {
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            return bytes.size();
        };
        std::uint64_t written = 0;
        for (std::uint32_t frames = 0; written < kStreamBytes; frames += 12) {
            GOPParams gop;
            gop.hours = frames / 90000;
            gop.minutes = (frames / 1500) % 60;
            gop.seconds = (frames / 25) % 60;
            gop.pictures = frames % 25;
            written += write(sequence) + write(extension) + write(GOPHeaderBytes(gop)) +
                       write(pictures.Result());
        }
        write(SequenceEndBytes());
        out.close();
        size_ = FileSizeOf(file_);
        ReadWhole();  // into the page cache
    }

  public:
    // Reads the file once through, as `cat` would; returns the seconds taken.
    double ReadWhole() const {
        const auto start = std::chrono::steady_clock::now();
        BinaryFile in(file_, BinaryFile::Mode::Read);
        std::vector<char> block(1 << 20);
        std::uint64_t total = 0;
        while (const std::size_t got = in.read(block.data(), block.size())) {
            total += got;
        }
        benchmark::DoNotOptimize(total);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

  private:
    fs::path folder_;
    std::string file_;
    std::uint64_t size_ = 0;
};

std::int64_t FullScan(const std::string& file) {
    TM2VStream stream(file);
    stream.SetCache(false);
    stream.Scan(false, false);
    return stream.Results().frames;
}

void BM_FullScanWithoutCache(benchmark::State& state) {
    const BenchStream& stream = BenchStream::Get();
    std::int64_t frames = 0;
    for (auto _ : state) {
        frames = FullScan(stream.file());
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
    state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_FullScanWithoutCache)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FirstProbeWritingTheCache(benchmark::State& state) {
    const BenchStream& stream = BenchStream::Get();
    std::optional<VideoInfo> info;
    for (auto _ : state) {
        state.PauseTiming();
        DeleteFileIfExists(stream.file() + kVideoCacheSuffix);
        state.ResumeTiming();
        info = GetVideoInfo(stream.file(), nullptr, nullptr, {});
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
    state.counters["frames"] = info ? static_cast<double>(info->frames) : -1.0;
    state.counters["cache_bytes"] =
        static_cast<double>(FileSizeOf(stream.file() + kVideoCacheSuffix));
}
BENCHMARK(BM_FirstProbeWritingTheCache)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SecondProbeFromTheCache(benchmark::State& state) {
    const BenchStream& stream = BenchStream::Get();
    GetVideoInfo(stream.file(), nullptr, nullptr, {});
    for (auto _ : state) {
        const std::optional<VideoInfo> info = GetVideoInfo(stream.file(), nullptr, nullptr, {});
        benchmark::DoNotOptimize(info);
    }
}
BENCHMARK(BM_SecondProbeFromTheCache)->Unit(benchmark::kMicrosecond);

bool HaveFfprobe() {
#ifdef _WIN32
    return false;
#else
    return std::system("command -v ffprobe >/dev/null 2>&1") == 0;
#endif
}

// The scan and ffprobe on the same file in the same iteration; the ratio is ffprobe's time
// over the scan's (the goal is at least 2).
void BM_ScanBesideFfprobe(benchmark::State& state) {
    if (!HaveFfprobe()) {
        state.SkipWithError("ffprobe is not installed");
        return;
    }
    const BenchStream& stream = BenchStream::Get();
    const std::string command =
        "ffprobe -v quiet -count_packets -select_streams v "
        "-show_entries stream=nb_read_packets -of csv=p=0 '" +
        stream.file() + "' >/dev/null 2>&1";
    double scanTotal = 0;
    double ffprobeTotal = 0;
    double readTotal = 0;
    for (auto _ : state) {
        readTotal += stream.ReadWhole();
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(FullScan(stream.file()));
        const double scan =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffprobe failed");
            return;
        }
        const double ffprobe =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(scan);
        scanTotal += scan;
        ffprobeTotal += ffprobe;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["scan_s"] = scanTotal / n;
    state.counters["ffprobe_s"] = ffprobeTotal / n;
    state.counters["read_s"] = readTotal / n;
    state.counters["ffprobe_over_scan"] = ffprobeTotal / scanTotal;
}
BENCHMARK(BM_ScanBesideFfprobe)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
