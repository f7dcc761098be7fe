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
#include "merge/merger.h"
#include "support/audio_builders.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::RecordingHost;
using test::TempDir;

// A progress display that remembers every maximum and position it was given.
struct RecordingBar : ProgressState {
    void setMaximum(std::int64_t v) override {
        ProgressState::setMaximum(v);
        maxima.push_back(v);
    }
    void setPosition(std::int64_t v) override {
        ProgressState::setPosition(v);
        positions.push_back(v);
    }
    std::vector<std::int64_t> maxima;
    std::vector<std::int64_t> positions;
};

struct MergeFixture : ::testing::Test {
    MergeOutcome Run(const std::vector<std::string>& files, const std::string& result,
                     const MergeHighlight& highlight = nullptr) {
        merger.ResetMerger();
        for (const auto& file : files) {
            merger.AddMergeFile(file);
        }
        merger.SetResultName(result);
        return Merge(merger, highlight, &mainAbort);
    }

    TempDir dir;
    RecordingHost host;
    Merger merger;
    AbortFlag mainAbort{0};
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
    ASSERT_EQ(Run({a, b}, dir.file("all.wav")), MergeOutcome::Merged);
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
    ASSERT_EQ(Run({a, b}, dir.file("joined.wav")), MergeOutcome::Merged);
    const Bytes result = test::ReadAll(dir.file("joined.wav"));
    EXPECT_EQ(result.size(), 44u + 2 * 96000);
    const Bytes plain = test::ReadAll(b);
    EXPECT_TRUE(std::equal(plain.begin() + 44, plain.end(), result.begin() + 44 + 96000));
}

TEST_F(MergeFixture, OtherFilesJoinByteForByte) {
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    const std::string b = dir.copyData("ac3-stereo-192k.ac3");
    const std::string c = dir.copyData("mp2-id3.mp2");
    std::vector<int> highlighted;
    ASSERT_EQ(Run({a, b, c}, dir.file("out") + kPathSeparator + "joined.ac3",
                  [&](int i) { highlighted.push_back(i); }),
              MergeOutcome::Merged);
    EXPECT_EQ(test::ReadAll(dir.file("out") + kPathSeparator + "joined.ac3"),
              test::Join({test::ReadAll(a), test::ReadAll(b), test::ReadAll(c)}));
    EXPECT_EQ(highlighted, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(merger.busy());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(MergeFixture, RefusedOverwriteTouchesNothingAndSetsTheAbortFlag) {
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    const std::string result = dir.write("result.ac3", Bytes{1, 2, 3});
    host.answers = {false};
    EXPECT_EQ(Run({a}, result), MergeOutcome::Refused);
    EXPECT_EQ(test::ReadAll(result), (Bytes{1, 2, 3}));
    EXPECT_EQ(mainAbort, 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].question);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host.messages[0].title, "Warning!");
    EXPECT_EQ(host.messages[0].text, "Overwrite file " + result + " ?");
    EXPECT_EQ(merger.controls(), MergerControls::Idle);

    mainAbort = 0;
    host.answers = {true};
    EXPECT_EQ(Run({a}, result), MergeOutcome::Merged);
    EXPECT_EQ(test::ReadAll(result), test::ReadAll(a));
    EXPECT_EQ(mainAbort, 0);
}

