#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

#include <sys/resource.h>

#include "core/file.h"
#include "core/file_helpers.h"
#include "cut/cut_helpers.h"
#include "cut/split_job.h"
#include "support/audio_builders.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::Bytes;
using test::RecordingHost;
using test::TempDir;

// Everything the job tells its caller, in order.
class RecordingObserver : public SplitJobObserver {
  public:
    void JobStarted() override { events.push_back("started"); }
    void MergeStarted(const std::vector<std::string>& files,
                      const std::string& mergedName) override {
        events.push_back("merge " + std::to_string(files.size()) + " into " +
                         FileNameOf(mergedName));
    }
    void MergeFileStarted(std::size_t index) override { mergeFiles.push_back(index); }
    void MergeProgressed(const MergeProgress& progress) override {
        if (!progress.running) {
            events.push_back("merged");
        }
    }
    void InputStarted(int index, const std::string& input, std::uint64_t bytes) override {
        inputs.push_back(index);
        events.push_back("input " + FileNameOf(input) + " " + std::to_string(bytes));
        if (onInput) {
            onInput(index);
        }
    }
    void PieceStarted(int index) override {
        pieces.push_back(index);
        events.push_back("piece " + std::to_string(index));
        if (onPiece) {
            onPiece(index);
        }
    }
    void PieceWritten(const std::string& path, std::uint64_t bytes) override {
        events.push_back("wrote " + FileNameOf(path) + " " + std::to_string(bytes));
    }
    void Progress(std::uint64_t position) override {
        positions.push_back(position);
        if (onProgress) {
            onProgress(positions.size());
        }
    }
    void JobFinished(const std::vector<std::string>& inputsWithoutPieces) override {
        events.push_back("finished");
        withoutPieces = inputsWithoutPieces;
    }

    // What is told besides the progress and the merge's rows.
    std::vector<std::string> events;
    std::vector<int> inputs;
    std::vector<int> pieces;
    std::vector<std::size_t> mergeFiles;
    std::vector<std::uint64_t> positions;
    std::vector<std::string> withoutPieces;
    std::function<void(int)> onInput;
    std::function<void(int)> onPiece;
    std::function<void(std::size_t)> onProgress;  // with the number of reports so far
};

DurationRow Seconds(int seconds, int frames = 0) {
    const TimeCode tc = MakeTimeCode(0, 0, seconds, frames);
    return DurationPair{tc, tc};
}

std::string Sep() {
    return std::string(1, kPathSeparator);
}

struct JobFixture : ::testing::Test {
    SplitJobResult Run(std::vector<DurationRow> rows, std::vector<std::string> inputs,
                       const std::string& folder, bool merge = false,
                       TvSystem system = TvSystem::Pal) {
        SplitJobRequest request;
        request.durations = std::move(rows);
        request.system = system;
        request.outputFolder = folder;
        request.inputs = std::move(inputs);
        request.mergeFirst = merge;
        request.abort = &abort;
        request.observer = &observer;
        return SplitJob(std::move(request)).Process();
    }
    std::string Out() const { return dir.path().string() + Sep() + "out" + Sep(); }
    std::vector<std::string> Names(const SplitJobResult& result) const {
        std::vector<std::string> names;
        for (const auto& piece : result.pieces) {
            names.push_back(FileNameOf(piece.path));
        }
        return names;
    }

    TempDir dir;
    RecordingHost host;
    RecordingObserver observer;
    AbortFlag abort{0};
};

