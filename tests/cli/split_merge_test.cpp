#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <sys/resource.h>

#include "cli/cli_runner.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix::cli {
namespace {

using test::RunCli;
using varnix::test::Bytes;
using varnix::test::TempDir;

const std::string kSep(1, kPathSeparator);

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Line(const std::string& path, std::uint64_t bytes) {
    return path + "\t" + std::to_string(bytes);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(VarnixSplit, CutsEveryFileAndPrintsEachPiece) {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-stereo-192k.ac3", "movie.ac3");
    const std::string wav = dir.copyData("wav-s16-list.wav", "music.wav");
    const std::string out = dir.file("out");
    const auto run = RunCli(
        {"split", "-s", "pal", "-o", out, "-d", "00:00:00.10", "-d", "00:00:00:05", ac3, wav});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.err, "");
    // 10 PAL frames: 12 AC3 frames of 768 bytes and 0.4 s of 4-byte sample frames; 5 frames:
    // 6 AC3 frames, and the 0.1 s left of the WAV file, whose tail comes out empty.
    const std::vector<std::string> expected = {
        Line(out + kSep + "movie_1.ac3", 12 * 768),   Line(out + kSep + "movie_2.ac3", 6 * 768),
        Line(out + kSep + "movie_3.ac3", 45 * 768),   Line(out + kSep + "music_1.wav", 44 + 76800),
        Line(out + kSep + "music_2.wav", 44 + 19200),
    };
    EXPECT_EQ(Lines(run.out), expected);
    for (const auto& line : Lines(run.out)) {
        const auto tab = line.find('\t');
        EXPECT_EQ(std::to_string(FileSizeOf(line.substr(0, tab))), line.substr(tab + 1));
    }
    EXPECT_FALSE(FileExists(out + kSep + "music_3.wav"));
}

TEST(VarnixSplit, DurationsFromListFilesAndAudioFilesInTheOrderGiven) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("lists"));
    dir.copyData("wav-s16-plain.wav", "lists" + kSep + "half.wav");  // 0.5 s: 00:00:00.12 PAL
    const std::string list = dir.file("lists") + kSep + "durations.txt";
    varnix::test::WriteAll(list, Bytes{});
    {
        std::ofstream text(list);
        text << "# chapter lengths\n\n00:00:00.20\r\n  half.wav  \n";
    }
    const std::string ac3 = dir.copyData("ac3-stereo-192k.ac3", "movie.ac3");
    const auto run = RunCli({"split", "--system", "PAL", "-o", dir.file("out"), "-d", "00:00:00.10",
                             "-D", list, "-d", "00:00:00.05", ac3});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    // 10, 20, 12 and 5 PAL frames: 12, 25, 15 and 6 AC3 frames; 5 frames are left.
    std::vector<std::uint64_t> sizes;
    for (const auto& line : Lines(run.out)) {
        sizes.push_back(std::stoull(line.substr(line.find('\t') + 1)));
    }
    EXPECT_EQ(sizes, (std::vector<std::uint64_t>{12 * 768, 25 * 768, 15 * 768, 6 * 768, 5 * 768}));
}

TEST(VarnixSplit, AnAudioFileAsDurationLastsItsNTSCPlayTime) {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-stereo-192k.ac3", "movie.ac3");
    const std::string mp2 = dir.copyData("mp2-crc.mp2", "talk.mp2");
    // talk.mp2 lasts 2.016 s, 00:00:02.00 in NTSC: 60 frames of 1600 samples, stretched to
    // 96096 samples, 62.6 AC3 frames: 63, all that the file holds.
    const auto run = RunCli({"split", "-o", dir.file("out"), "-d", mp2, ac3});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{Line(dir.file("out") + kSep + "movie_1.ac3", 48384)}));
}

TEST(VarnixSplit, AVideoFileAsDurationLastsItsScannedTime) {
    TempDir dir;
    const std::string video = dir.copyData("video/ntsc_mpeg2.m2v", "title.m2v");  // 3 s
    const std::string ac3 = dir.copyData("ac3-44k1-32k.ac3", "music.ac3");        // 144 frames
    const auto run = RunCli({"split", "-o", dir.file("out"), "-d", video, ac3});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    // 90 NTSC frames of 1470 samples, stretched to 132432: 86.2 AC3 frames of 138 or 140 bytes.
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    const std::uint64_t first = std::stoull(lines[0].substr(lines[0].find('\t') + 1));
    const std::uint64_t second = std::stoull(lines[1].substr(lines[1].find('\t') + 1));
    EXPECT_GE(first, 86u * 138);
    EXPECT_LE(first, 86u * 140);
    EXPECT_EQ(first + second, 20062u);
}

