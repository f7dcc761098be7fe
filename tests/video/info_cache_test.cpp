// The ".vnf" info cache: what a full scan writes, how it is loaded back, when it is trusted,
// and that no half-written or stale cache ever answers for a video.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <chrono>
#include <csignal>
#include <filesystem>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "scan_helpers.h"
#include "support/recording_host.h"
#include "video/get_video_info.h"
#include "video/info_cache.h"

namespace varnix {
namespace {

using namespace varnix::test;
namespace fs = std::filesystem;

Bytes SampleStream() {
    StreamLayout layout = NtscLayout();
    layout.display = SequenceDisplayExtensionParams{};
    layout.gopUserData = Line21UserDataBytes(0x8A, 0xFF, 0xFE);
    return BuildVideoStream(layout, PullDownPictures(48, 12));
}

std::vector<std::string> FilesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// File permissions do not hold the superuser back.
bool PermissionsAreIgnored() {
#ifdef _WIN32
    return true;
#else
    return geteuid() == 0;
#endif
}

// The description of a video that can be read.
VideoInfo Probe(const std::string& video, AbortFlag* abort = nullptr, IdleCallback idle = {}) {
    return GetVideoInfo(video, nullptr, abort, std::move(idle)).value();
}

VideoInfo WithoutFileTime(VideoInfo info) {
    info.fileTime = 0;
    return info;
}

// Tags of the entries in a cache file.
std::vector<int> CacheTags(const std::string& cacheFile) {
    const Bytes bytes = ReadAll(cacheFile);
    std::vector<int> tags;
    std::size_t at = kVideoInfoSize;
    while (at + 2 <= bytes.size()) {
        const int tag = bytes[at] | (bytes[at + 1] << 8);
        tags.push_back(tag);
        at += 2 + static_cast<std::size_t>(
                      std::max(0, CacheEntryPayloadBytes(static_cast<std::uint16_t>(tag))));
    }
    return tags;
}

void ShiftFileTime(const std::string& file, int seconds) {
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(seconds));
}

TEST(InfoCache, FirstProbeScansAndWritesTheSecondReadsIt) {
    TempDir dir;
    const std::string video = dir.write("title.m2v", SampleStream());
    VideoInfo first = Probe(video);
    EXPECT_EQ(first.frames, 60);
    EXPECT_EQ(first.fileTime, 0u);
    ASSERT_TRUE(FileExists(video + ".vnf"));
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"title.m2v", "title.m2v.vnf"}));

    VideoInfo cached = ReadVideoInfoFile(video + ".vnf").value();
    EXPECT_EQ(cached.fileTime, FileTimeOf(video));
    EXPECT_EQ(WithoutFileTime(cached), first);

    VideoInfo second = Probe(video);
    EXPECT_EQ(second, cached);

    // The answer really comes from the cache: a value changed there comes back.
    cached.longestGOP = 777;
    const auto bytes = cached.ToBytes();
    Bytes file = ReadAll(video + ".vnf");
    std::copy(bytes.begin(), bytes.end(), file.begin());
    const auto time = fs::last_write_time(video);
    WriteAll(video + ".vnf", file);
    fs::last_write_time(video, time);
    second = Probe(video);
    EXPECT_EQ(second.longestGOP, 777u);
}