TEST_F(JobFixture, ThreeDurationsGiveFourPiecesTheLastHoldingTheRest) {
    const std::string input = dir.copyData("ac3-51-448k.ac3", "movie.ac3");
    const auto result = Run({Seconds(0, 10), Seconds(0, 10), Seconds(0, 10)}, {input}, Out());
    EXPECT_EQ(Names(result), (std::vector<std::string>{"movie_1.ac3", "movie_2.ac3", "movie_3.ac3",
                                                       "movie_4.ac3"}));
    // 10 PAL frames at 48 kHz: 19200 samples = 12.5 AC3 frames -> 12 frames of 1792 bytes.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(result.pieces[i].bytes, 12u * 1792);
        EXPECT_EQ(FileSizeOf(result.pieces[i].path), result.pieces[i].bytes);
    }
    EXPECT_EQ(result.pieces[3].bytes, 112896u - 36 * 1792);
    EXPECT_FALSE(result.failed || result.aborted);
    EXPECT_TRUE(result.inputsWithoutPieces.empty());
    EXPECT_TRUE(host.messages.empty());
    // A piece is told as written before the next one starts, the last when the cutter ends.
    const std::string piece = std::to_string(12 * 1792);
    EXPECT_EQ(
        observer.events,
        (std::vector<std::string>{
            "started", "input movie.ac3 112896", "piece 0", "wrote movie_1.ac3 " + piece, "piece 1",
            "wrote movie_2.ac3 " + piece, "piece 2", "wrote movie_3.ac3 " + piece, "piece -1",
            "wrote movie_4.ac3 " + std::to_string(112896 - 36 * 1792), "finished"}));
    EXPECT_EQ(observer.inputs, (std::vector<int>{0}));
    // The progress follows the bytes of the input up to its end.
    ASSERT_FALSE(observer.positions.empty());
    EXPECT_TRUE(std::is_sorted(observer.positions.begin(), observer.positions.end()));
    EXPECT_EQ(observer.positions.back(), 112896u);
}

TEST_F(JobFixture, PieceNumberWidthsFollowThePieceCount) {
    const std::string input = dir.copyData("ac3-51-448k.ac3", "movie.ac3");
    // 9 durations: 10 pieces, two digits.
    auto result = Run(std::vector<DurationRow>(9, Seconds(0, 4)), {input}, Out());
    ASSERT_EQ(result.pieces.size(), 10u);
    EXPECT_EQ(Names(result).front(), "movie_01.ac3");
    EXPECT_EQ(Names(result).back(), "movie_10.ac3");
    // 999 durations of one frame each (1.25 AC3 frames -> 1): 1000 pieces, four digits; the
    // 63 frames of the file fill 63 pieces and the rest come out empty and are removed.
    result = Run(std::vector<DurationRow>(999, Seconds(0, 1)), {input}, dir.file("many"));
    ASSERT_EQ(result.pieces.size(), 63u);
    EXPECT_EQ(Names(result).front(), "movie_0001.ac3");
    EXPECT_EQ(Names(result).back(), "movie_0063.ac3");
    EXPECT_FALSE(FileExists(dir.file("many") + Sep() + "movie_0064.ac3"));
    EXPECT_FALSE(FileExists(dir.file("many") + Sep() + "movie_1000.ac3"));
}

TEST_F(JobFixture, RowsWithoutPairKeepTheNumbersConsecutive) {
    const std::string input = dir.copyData("mp2-crc.mp2", "talk.mp2");
    const auto result =
        Run({Seconds(0, 10), std::nullopt, Seconds(0, 10), std::nullopt}, {input}, Out());
    EXPECT_EQ(Names(result), (std::vector<std::string>{"talk_1.mp2", "talk_2.mp2", "talk_3.mp2"}));
    EXPECT_EQ(observer.pieces, (std::vector<int>{0, 2, -1}));
}

TEST_F(JobFixture, EmptyPiecesAreRemovedAndTheOthersKeepTheirNames) {
    const std::string input = dir.copyData("dts-51.dts", "sound.dts");
    // A zero duration, one within the input, one far beyond it, one more after the end.
    const auto result =
        Run({Seconds(0, 0), Seconds(0, 5), Seconds(30), Seconds(1)}, {input}, Out());
    EXPECT_EQ(Names(result), (std::vector<std::string>{"sound_2.dts", "sound_3.dts"}));
    EXPECT_EQ(result.pieces[0].bytes + result.pieces[1].bytes, 96256u);
    EXPECT_TRUE(result.inputsWithoutPieces.empty());
}

TEST_F(JobFixture, WithoutDurationsEveryInputIsCopiedWholeIntoPieceOne) {
    const std::string wav = dir.copyData("wav-s16-list.wav");
    const std::string ac3 = dir.copyData("ac3-44k1-192k.ac3");
    const auto result = Run({}, {wav, ac3}, Out(), false, TvSystem::Ntsc);
    EXPECT_EQ(Names(result),
              (std::vector<std::string>{"wav-s16-list_1.wav", "ac3-44k1-192k_1.ac3"}));
    EXPECT_EQ(result.pieces[0].bytes, 44u + 96000);  // the LIST chunk is not sample data
    EXPECT_EQ(test::ReadAll(result.pieces[1].path), test::ReadAll(ac3));
    EXPECT_EQ(observer.inputs, (std::vector<int>{0, 1}));
}

