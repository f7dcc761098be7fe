#include <gtest/gtest.h>

#include "core/file_helpers.h"
#include "cut/cut_list.h"
#include "cut/durations.h"

namespace varnix {
namespace {

const std::string kSep(1, kPathSeparator);

std::string Folder(const std::string& name) {
    return kSep + name + kSep;
}

DurationRow Pair(int seconds) {
    return DurationPair{MakeTimeCode(0, 0, seconds, 24), MakeTimeCode(0, 0, seconds, 29)};
}

TEST(PieceNames, NameExtensionAndNumberWidth) {
    struct Case {
        std::size_t rows;
        int n;
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        {12, 1, "movie.ac3", "movie_01.ac3"},  // 13 pieces: two digits
        {12, 13, "movie.ac3", "movie_13.ac3"},
        {5, 6, "movie.ac3", "movie_6.ac3"},  // 6 pieces: one digit
        {8, 9, "a.ac3", "a_9.ac3"},          // P = 9
        {9, 1, "a.ac3", "a_01.ac3"},         // P = 10
        {98, 7, "a.ac3", "a_07.ac3"},        // P = 99
        {99, 7, "a.ac3", "a_007.ac3"},       // P = 100
        {998, 7, "a.ac3", "a_007.ac3"},      // P = 999
        {999, 7, "a.ac3", "a_0007.ac3"},     // P = 1000
        {0, 1, "song", "song_1"},            // no extension
        {0, 1, "x.ac", "x.ac_1.ac"},         // 4 characters keep their extension
        {0, 1, "track.01.wav", "track.01_1.wav"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            MakePieceName(Folder("out"), Folder("in") + c.source, c.n, PieceNumberWidth(c.rows)),
            Folder("out") + c.expected)
            << c.rows << " rows, piece " << c.n;
    }
}

TEST(PieceNames, MergedNamesAndTheirPieces) {
    EXPECT_EQ(MakeMergedName(Folder("out"), {Folder("in") + "a.ac3", Folder("in") + "b.ac3"}),
              Folder("out") + "a_Merged.ac3");
    EXPECT_EQ(MakeMergedName(Folder("out"), {"abc"}), Folder("out") + "abc_Merged");
    EXPECT_EQ(MakeMergedName(Folder("out"), {"song.mpeg"}), Folder("out") + "song_Merged.mpeg");
    EXPECT_EQ(MakeMergedName(Folder("out"), {}), "");

    // Pieces of a merged file are named after the first merged file.
    const struct {
        const char* merged;
        const char* source;
    } sources[] = {
        {"a_Merged.ac3", "a.ac3"},
        {"song_Merged.mpeg", "song.mpeg"},  // any length of extension
        {"movie_Merged", "movie"},          // inputs without an extension
        {"a_1.ac3", "a_1.ac3"},             // not a merged name: named after itself
    };
    for (const auto& s : sources) {
        EXPECT_EQ(PieceNameSource(Folder("out") + s.merged, true), Folder("out") + s.source);
    }
    EXPECT_EQ(PieceNameSource(Folder("out") + "a_Merged.ac3", false),
              Folder("out") + "a_Merged.ac3");
}

TEST(PieceNames, TrailingSeparator) {
    EXPECT_EQ(FolderWithSeparator(kSep + "out"), Folder("out"));
    EXPECT_EQ(FolderWithSeparator(Folder("out")), Folder("out"));
    EXPECT_EQ(FolderWithSeparator(""), "");
}

TEST(CutListBuild, RowsWithoutPairTakeNoNumber) {
    const std::vector<DurationRow> rows = {Pair(1), std::nullopt, Pair(2), std::nullopt, Pair(3)};
    const CutList pal = BuildCutList(rows, TvSystem::Pal, Folder("o"), "x.ac3");
    ASSERT_EQ(pal.size(), 4u);
    const int indices[] = {0, 2, 4, -1};
    for (std::size_t i = 0; i < pal.size(); ++i) {
        EXPECT_EQ(pal[i].listIndex, indices[i]);
        EXPECT_EQ(pal[i].outputName, Folder("o") + "x_" + std::to_string(i + 1) + ".ac3");
        EXPECT_EQ(pal[i].isTail(), i + 1 == pal.size());  // the tail takes the rest: kToEnd
    }
    EXPECT_EQ(pal[1].duration, MakeTimeCode(0, 0, 2, 24));
    EXPECT_EQ(BuildCutList(rows, TvSystem::Ntsc, Folder("o"), "x.ac3")[1].duration,
              MakeTimeCode(0, 0, 2, 29));

    const CutList onlyTail = BuildCutList({}, TvSystem::Pal, Folder("o"), "x.ac3");
    ASSERT_EQ(onlyTail.size(), 1u);
    EXPECT_EQ(onlyTail[0].outputName, Folder("o") + "x_1.ac3");
    EXPECT_EQ(onlyTail[0].listIndex, -1);
    EXPECT_TRUE(onlyTail[0].isTail());
}

TEST(TypedDurations, ClampAndPair) {
    struct Case {
        TimeCode typed;
        TvSystem system;
        TimeCode clamped;
        TimeCode pal;
    };
    const Case cases[] = {
        {MakeTimeCode(0, 0, 0, 0), TvSystem::Ntsc, MakeTimeCode(0, 0, 0, 1),
         MakeTimeCode(0, 0, 0, 1)},
        {MakeTimeCode(0, 0, 0, 30), TvSystem::Ntsc, MakeTimeCode(0, 0, 0, 29),
         MakeTimeCode(0, 0, 0, 24)},
        {MakeTimeCode(0, 0, 0, 30), TvSystem::Pal, MakeTimeCode(0, 0, 0, 24),
         MakeTimeCode(0, 0, 0, 24)},
        {MakeTimeCode(99, 99, 99, 99), TvSystem::Ntsc, MakeTimeCode(24, 59, 59, 29),
         MakeTimeCode(24, 59, 59, 24)},
        {MakeTimeCode(1, 2, 3, 4), TvSystem::Pal, MakeTimeCode(1, 2, 3, 4),
         MakeTimeCode(1, 2, 3, 4)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClampDuration(c.typed, c.system), c.clamped) << TimeCodeToText(c.typed);
        const DurationPair pair = TypedDurationPair(c.typed, c.system);
        EXPECT_EQ(pair.ntsc, c.clamped);
        EXPECT_EQ(pair.pal, c.pal);
    }
}

TEST(TypedDurations, TimeCodeTexts) {
    EXPECT_EQ(ParseTimeCodeText("01:02:03.04"), MakeTimeCode(1, 2, 3, 4));
    EXPECT_EQ(ParseTimeCodeText("01:02:03:04"), MakeTimeCode(1, 2, 3, 4));
    EXPECT_EQ(ParseTimeCodeText("99:99:99.99"), MakeTimeCode(99, 99, 99, 99));
    EXPECT_EQ(ParseTimeCodeText("0:1:2.3"), MakeTimeCode(0, 1, 2, 3));
    for (const char* bad : {"", "01:02:03", "100:00:00.00", "01:02:03.04.05", "a1:02:03.04",
                            "01:02:03,04", " 01:02:03.04", "movie.ac3"}) {
        EXPECT_FALSE(ParseTimeCodeText(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace varnix