TEST(InfoCache, ScanFromTheCacheGivesTheSameResults) {
    TempDir dir;
    const std::string video = dir.write("title.m2v", SampleStream());
    const ScanOutcome fresh = ScanFile(video, {.cache = true});
    ASSERT_TRUE(FileExists(video + ".vnf"));
    const ScanOutcome loaded = ScanFile(video, {.cache = true});
    EXPECT_EQ(loaded.results.frames, fresh.results.frames);
    EXPECT_EQ(loaded.results.fields, fresh.results.fields);
    EXPECT_EQ(loaded.results.pictures, fresh.results.pictures);
    EXPECT_EQ(loaded.results.pullDown, fresh.results.pullDown);
    EXPECT_EQ(loaded.results.line21Switch1, fresh.results.line21Switch1);
    EXPECT_EQ(loaded.info, fresh.info);
    ASSERT_EQ(loaded.entries.size(), fresh.entries.size());
    for (std::size_t i = 0; i < fresh.entries.size(); ++i) {
        EXPECT_EQ(loaded.entries[i].tag, fresh.entries[i].tag) << i;
        EXPECT_EQ(loaded.entries[i].values, fresh.entries[i].values) << i;
    }
    // The same headers as a scan that keeps them in memory.
    const ScanOutcome memory = ScanFile(video, {.cache = false});
    EXPECT_EQ(TagsOf(loaded.entries), TagsOf(memory.entries));
    EXPECT_EQ(memory.results.frames, fresh.results.frames);
}

TEST(InfoCache, EntriesOfTheFile) {
    TempDir dir;
    VideoStreamBuilder builder;
    SequenceExtensionParams other;
    other.lowDelay = 1;
    builder.Sequence({}, SequenceExtensionParams{}).GOP({}).Picture({}, PictureCodingParams{});
    builder.Sequence({}, SequenceExtensionParams{}).GOP({}).Picture({}, PictureCodingParams{});
    builder.Sequence({}, other).GOP({}).Picture({}, PictureCodingParams{}).SequenceEnd();
    const std::string video = dir.write("v.m2v", builder.Result());
    Probe(video);
    // Later sequence headers carry their own number and are written in full; an equal
    // sequence extension becomes tag 15, a different one is written in full.
    const std::vector<int> expected = {179, 194, 184, 203, 201, 179, 15,  184, 203,
                                       201, 179, 194, 184, 203, 201, 183, 209};
    EXPECT_EQ(CacheTags(video + ".vnf"), expected);
    EXPECT_EQ(ReadAll(video + ".vnf").size(),
              kVideoInfoSize + 17 * 2 + 3 * 52 + 2 * 52 + 3 * 40 + 3 * 52 + 3 * 80 + 4);
}

TEST(InfoCache, LoadBackGivesSequenceHeadersTheNumberOfTheirLastGOP) {
    TempDir dir;
    StreamLayout layout = Mpeg2Layout();
    layout.sequenceHeaderEveryGOP = false;
    const std::string video =
        dir.write("v.m2v", BuildVideoStream(layout, FramePictures(36, 12, PictureCodingParams{})));
    const ScanOutcome scan = ScanFile(video, {.cache = true});
    ASSERT_FALSE(scan.entries.empty());
    ASSERT_EQ(scan.entries[0].tag, entry_tag::kSequenceHeader);
    EXPECT_EQ(HeaderFromValues<SequenceHeader>(scan.entries[0].values).number, 3u);
    EXPECT_EQ(ScanFile(video, {.cache = false}).entries[0].values[11], 1u);
}

TEST(InfoCache, BitRatesStayRawInTheCache) {
    TempDir dir;
    StreamLayout layout = Mpeg2Layout();
    layout.sequence.bitRateValue = 100;
    const std::string video =
        dir.write("v.m2v", BuildVideoStream(layout, FramePictures(36, 12, PictureCodingParams{})));
    VideoInfo info = Probe(video);
    EXPECT_EQ(info.bitRate, 40000u);  // not raised to 200000
    EXPECT_EQ(info.lowestBitRate, 100u);
    EXPECT_EQ(info.highestBitRate, 100u);
    EXPECT_EQ(info.averageBitRate, 3u);  // the sum of 100 div 100 over three headers
}