TEST_F(JobFixture, MergedFilesAreCutUnderTheFirstFilesName) {
    const std::string a = dir.copyData("ac3-stereo-192k.ac3", "a.ac3");
    const std::string b = dir.copyData("ac3-stereo-192k.ac3", "b.ac3");
    const auto result = Run({Seconds(1), Seconds(1)}, {a, b}, Out(), true);
    EXPECT_EQ(result.mergedName, Out() + "a_Merged.ac3");
    const Bytes both = test::Join({test::ReadAll(a), test::ReadAll(b)});
    EXPECT_EQ(test::ReadAll(result.mergedName), both);
    EXPECT_EQ(Names(result), (std::vector<std::string>{"a_1.ac3", "a_2.ac3", "a_3.ac3"}));
    Bytes pieces;
    for (const auto& piece : result.pieces) {
        const Bytes bytes = test::ReadAll(piece.path);
        pieces.insert(pieces.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(pieces, both);
    EXPECT_EQ(observer.mergeFiles, (std::vector<std::size_t>{0, 1}));
    // The merged file is cut as an input of no row.
    EXPECT_EQ(std::vector<std::string>(observer.events.begin(), observer.events.begin() + 4),
              (std::vector<std::string>{"started", "merge 2 into a_Merged.ac3", "merged",
                                        "input a_Merged.ac3 " + std::to_string(both.size())}));
    EXPECT_EQ(observer.inputs, (std::vector<int>{-1}));
    EXPECT_EQ(observer.events.back(), "finished");
}

TEST_F(JobFixture, AMergedWAVFileIsCutUnderOneHeader) {
    const std::string a = dir.copyData("wav-s16-list.wav", "a.wav");
    const std::string b = dir.copyData("wav-s16-plain.wav", "b.wav");
    const auto result = Run({Seconds(0, 20)}, {a, b}, Out(), true);
    ASSERT_EQ(result.pieces.size(), 2u);
    EXPECT_EQ(result.pieces[0].bytes, 44u + 48000 * 4 * 4 / 5);  // 0.8 s
    EXPECT_EQ(result.pieces[0].bytes + result.pieces[1].bytes, 2 * 44u + 192000);
}

TEST_F(JobFixture, RefusingToOverwriteTheMergedFileCutsNothing) {
    const std::string a = dir.copyData("mp2-crc.mp2", "a.mp2");
    const std::string b = dir.copyData("mp2-crc.mp2", "b.mp2");
    std::filesystem::create_directories(Out());
    test::WriteAll(Out() + "a_Merged.mp2", Bytes{9, 9, 9});
    host.answers = {false};
    const auto result = Run({Seconds(1)}, {a, b}, Out(), true);
    EXPECT_TRUE(result.aborted);
    EXPECT_TRUE(result.pieces.empty());
    EXPECT_EQ(test::ReadAll(Out() + "a_Merged.mp2"), (Bytes{9, 9, 9}));
    EXPECT_FALSE(FileExists(Out() + "a_1.mp2"));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].question);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host.messages[0].title, "Warning!");
    EXPECT_EQ(host.messages[0].text, "Overwrite file " + Out() + "a_Merged.mp2 ?");
    EXPECT_EQ(observer.events,
              (std::vector<std::string>{"started", "merge 2 into a_Merged.mp2", "finished"}));
    EXPECT_TRUE(observer.withoutPieces.empty());
}

TEST_F(JobFixture, AnEmptyMergeListAsksForFiles) {
    const auto result = Run({Seconds(1)}, {}, Out(), true);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host.messages[0].title, "Warning!");
    EXPECT_EQ(host.messages[0].text, "Please, specify file to divide.");
    EXPECT_TRUE(result.pieces.empty());
    EXPECT_EQ(observer.events, (std::vector<std::string>{"started", "finished"}));
    EXPECT_TRUE(std::filesystem::is_empty(Out()));
}

TEST_F(JobFixture, MissingFoldersAreCreatedAtEveryLevel) {
    const std::string input = dir.copyData("mp2-crc.mp2");
    const std::string folder = dir.file("a") + Sep() + "b" + Sep() + "c";
    const auto result = Run({Seconds(1)}, {input}, folder);
    EXPECT_EQ(result.outputFolder, folder + Sep());
    ASSERT_EQ(result.pieces.size(), 2u);
    EXPECT_EQ(result.pieces[0].path, folder + Sep() + "mp2-crc_1.mp2");
}

