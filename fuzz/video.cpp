// Fuzz bodies of the MPEG video scan: with the info cache (written, read back, or hostile) and
// without it.

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "core/progress.h"
#include "harness.h"
#include "probe/duration_pair.h"
#include "probe/media_duration.h"
#include "probe/report.h"
#include "video/get_video_info.h"
#include "video/m2v_stream.h"

namespace varnix::fuzz {

namespace {

const char* const kVideoName = "input.m2v";

void NoIdle() {}

// A scan that the abort flag stops leaves neither a cache nor a temporary file; one that ends
// before it looks at the flag leaves its complete cache, which is removed again here.
void AbortedScanLeavesNothing(const std::string& input) {
    AbortFlag abort{1};
    TM2VStream stream(input);
    stream.SetAbortFlag(&abort);
    stream.Scan(true, false);
    const std::string cache = input + kVideoCacheSuffix;
    if (stream.Aborted()) {
        Check(FilesIn(WorkFolder()) == std::vector<std::string>{kVideoName},
              "an aborted scan left a file behind");
    } else {
        Check(FilesIn(WorkFolder()) ==
                  std::vector<std::string>{kVideoName, std::string(kVideoName) + kVideoCacheSuffix},
              "a scan that ran to its end left no cache or more files");
        DeleteFileIfExists(cache);
    }
}

// Scans the video twice: the second look answers from the cache the first one wrote, and must
// describe the video exactly as the scan did.
void ScanThenReadCache(Bytes video) {
    const std::string input = WriteWorkFile(kVideoName, video);
    ProgressState progress;
    try {
        AbortedScanLeavesNothing(input);
    } catch (const EParserFileException&) {
        Check(video.empty(), "a video with bytes could not be read");
        return;
    }
    const std::optional<VideoInfo> scanned = GetVideoInfo(input, &progress, nullptr, NoIdle);
    Check(scanned.has_value(), "a video that the stream could read gave no description");
    Check(FilesIn(WorkFolder()) ==
              std::vector<std::string>{kVideoName, std::string(kVideoName) + kVideoCacheSuffix},
          "a complete scan did not leave exactly its cache");
    std::optional<VideoInfo> cached = GetVideoInfo(input, &progress, nullptr, NoIdle);
    Check(cached.has_value() && cached->fileTime != 0, "the cache holds no file time");
    cached->fileTime = 0;
    Check(cached == scanned, "the cache describes the video otherwise than the scan did");

    // The stream itself answering from the cache, and the report that reads it.
    TM2VStream stream(input);
    stream.SetProgress(&progress);
    stream.Scan(true, false);
    ShowMediaInformation(input, false, &progress);
}

// A video beside a cache file that claims to belong to it (magic, file time and size right)
// but whose record and entries come from the fuzzer.
void ScanBesideHostileCache(Bytes rest) {
    const std::size_t announced =
        rest.size() >= 2 ? static_cast<std::size_t>(rest[0] | (rest[1] << 8)) : 0;
    const Bytes tail = rest.subspan(std::min<std::size_t>(2, rest.size()));
    const Bytes video = tail.first(std::min(announced, tail.size()));
    const Bytes cacheBytes = tail.subspan(video.size());

    const std::string input = WriteWorkFile(kVideoName, video);
    std::vector<std::uint8_t> cache(kVideoInfoSize, 0);
    std::copy_n(cacheBytes.begin(), std::min(cacheBytes.size(), kVideoInfoSize), cache.begin());
    VideoInfo patch = VideoInfo::WithMagic();
    patch.fileTime = FileTimeOf(input);
    patch.fileBlocks = static_cast<std::uint32_t>(video.size() / TFileBitStream::kScanBufferSize);
    const auto patched = patch.ToBytes();
    std::copy_n(patched.begin(), kVideoInfoMagicSize, cache.begin());
    namespace off = video_info_offset;
    std::copy_n(patched.begin() + off::kFileBlocks, 4, cache.begin() + off::kFileBlocks);
    std::copy_n(patched.begin() + off::kFileTime, 8, cache.begin() + off::kFileTime);
    if (cacheBytes.size() > kVideoInfoSize) {
        cache.insert(cache.end(), cacheBytes.begin() + kVideoInfoSize, cacheBytes.end());
    }
    WriteWorkFile(std::string(kVideoName) + kVideoCacheSuffix, cache);

    ProgressState progress;
    try {
        TM2VStream stream(input);
        stream.SetProgress(&progress);
        stream.Scan(true, false);
        WriteWorkFile(std::string(kVideoName) + kVideoCacheSuffix, cache);
        Check(GetVideoInfo(input, &progress, nullptr, NoIdle).has_value(),
              "a video that the stream could read gave no description");
        GetDurationPair(input, nullptr, &progress);
        MediaDurationForSystem(input, TvSystem::Pal, nullptr, &progress);
        MediaDurationForSystem(input, TvSystem::Ntsc, nullptr, &progress);
        ShowMediaInformation(input, false, &progress);
    } catch (const EParserFileException&) {
        Check(video.empty(), "a video with bytes could not be read");
    }
}

}  // namespace

void FuzzVideoCache(Bytes data) {
    ClearWorkFolder();
    if (data.empty()) {
        return;
    }
    if ((data[0] & 1) == 0) {
        ScanThenReadCache(data.subspan(1));
    } else {
        ScanBesideHostileCache(data.subspan(1));
    }
}

void FuzzVideoQuick(Bytes data) {
    ClearWorkFolder();
    const std::string input = WriteWorkFile(kVideoName, data);
    try {
        ProgressState progress;
        TM2VStream quick(input);
        quick.SetQuick(true);
        quick.SetCache(false);
        quick.SetProgress(&progress);
        quick.Scan(false, false);

        TM2VStream full(input);
        full.SetCache(false);
        full.SetBlockProgress(false);
        full.SetProgress(&progress);
        full.SetMessageCallback([](const std::string&) {});
        full.Scan(true, true);
        const auto& entries = full.Entries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            Check(entries[i].number == i + 1, "header entries misnumbered");
        }
    } catch (const EParserFileException&) {
        Check(data.empty(), "a video with bytes could not be read");
    }
    Check(FilesIn(WorkFolder()) == std::vector<std::string>{kVideoName},
          "a scan without cache wrote a file");
}

}  // namespace varnix::fuzz