TEST(InfoCache, ChangedVideoIsScannedAgain) {
    TempDir dir;
    const Bytes original =
        BuildVideoStream(Mpeg2Layout(), FramePictures(24, 12, PictureCodingParams{}));
    const Bytes longer =
        BuildVideoStream(Mpeg2Layout(), FramePictures(48, 12, PictureCodingParams{}));
    const std::string video = dir.write("v.m2v", original);
    VideoInfo info = Probe(video);
    ASSERT_EQ(info.frames, 24);

    // Touched: same content, new time.
    ShiftFileTime(video, 10);
    info = Probe(video);
    EXPECT_EQ(info.fileTime, 0u) << "expected a new scan";
    const auto cached = ReadVideoInfoFile(video + ".vnf");
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->fileTime, FileTimeOf(video));

    // Re-encoded with the old time stamp: the size field differs.
    const auto time = fs::last_write_time(video);
    Bytes padded = longer;
    padded.resize(TFileBitStream::kScanBufferSize + 10, 0x47);
    WriteAll(video, padded);
    fs::last_write_time(video, time);
    info = Probe(video);
    EXPECT_EQ(info.frames, 48);
    EXPECT_EQ(info.fileBlocks, 1u);
}

TEST(InfoCache, BrokenCacheFilesAreRebuilt) {
    struct Row {
        const char* name;
        std::function<void(Bytes&)> damage;
    };
    const Row rows[] = {
        {"wrong magic", [](Bytes& b) { b[0] = 'X'; }},
        {"shorter than the record", [](Bytes& b) { b.resize(442); }},
        {"empty", [](Bytes& b) { b.clear(); }},
        {"no file time", [](Bytes& b) { std::fill(b.begin() + 179, b.begin() + 187, 0); }},
    };
    for (const Row& row : rows) {
        TempDir dir;
        const std::string video = dir.write(
            "v.m2v", BuildVideoStream(Mpeg2Layout(), FramePictures(24, 12, PictureCodingParams{})));
        Probe(video);
        Bytes cache = ReadAll(video + ".vnf");
        row.damage(cache);
        WriteAll(video + ".vnf", cache);
        const VideoInfo info = Probe(video);
        EXPECT_EQ(info.frames, 24) << row.name;
        EXPECT_EQ(info.fileTime, 0u) << row.name << ": expected a new scan";
        const auto rebuilt = ReadVideoInfoFile(video + ".vnf");
        EXPECT_TRUE(rebuilt && rebuilt->HasMagic()) << row.name;
    }
}

// A cache whose header belongs to the video, followed by hand-made entries.
std::string CacheWithEntries(const TempDir& dir, const std::string& video,
                             const std::vector<std::pair<std::uint16_t, Bytes>>& entries) {
    Probe(video);
    Bytes cache = ReadAll(video + ".vnf");
    cache.resize(kVideoInfoSize);
    for (const auto& [tag, payload] : entries) {
        cache.push_back(static_cast<std::uint8_t>(tag));
        cache.push_back(static_cast<std::uint8_t>(tag >> 8));
        cache.insert(cache.end(), payload.begin(), payload.end());
    }
    const auto time = fs::last_write_time(video);
    WriteAll(video + ".vnf", cache);
    fs::last_write_time(video, time);
    (void)dir;
    return video + ".vnf";
}

Bytes Payload(std::initializer_list<std::uint32_t> values, std::size_t count) {
    Bytes bytes;
    std::vector<std::uint32_t> all(values);
    all.resize(count, 0);
    for (std::uint32_t v : all) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    }
    return bytes;
}

TEST(InfoCache, UnknownTagStopsTheLoadWithAMessage) {
    TempDir dir;
    const std::string video = dir.write(
        "v.m2v", BuildVideoStream(Mpeg2Layout(), FramePictures(24, 12, PictureCodingParams{})));
    CacheWithEntries(dir, video,
                     {{179, Payload({0xB3, 720, 576}, 13)}, {7, {}}, {184, Payload({0xB8}, 10)}});
    RecordingHost host;
    const ScanOutcome scan = ScanFile(video, {.cache = true});
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Incorrect cache file. Error code: 7");
    EXPECT_EQ(TagsOf(scan.entries), (std::vector<int>{179}));
    // The values of the header stay.
    EXPECT_EQ(scan.results.frames, 24);
    EXPECT_EQ(scan.results.width, 720u);
}