TEST_F(JobFixture, AFolderThatCannotBeCreatedIsAnError) {
    const std::string input = dir.copyData("mp2-crc.mp2");
    const std::string blocker = dir.write("blocker", Bytes{1});
    const auto result = Run({Seconds(1)}, {input}, blocker + Sep() + "out");
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Error!");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(host.messages[0].text.find(blocker + Sep() + "out" + Sep()), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    EXPECT_TRUE(observer.events.empty());  // the job never started
}

TEST_F(JobFixture, NoPieceIsWrittenOverAnInput) {
    // The pieces of x.ac3 in its own folder would replace the input x_2.ac3.
    const std::string x = dir.copyData("ac3-stereo-192k.ac3", "x.ac3");
    const std::string x2 = dir.copyData("ac3-51-448k.ac3", "x_2.ac3");
    const Bytes original = test::ReadAll(x2);
    const auto result = Run({Seconds(0, 5)}, {x, x2}, dir.path().string());
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Error!");
    EXPECT_EQ(host.messages[0].text, OutputIsInputText(dir.path().string() + Sep() + "x_2.ac3"));
    EXPECT_EQ(test::ReadAll(x2), original);
    EXPECT_FALSE(FileExists(dir.file("x_1.ac3")));
    EXPECT_EQ(observer.events, (std::vector<std::string>{"started", "finished"}));
}

TEST_F(JobFixture, TheMergedFileIsNeverOneOfTheMergedFiles) {
    const std::string a = dir.copyData("mp2-crc.mp2", "a.mp2");
    const std::string merged = dir.copyData("mp2-crc.mp2", "a_Merged.mp2");
    const Bytes original = test::ReadAll(merged);
    const auto result = Run({Seconds(1)}, {a, merged}, dir.path().string(), true);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(host.messages.at(0).text, OutputIsInputText(merged));
    EXPECT_EQ(test::ReadAll(merged), original);
    EXPECT_FALSE(FileExists(dir.file("a_1.mp2")));
}

