// Probing long audio files: the MPEG audio frame walk of a one-hour Layer II stream, the AC3
// frame walk of a one-hour 44.1 kHz stream, and the header-only probes of one-hour AC3, DTS and
// WAV files. The files are written once into a temporary folder (the page cache is then warm).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "formats/ac3.h"
#include "formats/mpa_file.h"
#include "probe/media_duration.h"

namespace {

namespace fs = std::filesystem;

class BenchFiles {
  public:
    BenchFiles() {
        folder_ =
            fs::temp_directory_path() / ("varnix-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
        WriteLayerII();
        WriteAC3(ac3At44k1(), 1, 20, 103359);  // 192 kbit/s, 834/836-byte frames
        WriteAC3(ac3At48k(), 0, 30, 112500);   // 448 kbit/s, 1792-byte frames
        WriteSparseDTS();
        WriteSparseWAV();
    }
    ~BenchFiles() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    std::string layerII() const { return (folder_ / "hour.mp2").string(); }
    std::string ac3At44k1() const { return (folder_ / "hour-44k1.ac3").string(); }
    std::string ac3At48k() const { return (folder_ / "hour-48k.ac3").string(); }
    std::string dts() const { return (folder_ / "hour.dts").string(); }
    std::string wav() const { return (folder_ / "hour.wav").string(); }

  private:
    static void Fill(std::vector<char>& frame, std::size_t from) {
        for (std::size_t i = from; i < frame.size(); ++i) {
            frame[i] = static_cast<char>(0x10 + i % 0x60);
        }
    }

    // 150,000 frames of MPEG-1 Layer II with CRC, 48 kHz, 192 kbit/s: one hour, 86.4 MB.
    void WriteLayerII() const {
        std::vector<char> frame(576);
        Fill(frame, 4);
        frame[0] = '\xFF';
        frame[1] = '\xFC';
        frame[2] = '\xA4';
        frame[3] = '\x00';
        std::ofstream out(layerII(), std::ios::binary);
        for (int i = 0; i < 150000; ++i) {
            out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
        }
    }

    // AC3 frames, 3/2 with LFE; at 44.1 kHz the odd frame-size code every second frame.
    static void WriteAC3(const std::string& name, int fscod, int code, int frames) {
        std::ofstream out(name, std::ios::binary);
        for (int i = 0; i < frames; ++i) {
            const int frmsizecod = fscod == 1 ? code + i % 2 : code;
            const std::size_t words =
                varnix::AC3FrameSizeTable[static_cast<std::size_t>(fscod)]
                                         [static_cast<std::size_t>(frmsizecod)];
            std::vector<char> frame(words * 2);
            Fill(frame, 7);
            frame[0] = '\x0B';
            frame[1] = '\x77';
            frame[2] = frame[3] = 0;
            frame[4] = static_cast<char>((fscod << 6) | frmsizecod);
            frame[5] = '\x40';
            frame[6] = '\xEB';
            out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
        }
    }

    // Two DTS frames, then a hole up to one hour of 1006-byte frames (340 MB, sparse on disk).
    void WriteSparseDTS() const {
        const unsigned char header[] = {0x7F, 0xFE, 0x80, 0x01, 0xFC, 0x3C, 0x3E, 0xD2,
                                        0x75, 0xE0, 0x05, 0x38, 0x00, 0x09, 0xEF};
        std::vector<char> frame(1006);
        Fill(frame, sizeof header);
        std::copy(std::begin(header), std::end(header), frame.begin());
        {
            std::ofstream out(dts(), std::ios::binary);
            out.write(frame.data(), 1006);
            out.write(frame.data(), 1006);
        }
        fs::resize_file(dts(), 337500ull * 1006);
    }

    // A 44-byte header announcing one hour of 48 kHz 16-bit stereo, then a hole (691 MB).
    void WriteSparseWAV() const {
        const std::uint32_t data = 48000u * 4 * 3600;
        const auto le = [](std::uint32_t v) {
            return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                               static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
        };
        std::string header = "RIFF" + le(data + 36) + "WAVEfmt " + le(16) +
                             std::string("\x01\x00\x02\x00", 4) + le(48000) + le(192000) +
                             std::string("\x04\x00\x10\x00", 4) + "data" + le(data);
        {
            std::ofstream out(wav(), std::ios::binary);
            out.write(header.data(), static_cast<std::streamsize>(header.size()));
        }
        fs::resize_file(wav(), 44ull + data);
    }

    fs::path folder_;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

void BM_ReadMPAInfo_OneHourLayerII(benchmark::State& state) {
    const std::string file = Files().layerII();
    for (auto _ : state) {
        const varnix::MPAInfo info = varnix::ReadMPAInfo(file, true).value_or(varnix::MPAInfo{});
        if (info.frameCount != 150000) {
            state.SkipWithError("wrong frame count");
        }
        benchmark::DoNotOptimize(info);
    }
}
BENCHMARK(BM_ReadMPAInfo_OneHourLayerII)->Unit(benchmark::kMillisecond);

void BM_AC3TotalSamples_OneHour44k1Walk(benchmark::State& state) {
    const std::string file = Files().ac3At44k1();
    for (auto _ : state) {
        const std::uint64_t samples = varnix::GetAC3TotalSamples(file);
        if (samples != 103359ull * 1536) {
            state.SkipWithError("wrong sample count");
        }
        benchmark::DoNotOptimize(samples);
    }
}
BENCHMARK(BM_AC3TotalSamples_OneHour44k1Walk)->Unit(benchmark::kMillisecond);

void BM_GetMediaDuration(benchmark::State& state, std::string (BenchFiles::*which)() const) {
    const std::string file = (Files().*which)();
    for (auto _ : state) {
        const varnix::TimeCode tc = varnix::GetMediaDuration(file, nullptr, nullptr, 25.0);
        if (tc.hours != 1 || tc.minutes != 0 || tc.seconds != 0) {
            state.SkipWithError("wrong duration");
        }
        benchmark::DoNotOptimize(tc);
    }
}
BENCHMARK_CAPTURE(BM_GetMediaDuration, OneHourAC3At48k, &BenchFiles::ac3At48k)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_GetMediaDuration, OneHourDTS, &BenchFiles::dts)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_GetMediaDuration, OneHourWAV, &BenchFiles::wav)->Unit(benchmark::kMicrosecond);

}  // namespace