TEST(InfoCache, RepeatedHeaderTagsTakeTheFirstPayloads) {
    TempDir dir;
    const std::string video = dir.write(
        "v.m2v", BuildVideoStream(Mpeg2Layout(), FramePictures(24, 12, PictureCodingParams{})));
    CacheWithEntries(dir, video,
                     {{179, Payload({0xB3, 720, 576, 2}, 13)},
                      {194, Payload({0xB5, 1, 0x48}, 13)},
                      {14, {}},
                      {15, {}},
                      {209, {}},
                      {183, Payload({1}, 1)}});
    RecordingHost host;
    const ScanOutcome scan = ScanFile(video, {.cache = true});
    EXPECT_TRUE(host.messages.empty());
    ASSERT_EQ(TagsOf(scan.entries), (std::vector<int>{179, 194, 179, 194, 183}));
    EXPECT_EQ(scan.entries[2].values, scan.entries[0].values);
    EXPECT_EQ(scan.entries[3].values, scan.entries[1].values);
}

TEST(InfoCache, EntriesCutShortEndTheLoadQuietly) {
    TempDir dir;
    const std::string video = dir.write(
        "v.m2v", BuildVideoStream(Mpeg2Layout(), FramePictures(24, 12, PictureCodingParams{})));
    Bytes shortPicture = Payload({0, 0, 1}, 13);
    shortPicture.resize(30);
    CacheWithEntries(dir, video, {{179, Payload({0xB3}, 13)}, {203, shortPicture}});
    RecordingHost host;
    const ScanOutcome scan = ScanFile(video, {.cache = true});
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(TagsOf(scan.entries), (std::vector<int>{179}));
    EXPECT_EQ(scan.results.frames, 24);
}

TEST(InfoCache, AbortLeavesNoCacheBehind) {
    TempDir dir;
    const std::string video = dir.write(
        "v.m2v", BuildVideoStream(Mpeg2Layout(), FramePictures(240, 12, PictureCodingParams{})));
    AbortFlag abort{0};
    const VideoInfo info = Probe(video, &abort, [&] { abort = 1; });
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"v.m2v"}));
    EXPECT_LT(info.frames, 240);
    EXPECT_GT(info.frames, 0);
}

TEST(InfoCache, NoCacheFileUnderItsNameWhileTheScanRuns) {
    TempDir dir;
    const std::string video = dir.write(
        "v.m2v", BuildVideoStream(Mpeg2Layout(), FramePictures(240, 12, PictureCodingParams{})));
    std::vector<std::vector<std::string>> seen;
    Probe(video, nullptr, [&] { seen.push_back(FilesIn(dir)); });
    ASSERT_FALSE(seen.empty());
    for (const auto& files : seen) {
        EXPECT_EQ(std::count(files.begin(), files.end(), "v.m2v.vnf"), 0);
        EXPECT_EQ(files.size(), 2u);  // the video and the cache being written
    }
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"v.m2v", "v.m2v.vnf"}));
}

TEST(InfoCache, WithoutACacheFileTheResultsAreTheSame) {
    TempDir dir;
    const Bytes stream = SampleStream();
    const std::string normal = dir.write("v.m2v", stream);
    // A name so long that ".vnf" cannot be appended to it: the cache cannot be created.
    const std::string longName = dir.write(std::string(250, 'n') + ".m2v", stream);
    EXPECT_EQ(Probe(longName), Probe(normal));
    EXPECT_FALSE(FileExists(longName + ".vnf"));
    EXPECT_EQ(FilesIn(dir).size(), 3u);  // two videos, one cache, no leftovers
}