TEST_F(JobFixture, TwoInputsOfOneNameWouldWriteTheSamePieces) {
    std::filesystem::create_directories(dir.file("one"));
    std::filesystem::create_directories(dir.file("two"));
    const std::string a = dir.copyData("mp2-crc.mp2", "one" + Sep() + "song.mp2");
    const std::string b = dir.copyData("ac3-51-448k.ac3", "two" + Sep() + "song.mp2");
    const auto result = Run({Seconds(1)}, {a, b}, Out());
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(host.messages.at(0).title, "Error!");
    EXPECT_FALSE(FileExists(Out() + "song_1.mp2"));
    // The same file given twice just writes the same pieces again.
    host.messages.clear();
    const auto twice = Run({Seconds(1)}, {a, a}, Out());
    EXPECT_FALSE(twice.failed);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(JobFixture, InputsThatGiveNoPieceAreToldAtTheEnd) {
    const std::string unknown = dir.write("notes.ac3", test::Filler(4000));
    const std::string missing = dir.file("gone.mp2");
    const std::string good = dir.copyData("mp2-crc.mp2");
    const auto result = Run({Seconds(1)}, {unknown, good, missing}, Out());
    EXPECT_EQ(result.inputsWithoutPieces, (std::vector<std::string>{unknown, missing}));
    EXPECT_EQ(observer.withoutPieces, result.inputsWithoutPieces);
    EXPECT_EQ(result.pieces.size(), 2u);
    EXPECT_TRUE(host.messages.empty());  // the caller says it in its own way
}

TEST_F(JobFixture, CancelDuringTheSecondOfThreeFilesEndsTheJob) {
    const std::string a = dir.copyData("ac3-stereo-192k.ac3", "a.ac3");
    const std::string b = dir.copyData("ac3-stereo-192k.ac3", "b.ac3");
    const std::string c = dir.copyData("ac3-stereo-192k.ac3", "c.ac3");
    int current = -1;
    observer.onInput = [&](int index) { current = index; };
    observer.onPiece = [&](int index) {
        if (current == 1 && index == 1) {
            abort = 1;  // the Cancel button, while piece 2 of b is written
        }
    };
    const auto result = Run({Seconds(0, 5), Seconds(0, 5), Seconds(0, 5)}, {a, b, c}, Out());
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(observer.inputs, (std::vector<int>{0, 1}));
    EXPECT_EQ(Names(result), (std::vector<std::string>{"a_1.ac3", "a_2.ac3", "a_3.ac3", "a_4.ac3",
                                                       "b_1.ac3", "b_2.ac3"}));
    EXPECT_FALSE(FileExists(Out() + "b_3.ac3"));
    EXPECT_FALSE(FileExists(Out() + "c_1.ac3"));
    EXPECT_EQ(observer.events.back(), "finished");
    EXPECT_TRUE(observer.withoutPieces.empty());
    EXPECT_EQ(abort, 1);  // the caller's flag: the job only reads it
}

TEST_F(JobFixture, ProgressFollowsTheBytesOfTheInput) {
    const std::string input = dir.copyData("wav-s16-plain.wav");
    const auto result = Run({Seconds(0, 5)}, {input}, Out());
    ASSERT_EQ(result.pieces.size(), 2u);
    EXPECT_EQ(observer.events.at(1), "input wav-s16-plain.wav 96044");
    const auto& positions = observer.positions;
    ASSERT_GE(positions.size(), 2u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_LE(positions.back(), 96044u);
}

TEST_F(JobFixture, AMergeThatCannotCreateItsResultCutsNothing) {
    const std::string a = dir.copyData("mp2-crc.mp2", "a.mp2");
    std::filesystem::create_directories(Out() + "a_Merged.mp2");  // a folder in the way
    const auto result = Run({Seconds(1)}, {a}, Out(), true);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(host.messages.at(0).text, "Result file can not be created!");
    EXPECT_FALSE(FileExists(Out() + "a_1.mp2"));
    EXPECT_EQ(observer.events.back(), "finished");
}

// Writes into a piece that was removed meanwhile succeed: the job must still notice that the
// piece is gone instead of ending as if it had written it.
TEST_F(JobFixture, APieceRemovedWhileItIsWrittenStopsTheJobWithAnError) {
    for (const char* data : {"ac3-51-448k.ac3", "dts-51.dts", "mp2-crc.mp2", "wav-s16-list.wav"}) {
        SCOPED_TRACE(data);
        TempDir inputs;
        const std::string input = inputs.copyData(data);
        const Bytes bytes = test::ReadAll(input);
        host.messages.clear();
        observer.positions.clear();
        observer.onProgress = [&](std::size_t reports) {
            if (reports == 1) {
                for (const auto& entry : std::filesystem::directory_iterator(Out())) {
                    std::filesystem::remove(entry.path());
                }
            }
        };
        const auto result = Run({Seconds(0, 10)}, {input}, Out());
        observer.onProgress = nullptr;
        EXPECT_TRUE(result.failed);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].title, "Error!");
        EXPECT_NE(host.messages[0].text.find(Out()), std::string::npos) << host.messages[0].text;
        EXPECT_TRUE(result.pieces.empty());
        EXPECT_EQ(test::ReadAll(input), bytes);
    }
}