TEST_F(MergeFixture, ResultsThatCannotBeCreated) {
    const std::string a = dir.copyData("mp2-crc.mp2");
    // No result name set: the merger's root text is no file.
    EXPECT_EQ(Run({a}, kMergerRootName), MergeOutcome::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Error!");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(host.messages[0].text, "Please, specify file name with full path for result file.");
    // A folder where the result should be.
    std::filesystem::create_directories(dir.file("taken.mp2"));
    EXPECT_EQ(Run({a}, dir.file("taken.mp2")), MergeOutcome::Failed);
    EXPECT_EQ(host.messages.back().text, "Result file can not be created!");
    // Inside a regular file.
    const std::string blocker = dir.write("blocker", Bytes{1});
    EXPECT_EQ(Run({a}, blocker + kPathSeparator + "x.mp2"), MergeOutcome::Failed);
    EXPECT_EQ(host.messages.back().text, "Result file can not be created!");
    EXPECT_EQ(mainAbort, 0);
    EXPECT_FALSE(merger.busy());
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
    EXPECT_EQ(outcome, MergeOutcome::Failed);
    EXPECT_EQ(host.messages.back().title, "Error!");
    EXPECT_EQ(host.messages.back().text, "Result file can not be created!");
    EXPECT_EQ(test::ReadAll(result), (Bytes{7, 7}));
}

TEST_F(MergeFixture, TheResultIsNeverOneOfTheFiles) {
    const std::string a = dir.copyData("mp2-crc.mp2");
    const std::string b = dir.copyData("ac3-51-448k.ac3");
    const Bytes original = test::ReadAll(b);
    host.answers = {true};
    EXPECT_EQ(Run({a, b}, b), MergeOutcome::Failed);
    EXPECT_EQ(test::ReadAll(b), original);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(host.messages[0].question);
    EXPECT_EQ(host.messages[0].text, OutputIsInputText(b));
}

TEST_F(MergeFixture, AMissingFileIsAnErrorNotAGap) {
    const std::string a = dir.copyData("mp2-crc.mp2");
    EXPECT_EQ(Run({a, dir.file("gone.mp2"), a}, dir.file("r.mp2")), MergeOutcome::Failed);
    EXPECT_FALSE(FileExists(dir.file("r.mp2")));
    EXPECT_EQ(host.messages.back().title, "Error!");
    EXPECT_NE(host.messages.back().text.find("gone.mp2"), std::string::npos);
}

TEST_F(MergeFixture, AbortStopsAfterTheCurrentFileAndKeepsThePartialResult) {
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    const std::string b = dir.copyData("ac3-stereo-192k.ac3");
    // Cancel while the second file is about to be appended (the window sets both flags).
    const auto outcome = Run({a, b, a}, dir.file("r.ac3"), [&](int i) {
        if (i == 1) {
            mainAbort = 1;
            merger.abortFlag() = 1;
        }
    });
    EXPECT_EQ(outcome, MergeOutcome::Aborted);
    EXPECT_EQ(test::ReadAll(dir.file("r.ac3")), test::ReadAll(a));
    EXPECT_FALSE(merger.busy());

    // The window's flag alone also stops a merge.
    mainAbort = 0;
    host.answers = {true};
    const auto second = Run({a, b, a}, dir.file("r.ac3"), [&](int i) {
        if (i == 1) {
            mainAbort = 1;
        }
    });
    EXPECT_EQ(second, MergeOutcome::Aborted);
    EXPECT_EQ(test::ReadAll(dir.file("r.ac3")), test::ReadAll(a));
}

TEST_F(MergeFixture, ProgressCountsFilesUpToOneMillionBytesAndBlocksAbove) {
    RecordingBar bar;
    merger.LendProgressBar(&bar);
    const std::string half = dir.write("half.bin", Bytes(500000, 0x11));
    ASSERT_EQ(Run({half, half}, dir.file("million.bin")), MergeOutcome::Merged);
    EXPECT_EQ(bar.maxima, (std::vector<std::int64_t>{2, 0}));
    EXPECT_EQ(bar.positions, (std::vector<std::int64_t>{0, 1, 2, 0}));

    bar.maxima.clear();
    bar.positions.clear();
    const std::string more = dir.write("more.bin", Bytes(500001, 0x22));
    host.answers = {true};
    ASSERT_EQ(Run({half, more}, dir.file("million.bin")), MergeOutcome::Merged);
    // 2 files + 1,000,001 div 65535 = 17; one step per started block of each file.
    EXPECT_EQ(bar.maxima, (std::vector<std::int64_t>{17, 0}));
    EXPECT_EQ(bar.positions.size(), 1u + 8 + 8 + 1);
    EXPECT_EQ(bar.positions[bar.positions.size() - 2], 16);
    merger.ReturnProgressBar();
}

// A recording cut off mid-sample: its part frame would shift every sample of the next file.
TEST_F(MergeFixture, APartSampleFrameDoesNotShiftTheNextFile) {
    const Bytes cut = test::BuildRIFF({test::FmtChunk({}), test::DataChunk(1003)});
    const Bytes whole = test::BuildWAV({}, 1000);
    const std::string a = dir.write("a.wav", cut);
    const std::string b = dir.write("b.wav", whole);
    ASSERT_EQ(Run({a, b}, dir.file("r.wav")), MergeOutcome::Merged);
    const Bytes result = test::ReadAll(dir.file("r.wav"));
    ASSERT_EQ(result.size(), 44u + 1000 + 1000);
    EXPECT_EQ(Bytes(result.begin() + 44, result.begin() + 1044),
              Bytes(cut.begin() + 44, cut.begin() + 1044));
    EXPECT_EQ(Bytes(result.begin() + 1044, result.end()), Bytes(whole.begin() + 44, whole.end()));
}

// Appending into a result that was removed meanwhile succeeds; the merge must not then report
// a result that is not there.
TEST_F(MergeFixture, AResultRemovedWhileItIsWrittenIsAnError) {
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    const std::string w = dir.copyData("wav-s16-list.wav");
    for (const auto& files : {std::vector<std::string>{a, a}, std::vector<std::string>{w, w}}) {
        const std::string result = dir.file("r" + ExtensionOf(files[0]));
        const Bytes input = test::ReadAll(files[0]);
        host.messages.clear();
        host.pumps = 0;
        // Pumps: before the first copy, after its chunk, after the first file, before the
        // second copy, after its chunk: the result goes while the last file is appended.
        host.onPump = [&](int pumps) {
            if (pumps == 5) {
                std::filesystem::remove(result);
            }
        };
        EXPECT_EQ(Run(files, result), MergeOutcome::Failed) << result;
        host.onPump = nullptr;
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
    RecordingBar bar;
    merger.LendProgressBar(&bar);
    mainAbort = 1;
    EXPECT_EQ(Run(files, dir.file("r.bin")), MergeOutcome::Aborted);
    merger.ReturnProgressBar();
    ASSERT_FALSE(bar.maxima.empty());
    EXPECT_EQ(bar.maxima[0], 2 + static_cast<std::int64_t>((6ull << 30) / kMergeBlockBytes));
    EXPECT_EQ(FileSizeOf(dir.file("r.bin")), 0u);
}

void MergeWithFileSizeLimit() {
    TempDir dir;
    const std::string a = dir.copyData("ac3-51-448k.ac3");
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{150000, 150000};
    setrlimit(RLIMIT_FSIZE, &rl);
    RecordingHost host;
    Merger merger;
    merger.AddMergeFile(a);
    merger.AddMergeFile(a);
    merger.SetResultName(dir.file("r.ac3"));
    const MergeOutcome outcome = Merge(merger, nullptr, nullptr);
    const bool ok = outcome == MergeOutcome::Failed && !FileExists(dir.file("r.ac3")) &&
                    host.messages.size() == 1 && host.messages[0].title == "Error!";
    std::_Exit(ok ? 0 : 1);
}

TEST(MergeDiskFull, AFailedWriteRemovesTheIncompleteResult) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(MergeWithFileSizeLimit(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace varnix
