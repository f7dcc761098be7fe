#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "core/file_helpers.h"
#include "formats/wav.h"
#include "merge/merge_engine.h"
#include "support/audio_builders.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::RecordingHost;
using test::TempDir;

struct MergeFixture : ::testing::Test {
    MergeOutcome Run(const std::vector<std::string>& files, const std::string& result,
                     const std::function<void(std::size_t)>& appending = nullptr) {
        steps.clear();
        MergeRequest request;
        request.files = files;
        request.resultName = result;
        request.abort = &abort;
        request.progress = [this](const MergeProgress& progress) {
            steps.push_back(progress);
            if (onProgress) {
                onProgress(steps.size());
            }
        };
        request.appending = appending;
        return MergeFiles(request);
    }
    std::vector<std::int64_t> Positions() const {
        std::vector<std::int64_t> positions;
        for (const auto& step : steps) {
            positions.push_back(step.position);
        }
        return positions;
    }

    TempDir dir;
    RecordingHost host;
    AbortFlag abort{0};
    std::vector<MergeProgress> steps;             // every progress report of the last run
    std::function<void(std::size_t)> onProgress;  // with the number of reports so far
};

TEST_F(MergeFixture, WAVFilesJoinUnderOneHeaderInTheFirstFilesFormat) {
    test::WAVFormat first;  // 48 kHz stereo 16 bits, fmt chunk of 18 bytes
    first.fmtSize = 18;
    test::WAVFormat other = first;
    other.sampleRate = 44100;  // not compared: the first file's format holds
    other.fmtSize = 16;
    const std::string a =
        dir.write("a.wav", test::BuildRIFF({test::FmtChunk(first), test::DataChunk(1000)}));
    // A LIST chunk before the data, and a data chunk declaring fewer bytes than follow it.
    const std::string b = dir.write(
        "b.WAV", test::BuildRIFF({test::FmtChunk(other), test::ListChunk("title"),
                                  test::DataChunk(2000, 1500), test::ListChunk("after")}));
    ASSERT_EQ(Run({a, b}, dir.file("all.wav")).status, MergeStatus::Merged);
    const Bytes result = test::ReadAll(dir.file("all.wav"));
    ASSERT_EQ(result.size(), 44u + 1000 + 1500);
    const WAVHeader h = WAVHeader::fromBytes(result);
    EXPECT_EQ(h.dataSize, 2500u);
    EXPECT_EQ(h.riffSize, 2536u);
    EXPECT_EQ(h.fmtSize, 16u);
    EXPECT_EQ(h.sampleRate, 48000u);
    EXPECT_EQ(h.channels, 2);
    EXPECT_EQ(std::string(h.dataId.data(), 4), "data");
    const Bytes dataA = test::DataChunk(1000).body;
    const Bytes dataB = test::DataChunk(2000, 1500).body;
    EXPECT_TRUE(std::equal(dataA.begin(), dataA.end(), result.begin() + 44));
    EXPECT_TRUE(std::equal(dataB.begin(), dataB.begin() + 1500, result.begin() + 1044));
}

TEST_F(MergeFixture, TwoRealWAVFilesGiveTheirSampleData) {
    const std::string a = dir.copyData("wav-s16-list.wav");
    const std::string b = dir.copyData("wav-s16-plain.wav");
    ASSERT_EQ(Run({a, b}, dir.file("joined.wav")).status, MergeStatus::Merged);
    const Bytes result = test::ReadAll(dir.file("joined.wav"));
    EXPECT_EQ(result.size(), 44u + 2 * 96000);
    const Bytes plain = test::ReadAll(b);
    EXPECT_TRUE(std::equal(plain.begin() + 44, plain.end(), result.begin() + 44 + 96000));
}