// A read error inside an input used to end its copy or walk as if the file ended there: a short
// piece reported as success, and the next piece starting in the wrong place. The job stops with
// "Error!" naming the file and the reason, the piece being written is removed, and the pieces
// finished before it stay, listed and byte for byte as without the error. Walks that read the
// whole input before cutting (44.1 kHz AC3, MPEG audio) fail before any piece; a merge fails
// before cutting and leaves no merged file.
TEST_F(JobFixture, AReadErrorStopsTheJobAndKeepsOnlyTheFinishedPieces) {
    const struct {
        std::vector<const char*> data;  // the inputs; merged first when there are two
        std::vector<DurationRow> rows;
        std::size_t faulty;  // the input with a bad byte
        std::uint64_t bad;   // where
        std::size_t kept;    // pieces finished before the error
    } cases[] = {
        {{"ac3-51-448k.ac3"}, {Seconds(0, 10)}, 0, 80000, 1},
        {{"ac3-44k1-192k.ac3"}, {Seconds(0, 10)}, 0, 40000, 0},
        {{"dts-51.dts"}, {Seconds(0, 10)}, 0, 80000, 1},
        {{"mp2-crc.mp2"}, {Seconds(0, 10)}, 0, 40000, 0},
        {{"wav-s16-list.wav"}, {Seconds(0, 2)}, 0, 80000, 1},
        {{"mp2-crc.mp2", "mp2-crc.mp2"}, {Seconds(0, 10)}, 1, 20000, 0},
        {{"wav-s16-plain.wav", "wav-s16-list.wav"}, {Seconds(0, 10)}, 1, 80000, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.data.back()) + (c.data.size() > 1 ? " merged" : ""));
        const std::string folder = dir.file("case" + std::to_string(++n));
        std::vector<std::string> inputs;
        std::vector<Bytes> originals;
        for (std::size_t i = 0; i < c.data.size(); ++i) {
            const std::string name = c.data[i];
            inputs.push_back(dir.copyData(
                name, std::to_string(n) + "-" + std::to_string(i) + ExtensionOf(name)));
            originals.push_back(test::ReadAll(inputs.back()));
        }
        const bool merge = inputs.size() > 1;
        const auto clean = Run(c.rows, inputs, folder + "clean", merge);
        ASSERT_GT(clean.pieces.size(), c.kept);
        host.messages.clear();

        SplitJobResult result;
        {
            const InjectedReadFault fault(inputs[c.faulty], c.bad);
            result = Run(c.rows, inputs, folder + "bad", merge);
        }
        EXPECT_TRUE(result.failed);
        EXPECT_FALSE(result.aborted);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].title, "Error!");
        EXPECT_EQ(host.messages[0].text, "Unable to read from file " + inputs[c.faulty] + ": " +
                                             std::generic_category().message(EIO) + ".");
        ASSERT_EQ(result.pieces.size(), c.kept);
        for (std::size_t i = 0; i < c.kept; ++i) {
            EXPECT_EQ(FileNameOf(result.pieces[i].path), FileNameOf(clean.pieces[i].path));
            EXPECT_EQ(test::ReadAll(result.pieces[i].path), test::ReadAll(clean.pieces[i].path));
        }
        // Nothing else is left: no incomplete piece, no merged file.
        const auto left = std::distance(std::filesystem::directory_iterator(folder + "bad"),
                                        std::filesystem::directory_iterator());
        EXPECT_EQ(static_cast<std::size_t>(left), c.kept);
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            EXPECT_EQ(test::ReadAll(inputs[i]), originals[i]);
        }
    }
}

// A write that fails (the disk is full, here a file size limit) ends the job with an error and
// leaves no piece that looks complete.
void CutWithFileSizeLimit(const std::string& dataName, const std::vector<DurationRow>& rows,
                          std::uint64_t limit) {
    TempDir dir;
    const std::string input = dir.copyData(dataName);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0) {
        std::_Exit(2);
    }
    RecordingHost host;
    SplitJobRequest request;
    request.durations = rows;
    request.system = TvSystem::Pal;
    request.outputFolder = dir.path().string();
    request.inputs = {input};
    const auto result = SplitJob(request).Process();
    if (!result.failed || host.messages.size() != 1 || host.messages[0].title != "Error!") {
        std::_Exit(3);
    }
    // The piece being written when the write failed is gone; the ones before it stay.
    for (const auto& piece : result.pieces) {
        if (FileSizeOf(piece.path) > limit) {
            std::_Exit(4);
        }
    }
    const CutList list = BuildCutList(rows, TvSystem::Pal, result.outputFolder, input);
    for (const auto& entry : list) {
        if (FileExists(entry.outputName) && FileSizeOf(entry.outputName) >= limit) {
            std::_Exit(5);
        }
    }
    std::_Exit(0);
}

TEST(SplitJobDiskFull, AFailedWriteIsAnErrorAndLeavesNoCompleteLookingPiece) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* data;
        std::vector<DurationRow> rows;
        std::uint64_t limit;
    } cases[] = {
        {"ac3-51-448k.ac3", {Seconds(0, 10)}, 50000},
        {"dts-51.dts", {}, 50000},
        {"mp2-crc.mp2", {Seconds(0, 5)}, 30000},
        {"wav-s16-list.wav", {Seconds(0, 2)}, 40000},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(CutWithFileSizeLimit(c.data, c.rows, c.limit), ::testing::ExitedWithCode(0), "")
            << c.data;
    }
}

}  // namespace
}  // namespace varnix