TEST(VarnixSplit, OnlyFilesTheAudioListTakesAreCut) {
    TempDir dir;
    const std::string good = dir.copyData("ac3-stereo-192k.ac3", "good.ac3");
    const std::string floatWav = dir.copyData("wav-float.wav");
    const std::string namedVideo = dir.copyData("ac3-stereo-192k.ac3", "clip.m2v");
    const std::string namedWav = dir.copyData("ac3-stereo-192k.ac3", "fake.wav");
    const std::string unknown = dir.write("notes.txt", varnix::test::Filler(3000));
    const std::string missing = dir.file("gone.ac3");
    const auto run = RunCli({"split", "-o", dir.file("out"), "-d", "00:00:01.00", floatWav,
                             namedVideo, good, namedWav, unknown, missing});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_EQ(Lines(run.out).size(), 2u);
    EXPECT_TRUE(Contains(run.out, "good_1.ac3"));
    EXPECT_TRUE(Contains(run.err, floatWav + ": not a PCM WAV file"));
    EXPECT_TRUE(Contains(run.err, namedVideo + ": a video file, not audio"));
    EXPECT_TRUE(Contains(run.err, namedWav + ": not a PCM WAV file"));
    EXPECT_TRUE(Contains(run.err, unknown + ": unknown file format"));
    EXPECT_TRUE(Contains(run.err, missing + ": no such file"));
    EXPECT_FALSE(FileExists(dir.file("out") + kSep + "clip_1.m2v"));
}

TEST(VarnixSplit, MergesFirstAndAsksBeforeReplacingTheMergedFile) {
    TempDir dir;
    const std::string a = dir.copyData("mp2-crc.mp2", "a.mp2");
    const std::string b = dir.copyData("mp2-crc.mp2", "b.mp2");
    const std::string out = dir.file("out");
    auto run = RunCli({"split", "-m", "-s", "pal", "-o", out, "-d", "00:00:02.00", a, b});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    // 2 s are 83.3 frames of 1152 samples: the piece ends after frame 83.
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{Line(out + kSep + "a_1.mp2", 83 * 576),
                                                        Line(out + kSep + "a_2.mp2", 85 * 576)}));
    EXPECT_EQ(FileSizeOf(out + kSep + "a_Merged.mp2"), 2u * 48384);

    // Not on a terminal and without --yes the existing merged file is kept.
    run = RunCli({"split", "-m", "-o", out, a, b});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_TRUE(Contains(run.err, "Overwrite file " + out + kSep + "a_Merged.mp2 ?"));
    EXPECT_EQ(run.out, "");
    run = RunCli({"split", "-m", "--yes", "-o", out, a, b});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{Line(out + kSep + "a_1.mp2", 2 * 48384)}));
    // On a terminal the question is asked.
    std::ostringstream o, e;
    std::istringstream yes("y\n");
    const char* argv[] = {"varnix", "split", "-m", "-o", out.c_str(), a.c_str(), b.c_str()};
    EXPECT_EQ(RunVarnix(7, argv, Streams{o, e, yes, false, true}), kExitOk) << e.str();
}

TEST(VarnixSplit, WithMergingOnlyTheFirstFileIsChecked) {
    TempDir dir;
    const std::string floatWav = dir.copyData("wav-float.wav");
    const std::string a = dir.copyData("mp2-crc.mp2", "a.mp2");
    const std::string extra = dir.write("extra.bin", Bytes{1, 2, 3, 4});
    const auto run = RunCli({"split", "-m", "-o", dir.file("out"), floatWav, a, extra});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_TRUE(Contains(run.err, floatWav + ": not a PCM WAV file"));
    EXPECT_EQ(FileSizeOf(dir.file("out") + kSep + "a_Merged.mp2"), 48384u + 4);
    EXPECT_EQ(Lines(run.out).size(), 1u);
}

TEST(VarnixSplit, BadDurationsCutNothing) {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-stereo-192k.ac3");
    auto run = RunCli({"split", "-o", dir.file("out"), "-d", "1:30", ac3});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(Contains(run.err, "1:30: neither a time code (HH:MM:SS.FF) nor an existing file"));
    const std::string unknown = dir.write("unknown.bin", varnix::test::Filler(100));
    run = RunCli({"split", "-o", dir.file("out"), "-d", "00:00:01.00", "-d", unknown, ac3});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_TRUE(Contains(run.err, unknown + ": unknown file format"));
    run = RunCli({"split", "-o", dir.file("out"), "-D", dir.file("no-list.txt"), ac3});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out")));
}

TEST(VarnixSplit, InputsThatGiveNoPieceFail) {
    TempDir dir;
    const std::string empty =
        dir.write("silence.wav", varnix::test::BuildWAV(varnix::test::WAVFormat{}, 0));
    const std::string ac3 = dir.copyData("ac3-stereo-192k.ac3");
    const auto run = RunCli({"split", "-o", dir.file("out"), empty, ac3});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_EQ(Lines(run.out).size(), 1u);
    EXPECT_TRUE(Contains(run.err, empty + ": no piece was cut"));
}

TEST(VarnixSplit, AFolderThatCannotBeCreatedFails) {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-stereo-192k.ac3");
    const std::string blocker = dir.write("blocker", Bytes{1});
    const auto run = RunCli({"split", "-o", blocker + kSep + "out", ac3});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_TRUE(Contains(run.err, "Error! Destination folder " + blocker + kSep + "out" + kSep +
                                      " can not be created"));
}