TEST_F(MergeFixture, OtherFilesJoinByteForByte) {
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    const std::string b = dir.copyData("ac3-stereo-192k.ac3");
    const std::string c = dir.copyData("mp2-id3.mp2");
    std::vector<std::size_t> appended;
    const std::string result = dir.file("out") + kPathSeparator + "joined.ac3";
    const MergeOutcome outcome =
        Run({a, b, c}, result, [&](std::size_t i) { appended.push_back(i); });
    ASSERT_EQ(outcome.status, MergeStatus::Merged);
    const Bytes joined = test::Join({test::ReadAll(a), test::ReadAll(b), test::ReadAll(c)});
    EXPECT_EQ(test::ReadAll(result), joined);
    EXPECT_EQ(outcome.resultBytes, joined.size());
    EXPECT_EQ(appended, (std::vector<std::size_t>{0, 1, 2}));
    // The run starts with the first file, counts the files and ends.
    EXPECT_EQ(steps, (std::vector<MergeProgress>{
                         {0, 3, true}, {1, 3, true}, {2, 3, true}, {3, 3, true}, {0, 0, false}}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(MergeFixture, RefusedOverwriteTouchesNothingAndSetsTheAbortFlag) {
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    const std::string result = dir.write("result.ac3", Bytes{1, 2, 3});
    host.answers = {false};
    const MergeOutcome refused = Run({a}, result);
    EXPECT_EQ(refused.status, MergeStatus::Refused);
    EXPECT_EQ(refused.resultBytes, 0u);
    EXPECT_EQ(test::ReadAll(result), (Bytes{1, 2, 3}));
    EXPECT_TRUE(steps.empty());  // no run started
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].question);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host.messages[0].title, "Warning!");
    EXPECT_EQ(host.messages[0].text, "Overwrite file " + result + " ?");

    host.answers = {true};
    EXPECT_EQ(Run({a}, result).status, MergeStatus::Merged);
    EXPECT_EQ(test::ReadAll(result), test::ReadAll(a));
}

