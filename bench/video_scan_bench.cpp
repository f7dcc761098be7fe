// Speed of the MPEG video scan on a 500 MB PAL MPEG-2 stream (about 5 Mbit/s, GOPs of 12
// pictures with 36 slices each, as on a DVD), built once per run in a temporary folder together
// with the same video in a program stream (DVD-sized packs) and a transport stream:
//   - the full scan without cache, and the first probe that also writes the info cache;
//   - the second probe, which only reads the cache;
//   - side by side in one iteration, page cache warm: `cat FILE > /dev/null`, the full scans of
//     the elementary, program and transport streams, and `ffprobe -count_packets` (when ffprobe is
//     installed). Goals: the scan at most 3 times cat and at most a quarter of ffprobe; the
//     program and transport streams at most 1.5 times the elementary stream.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "core/file.h"
#include "core/file_helpers.h"
#include "support/container_builders.h"
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
    const std::string& programStream() const { return programStream_; }
    const std::string& transportStream() const { return transportStream_; }
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
        WrapInContainers();
        ReadWhole();  // into the page cache
    }

    // The elementary stream in runs of 90 PES packets: packs of 2025 video bytes with an audio
    // packet and padding beside them; transport packets whose PES packets fill 128 packets each,
    // so that the continuity counters run on from one run to the next.
    void WrapInContainers() {
        programStream_ = (folder_ / "bench-pal.mpg").string();
        transportStream_ = (folder_ / "bench-pal.ts").string();
        std::ifstream in(file_, std::ios::binary);
        std::ofstream ps(programStream_, std::ios::binary);
        std::ofstream ts(transportStream_, std::ios::binary);
        constexpr std::size_t kPES = 184 * 128 - 14;
        Bytes run(kPES * 90);
        while (in.read(reinterpret_cast<char*>(run.data()),
                       static_cast<std::streamsize>(run.size())) ||
               in.gcount() > 0) {
            run.resize(static_cast<std::size_t>(in.gcount()));
            Bytes packs = BuildProgramStream(run, {.payloadBytes = 2025});
            packs.resize(packs.size() - 4);  // the end code
            ps.write(reinterpret_cast<const char*>(packs.data()),
                     static_cast<std::streamsize>(packs.size()));
            const Bytes packets = BuildTransportStream(run, {.pesBytes = kPES}).bytes;
            ts.write(reinterpret_cast<const char*>(packets.data()),
                     static_cast<std::streamsize>(packets.size()));
            run.resize(kPES * 90);
        }
    }

  public:
    // Reads the files once through, as `cat` would; returns the seconds the elementary stream
    // took.
    double ReadWhole() const {
        ReadWhole(programStream_);
        ReadWhole(transportStream_);
        return ReadWhole(file_);
    }
    static double ReadWhole(const std::string& file) {
        const auto start = std::chrono::steady_clock::now();
        BinaryFile in(file, BinaryFile::Mode::Read);
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
    std::string programStream_;
    std::string transportStream_;
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

double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// One iteration runs everything once, in turn, on the warm page cache: cat, the three scans and
// ffprobe. The manual time is the elementary stream's scan; the counters hold every time and the
// ratios of the goals.
void BM_ScanSideBySide(benchmark::State& state) {
    if (!HaveFfprobe()) {
        state.SkipWithError("ffprobe is not installed");
        return;
    }
    const BenchStream& stream = BenchStream::Get();
    const std::string cat = "cat '" + stream.file() + "' > /dev/null";
    const std::string ffprobe =
        "ffprobe -v error -count_packets -show_entries stream=nb_read_packets '" + stream.file() +
        "' >/dev/null 2>&1";
    std::int64_t frames[3] = {0, 0, 0};
    double catTotal = 0, esTotal = 0, psTotal = 0, tsTotal = 0, ffprobeTotal = 0;
    for (auto _ : state) {
        stream.ReadWhole();
        bool failed = false;
        catTotal += Seconds([&] { failed |= std::system(cat.c_str()) != 0; });
        const double es = Seconds([&] { frames[0] = FullScan(stream.file()); });
        psTotal += Seconds([&] { frames[1] = FullScan(stream.programStream()); });
        tsTotal += Seconds([&] { frames[2] = FullScan(stream.transportStream()); });
        ffprobeTotal += Seconds([&] { failed |= std::system(ffprobe.c_str()) != 0; });
        if (failed) {
            state.SkipWithError("cat or ffprobe failed");
            return;
        }
        if (frames[1] != frames[0] || frames[2] != frames[0]) {
            state.SkipWithError("the containers gave another frame count");
            return;
        }
        esTotal += es;
        state.SetIterationTime(es);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cat_s"] = catTotal / n;
    state.counters["es_s"] = esTotal / n;
    state.counters["ps_s"] = psTotal / n;
    state.counters["ts_s"] = tsTotal / n;
    state.counters["ffprobe_s"] = ffprobeTotal / n;
    state.counters["es_over_cat"] = esTotal / catTotal;          // goal: at most 3
    state.counters["es_over_ffprobe"] = esTotal / ffprobeTotal;  // goal: at most 0.25
    state.counters["ps_over_es"] = psTotal / esTotal;            // goal: at most 1.5
    state.counters["ts_over_es"] = tsTotal / esTotal;            // goal: at most 1.5
    state.counters["frames"] = static_cast<double>(frames[0]);
}
BENCHMARK(BM_ScanSideBySide)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