// Runs in a child process, so that the file size limit (standing in for a full disk) does not
// reach the test program.
void SplitAndMergeUnderAFileSizeLimit() {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-51-448k.ac3", "movie.ac3");  // 112896 bytes
    const Bytes original = varnix::test::ReadAll(ac3);
    const std::string out = dir.file("out");
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{50000, 50000};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) {
        std::_Exit(2);
    }
    // 10 PAL frames are 12 AC3 frames of 1792 bytes; the tail does not fit under the limit.
    auto run = RunCli({"split", "-s", "pal", "-o", out, "-d", "00:00:00.10", ac3});
    const std::string tail = out + kSep + "movie_2.ac3";
    if (run.status != kExitFileFailed ||
        !Contains(run.err, "Error! Unable to write to file " + tail)) {
        std::_Exit(3);
    }
    if (run.out != Line(out + kSep + "movie_1.ac3", 12 * 1792) + "\n" || FileExists(tail)) {
        std::_Exit(4);
    }
    const std::string both = dir.file("both.ac3");
    run = RunCli({"merge", "-o", both, ac3, ac3});
    if (run.status != kExitFileFailed ||
        !Contains(run.err, "Error! Unable to write to file " + both) || !run.out.empty() ||
        FileExists(both)) {
        std::_Exit(5);
    }
    std::_Exit(varnix::test::ReadAll(ac3) == original ? 0 : 6);
}

TEST(VarnixSplit, AFailedWriteIsAnErrorNamingTheFileAndStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(SplitAndMergeUnderAFileSizeLimit(), ::testing::ExitedWithCode(0), "");
}

// A read error is an error too, never a short last piece or merged file: what was finished is
// listed on standard output, the reason goes to standard error, and the status is 1.
TEST(VarnixSplit, AReadErrorIsAnErrorNamingTheFileAndStatusOne) {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-51-448k.ac3", "movie.ac3");
    const std::string out = dir.file("out");
    const std::string error = "Error! Unable to read from file " + ac3 + ": " +
                              std::generic_category().message(EIO) + ".";
    const InjectedReadFault fault(ac3, 80000);
    auto run = RunCli({"split", "-s", "pal", "-o", out, "-d", "00:00:00.10", ac3});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_TRUE(Contains(run.err, error)) << run.err;
    EXPECT_EQ(run.out, Line(out + kSep + "movie_1.ac3", 12 * 1792) + "\n");
    EXPECT_FALSE(FileExists(out + kSep + "movie_2.ac3"));

    const std::string both = dir.file("both.ac3");
    run = RunCli({"merge", "-o", both, ac3, ac3});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_TRUE(Contains(run.err, error)) << run.err;
    EXPECT_FALSE(FileExists(both));
}

TEST(VarnixMerge, JoinsFilesIntoTheResult) {
    TempDir dir;
    const std::string a = dir.copyData("wav-s16-list.wav");
    const std::string b = dir.copyData("wav-s16-plain.wav");
    auto run = RunCli({"merge", "-o", dir.file("joined"), a, b});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    // A result name without extension takes the first file's.
    EXPECT_EQ(run.out, Line(dir.file("joined.wav"), 44 + 2 * 96000) + "\n");
    run = RunCli({"merge", "-o", dir.file("joined.wav"), a});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_EQ(FileSizeOf(dir.file("joined.wav")), 44u + 2 * 96000);
    run = RunCli({"merge", "--yes", "-o", dir.file("joined.wav"), a});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(FileSizeOf(dir.file("joined.wav")), 44u + 96000);
    run = RunCli({"merge", "--yes", "-o", a, a, b});
    EXPECT_EQ(run.status, kExitFileFailed);
    EXPECT_TRUE(Contains(run.err, "is one of the files to process"));
    run = RunCli({"merge", a});
    EXPECT_EQ(run.status, kExitUsage);
}

TEST(VarnixHelp, NamesSplitAndMerge) {
    const auto run = RunCli({"--help"});
    EXPECT_TRUE(Contains(run.out, "split"));
    EXPECT_TRUE(Contains(run.out, "merge"));
    EXPECT_TRUE(Contains(RunCli({"split", "--help"}).out, "PATH<TAB>BYTES"));
}

}  // namespace
}  // namespace varnix::cli

namespace varnix::cli {
namespace {

TEST(VarnixDemo, CutsEverySampleAudioFileIntoTheDemoFolder) {
    TempDir dir;
    const std::string folder = dir.file("demo");
    const auto run = RunCli({"demo", folder});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    const auto at = run.out.find("Split of every sample audio file by 00:00:01.00 00:00:02.00");
    ASSERT_NE(at, std::string::npos);
    int pieces = 0;
    for (const auto& line : Lines(run.out.substr(at))) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) {
            continue;
        }
        const std::string path = line.substr(2, tab - 2);
        EXPECT_EQ(FolderOf(path), folder + kSep);
        EXPECT_EQ(std::to_string(FileSizeOf(path)), line.substr(tab + 1));
        ++pieces;
    }
    EXPECT_GE(pieces, 8);  // two or three pieces of each of the four sample audio files
}

}  // namespace
}  // namespace varnix::cli