// A cache that cannot be written (the disk is full, here a file size limit) is no reason to
// fail the scan: its results stand, and no cache or part of one is left behind.
void ScanWithFileSizeLimit(std::uint64_t limit) {
    TempDir dir;
    const Bytes stream = SampleStream();
    const std::string limited = dir.write("a.m2v", stream);
    const std::string free = dir.write("b.m2v", stream);
    VideoInfo expected = Probe(free);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) {
        std::_Exit(2);
    }
    VideoInfo info = Probe(limited);
    if (!(info == expected)) {
        std::_Exit(3);
    }
    if (FilesIn(dir) != std::vector<std::string>{"a.m2v", "b.m2v", "b.m2v.vnf"}) {
        std::_Exit(4);
    }
    std::_Exit(0);
}

TEST(InfoCache, AFailedCacheWriteKeepsTheScanAndLeavesNoFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_GT(SampleStream().size(), 2000u);
    // 100 bytes: not even the record fits; 2000: the entries do not.
    for (const std::uint64_t limit : {100u, 2000u}) {
        EXPECT_EXIT(ScanWithFileSizeLimit(limit), ::testing::ExitedWithCode(0), "") << limit;
    }
}

TEST(InfoCache, VideosBeyondFourGiBAreMatchedByTheirWholeSize) {
    VideoInfo cached = VideoInfo::WithMagic();
    cached.fileTime = 132000000000000000;
    const std::uint64_t size = 6ull << 30;
    cached.fileBlocks = static_cast<std::uint32_t>(size / TFileBitStream::kScanBufferSize);
    EXPECT_EQ(cached.fileBlocks, 12288u);
    EXPECT_TRUE(CacheMatchesVideo(cached, cached.fileTime, size));
    // The blocks of the size's low 32 bits (2 GiB) belong to another file.
    cached.fileBlocks = static_cast<std::uint32_t>((size & 0xFFFFFFFFu) / 524280);
    EXPECT_FALSE(CacheMatchesVideo(cached, cached.fileTime, size));
}

TEST(InfoCache, ReadOnlyFolder) {
    if (PermissionsAreIgnored()) {
        GTEST_SKIP() << "permissions are not enforced for this user";
    }
    TempDir dir;
    const std::string video = dir.write("v.m2v", SampleStream());
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::remove);
    VideoInfo info = Probe(video);
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(info.frames, 60);
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"v.m2v"}));
}

TEST(InfoCache, UnreadableCacheIsReplacedByANewScan) {
    if (PermissionsAreIgnored()) {
        GTEST_SKIP() << "permissions are not enforced for this user";
    }
    TempDir dir;
    const std::string video = dir.write("v.m2v", SampleStream());
    Probe(video);
    fs::permissions(video + ".vnf", fs::perms::none);
    const VideoInfo info = Probe(video);
    EXPECT_EQ(info.frames, 60);
    EXPECT_EQ(info.fileTime, 0u) << "expected a new scan";
    EXPECT_TRUE(ReadVideoInfoFile(video + ".vnf"));
}

TEST(InfoCache, ProgressWhileLoadingAValidCache) {
    TempDir dir;
    const std::string video = dir.write(
        "v.m2v", BuildVideoStream(Mpeg2Layout(), FramePictures(400, 12, PictureCodingParams{})));
    ScanFile(video, {.cache = true});
    ProgressState progress;
    TM2VStream stream(video);
    stream.SetProgress(&progress);
    stream.Scan(false, false);
    EXPECT_EQ(progress.maximum(), 400);
    EXPECT_EQ(progress.minimum(), 340);
    EXPECT_GE(progress.position(), 340);
    EXPECT_LE(progress.position(), 400);
}

TEST(InfoCache, MissingVideoHasNoDescription) {
    TempDir dir;
    RecordingHost host;
    const std::string name = dir.file("gone.m2v");
    EXPECT_FALSE(GetVideoInfo(name, nullptr, nullptr, {}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Unable to open file " + name + " for reading.");
}

}  // namespace
}  // namespace varnix