TEST_F(MergeFixture, ResultsThatCannotBeCreated) {
    const std::string a = dir.copyData("mp2-crc.mp2");
    // No result name set: the merger's root text is no file.
    EXPECT_EQ(Run({a}, PlatformRoot()).status, MergeStatus::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Error!");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(host.messages[0].text, "Please, specify file name with full path for result file.");
    // A folder where the result should be.
    std::filesystem::create_directories(dir.file("taken.mp2"));
    EXPECT_EQ(Run({a}, dir.file("taken.mp2")).status, MergeStatus::Failed);
    EXPECT_EQ(host.messages.back().text, "Result file can not be created!");
    // Inside a regular file.
    const std::string blocker = dir.write("blocker", Bytes{1});
    EXPECT_EQ(Run({a}, blocker + kPathSeparator + "x.mp2").status, MergeStatus::Failed);
    EXPECT_EQ(host.messages.back().text, "Result file can not be created!");
    EXPECT_TRUE(steps.empty());
}

TEST_F(MergeFixture, AnExistingResultThatCannotBeDeletedIsNotAppendedTo) {
    const std::string a = dir.copyData("mp2-crc.mp2");
    const std::string result = dir.write("locked.mp2", Bytes{7, 7});
    // An immutable file cannot be deleted, not even by root.
    const int fd = ::open(result.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool locked = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                        (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!locked) {
        ::close(fd);
        GTEST_SKIP() << "the file system cannot lock a file here";
    }
    host.answers = {true};
    const MergeOutcome outcome = Run({a}, result);
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_EQ(outcome.status, MergeStatus::Failed);
    EXPECT_EQ(host.messages.back().title, "Error!");
    EXPECT_EQ(host.messages.back().text, "Result file can not be created!");
    EXPECT_EQ(test::ReadAll(result), (Bytes{7, 7}));
}

TEST_F(MergeFixture, TheResultIsNeverOneOfTheFiles) {
    const std::string a = dir.copyData("mp2-crc.mp2");
    const std::string b = dir.copyData("ac3-51-448k.ac3");
    const Bytes original = test::ReadAll(b);
    host.answers = {true};
    EXPECT_EQ(Run({a, b}, b).status, MergeStatus::Failed);
    EXPECT_EQ(test::ReadAll(b), original);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(host.messages[0].question);
    EXPECT_EQ(host.messages[0].text, OutputIsInputText(b));
}

TEST_F(MergeFixture, AMissingFileIsAnErrorNotAGap) {
    const std::string a = dir.copyData("mp2-crc.mp2");
    const MergeOutcome outcome = Run({a, dir.file("gone.mp2"), a}, dir.file("r.mp2"));
    EXPECT_EQ(outcome.status, MergeStatus::Failed);
    EXPECT_EQ(outcome.resultBytes, 0u);
    EXPECT_FALSE(FileExists(dir.file("r.mp2")));
    EXPECT_EQ(steps.back(), MergeProgress{});  // the run that started has ended
    EXPECT_EQ(host.messages.back().title, "Error!");
    EXPECT_NE(host.messages.back().text.find("gone.mp2"), std::string::npos);
}

TEST_F(MergeFixture, AbortStopsAfterTheCurrentFileAndKeepsThePartialResult) {
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    const std::string b = dir.copyData("ac3-stereo-192k.ac3");
    // Cancel while the second file is about to be appended.
    const auto outcome = Run({a, b, a}, dir.file("r.ac3"), [&](std::size_t i) {
        if (i == 1) {
            abort = 1;
        }
    });
    EXPECT_EQ(outcome.status, MergeStatus::Aborted);
    EXPECT_EQ(test::ReadAll(dir.file("r.ac3")), test::ReadAll(a));
    EXPECT_EQ(outcome.resultBytes, FileSizeOf(a));
    EXPECT_EQ(steps.back(), MergeProgress{});
    EXPECT_EQ(abort, 1);  // the caller's flag: the merge only reads it
}

TEST_F(MergeFixture, ProgressCountsFilesUpToOneMillionBytesAndBlocksAbove) {
    const std::string half = dir.write("half.bin", Bytes(500000, 0x11));
    ASSERT_EQ(Run({half, half}, dir.file("million.bin")).status, MergeStatus::Merged);
    EXPECT_EQ(steps.front().maximum, 2);
    EXPECT_EQ(Positions(), (std::vector<std::int64_t>{0, 1, 2, 0}));

    const std::string more = dir.write("more.bin", Bytes(500001, 0x22));
    host.answers = {true};
    ASSERT_EQ(Run({half, more}, dir.file("million.bin")).status, MergeStatus::Merged);
    // 2 files + 1,000,001 div 65535 = 17; one step per started block of each file (8 each),
    // told when a file starts and after its chunk.
    EXPECT_EQ(steps.front().maximum, 17);
    EXPECT_EQ(Positions(), (std::vector<std::int64_t>{1, 8, 9, 16, 0}));
    EXPECT_EQ(steps.back(), MergeProgress{});
}

TEST(MergeResultName, ANameWithoutAnExtensionGetsTheFirstFiles) {
    const std::string sep(1, kPathSeparator);
    const struct {
        std::string name, first, result;
    } cases[] = {
        {sep + "out" + sep + "a_Merged", sep + "in" + sep + "a.ac3",
         sep + "out" + sep + "a_Merged.ac3"},
        {sep + "out" + sep + "r.wav", sep + "in" + sep + "a.ac3", sep + "out" + sep + "r.wav"},
        {sep + "out" + sep + "plain", sep + "in" + sep + "noext", sep + "out" + sep + "plain"},
        {PlatformRoot(), sep + "in" + sep + "a.ac3", PlatformRoot()},  // names no file
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MergeResultName(c.name, c.first), c.result) << c.name;
    }
}

// A recording cut off mid-sample: its part frame would shift every sample of the next file.
TEST_F(MergeFixture, APartSampleFrameDoesNotShiftTheNextFile) {
    const Bytes cut = test::BuildRIFF({test::FmtChunk({}), test::DataChunk(1003)});
    const Bytes whole = test::BuildWAV({}, 1000);
    const std::string a = dir.write("a.wav", cut);
    const std::string b = dir.write("b.wav", whole);
    ASSERT_EQ(Run({a, b}, dir.file("r.wav")).status, MergeStatus::Merged);
    const Bytes result = test::ReadAll(dir.file("r.wav"));
    ASSERT_EQ(result.size(), 44u + 1000 + 1000);
    EXPECT_EQ(Bytes(result.begin() + 44, result.begin() + 1044),
              Bytes(cut.begin() + 44, cut.begin() + 1044));
    EXPECT_EQ(Bytes(result.begin() + 1044, result.end()), Bytes(whole.begin() + 44, whole.end()));
}

// Appending into a result that was removed meanwhile succeeds; the merge must not then report
// a result that is not there.
TEST_F(MergeFixture, AResultRemovedWhileItIsWrittenIsAnError) {
    // Over 1,000,000 bytes in all, so that the blocks count and the progress is told after
    // every chunk.
    const std::string a = dir.write("a.bin", test::Filler(600000));
    const std::string w = dir.write("w.wav", test::BuildWAV({}, 600000));
    for (const auto& files : {std::vector<std::string>{a, a}, std::vector<std::string>{w, w}}) {
        const std::string result = dir.file("r" + ExtensionOf(files[0]));
        const Bytes input = test::ReadAll(files[0]);
        host.messages.clear();
        // Reports: the first file's start and chunk, the second file's start and chunk: the
        // result goes while the last file is appended.
        onProgress = [&](std::size_t reports) {
            if (reports == 4) {
                std::filesystem::remove(result);
            }
        };
        EXPECT_EQ(Run(files, result).status, MergeStatus::Failed) << result;
        onProgress = nullptr;
        EXPECT_FALSE(FileExists(result));
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].title, "Error!");
        EXPECT_NE(host.messages[0].text.find(result), std::string::npos);
        EXPECT_EQ(test::ReadAll(files[0]), input);
    }
}

TEST_F(MergeFixture, ProgressOfMergesBeyondFourGiBCountsEveryBlock) {
    // Two sparse files of 3 GiB; the merge is cancelled at its first step, so that only the
    // arithmetic of the progress display runs.
    std::vector<std::string> files;
    for (const char* name : {"a.bin", "b.bin"}) {
        const std::string file = dir.write(name, {1});
        std::error_code ec;
        std::filesystem::resize_file(file, 3ull << 30, ec);
        if (ec) {
            GTEST_SKIP() << "no sparse files here: " << ec.message();
        }
        files.push_back(file);
    }
    abort = 1;
    EXPECT_EQ(Run(files, dir.file("r.bin")).status, MergeStatus::Aborted);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps[0].maximum, 2 + static_cast<std::int64_t>((6ull << 30) / kMergeBlockBytes));
    EXPECT_EQ(FileSizeOf(dir.file("r.bin")), 0u);
}

void MergeWithFileSizeLimit() {
    TempDir dir;
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{150000, 150000};
    setrlimit(RLIMIT_FSIZE, &rl);
    RecordingHost host;
    MergeRequest request;
    request.files = {a, a};
    request.resultName = dir.file("r.ac3");
    const MergeOutcome outcome = MergeFiles(request);
    const bool ok = outcome.status == MergeStatus::Failed && !FileExists(dir.file("r.ac3")) &&
                    host.messages.size() == 1 && host.messages[0].title == "Error!";
    std::_Exit(ok ? 0 : 1);
}

TEST(MergeDiskFull, AFailedWriteRemovesTheIncompleteResult) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(MergeWithFileSizeLimit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace varnix
