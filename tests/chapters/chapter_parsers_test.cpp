// The readers on lists built in memory: the running time line, what each format adds to the
// committed files, and a clear message for every kind of broken list.

#include <gtest/gtest.h>

#include <random>

#include "chapters/chapter_reader.h"
#include "chapters/dvd_cells.h"

namespace varnix {
namespace {

ChapterReadResult Parse(const std::string& text, TvSystem system = TvSystem::Ntsc) {
    ChapterReadOptions options;
    options.system = system;
    return ParseChapterText(text, "list", options);
}

// Over random lists of starts in CUE frames, milliseconds and NTSC frames, the durations add
// up, at every chapter, to the frame nearest to the exact start: the error never grows.
TEST(ChapterDurations, StayOnTheRunningTimeLine) {
    std::mt19937_64 random(15);
    for (int round = 0; round < 200; ++round) {
        const std::int64_t unitDen[] = {75, 1000, 30000};
        const std::int64_t den = unitDen[round % 3];
        const std::int64_t unitNum = den == 30000 ? 1001 : 1;
        ChapterList list;
        std::int64_t units = static_cast<std::int64_t>(random() % 3);
        const int count = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            list.chapters.push_back({*TimeFromFraction(units * unitNum, den), {}, {}, 0});
            units += 1 + static_cast<std::int64_t>(random() % 20000);
        }
        if (round % 2 == 0) {
            list.chapters.back().end = TimeFromFraction(units * unitNum, den);
        }
        const auto durations = ChapterDurations(list);
        const bool leading = list.chapters.front().start.ticks > 0;
        ASSERT_EQ(durations.size(),
                  list.chapters.size() - (round % 2 == 0 ? 0 : 1) + (leading ? 1 : 0));
        for (const TvSystem system : {TvSystem::Pal, TvSystem::Ntsc}) {
            const std::int64_t frameTicks = system == TvSystem::Pal ? ChapterTime::kPalFrameTicks
                                                                    : ChapterTime::kNtscFrameTicks;
            std::int64_t sum = 0;
            for (std::size_t k = 0; k < durations.size(); ++k) {
                sum += durations[k].Frames(system);
                ASSERT_GE(durations[k].Frames(system), 0);
                const std::size_t next = leading ? k : k + 1;
                const ChapterTime reached = next < list.chapters.size() ? list.chapters[next].start
                                                                        : *list.chapters.back().end;
                // Within half a frame of the exact time, counted in ticks.
                ASSERT_LE(2 * std::abs(sum * frameTicks - reached.ticks), frameTicks) << k;
            }
        }
    }
}

TEST(ChapterTimes, RoundHalfwayFramesToEven) {
    // 0.02 s is half a PAL frame, 0.06 s one and a half.
    EXPECT_EQ(FramesAt(*TimeFromFraction(2, 100), TvSystem::Pal), 0);
    EXPECT_EQ(FramesAt(*TimeFromFraction(6, 100), TvSystem::Pal), 2);
    EXPECT_EQ(FramesAt(*TimeFromFraction(1001, 60000), TvSystem::Ntsc), 0);
    EXPECT_EQ(FramesAt(TimeOfFrames(107892, TvSystem::Ntsc), TvSystem::Ntsc), 107892);
}

TEST(ChapterFormats, ReadWhatTheCommittedFilesDoNotShow) {
    // Matroska: times in nanoseconds, the first edition when none is ordered, sub-chapters
    // left out.
    const auto mkv = Parse(
        "<?xml version=\"1.0\"?><Chapters><EditionEntry><ChapterAtom>"
        "<ChapterTimeStart>1000000000</ChapterTimeStart><ChapterAtom><ChapterTimeStart>"
        "1500000000</ChapterTimeStart></ChapterAtom></ChapterAtom><ChapterAtom>"
        "<ChapterTimeStart>2000000000</ChapterTimeStart></ChapterAtom></EditionEntry>"
        "<EditionEntry><ChapterAtom><ChapterTimeStart>0</ChapterTimeStart></ChapterAtom>"
        "</EditionEntry></Chapters>");
    ASSERT_TRUE(mkv.ok()) << mkv.problem.Message();
    const auto mkvDurations = ChapterDurations(*mkv.list);
    ASSERT_EQ(mkvDurations.size(), 2u);
    EXPECT_EQ(mkvDurations[0].name, "before chapter 1");
    EXPECT_EQ(mkvDurations[1].palFrames, 25);

    // FFMETADATA: a time base of 1001/30000, escaped names, other sections skipped.
    const auto ff = Parse(
        ";FFMETADATA1\ntitle=x\n[STREAM]\nSTART=5\n[CHAPTER]\nTIMEBASE=1001/30000\nSTART=0\n"
        "END=30\ntitle=a\\=b\\\nc\n[CHAPTER]\nTIMEBASE=1001/30000\nSTART=30\n");
    ASSERT_TRUE(ff.ok()) << ff.problem.Message();
    const auto ffDurations = ChapterDurations(*ff.list);
    ASSERT_EQ(ffDurations.size(), 1u);
    EXPECT_EQ(ffDurations[0].name, "a=b c");
    EXPECT_EQ(ffDurations[0].ntscFrames, 30);

    // A CUE sheet of several files: each starts where the one before it ends.
    ChapterReadOptions options;
    options.folder = "/discs/";
    std::vector<std::string> asked;
    options.mediaLength = [&asked](const std::string& file) {
        asked.push_back(file);
        return TimeFromFraction(10, 1);
    };
    const auto cue = ParseChapterText(
        "FILE \"a b.wav\" WAVE\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
        "FILE b.wav WAVE\n TRACK 02 AUDIO\n  INDEX 01 00:01:00\n"
        "FILE c.wav WAVE\n TRACK 03 AUDIO\n  TITLE \"Late title\"\n  INDEX 01 00:00:00\n"
        "FILE d.wav WAVE\n",
        "album.cue", options);
    ASSERT_TRUE(cue.ok()) << cue.problem.Message();
    EXPECT_EQ(asked, (std::vector<std::string>{"/discs/a b.wav", "/discs/b.wav"}));
    const auto cueDurations = ChapterDurations(*cue.list);
    ASSERT_EQ(cueDurations.size(), 2u);
    EXPECT_EQ(cueDurations[0].palFrames, 275);  // 0 to 11 s
    EXPECT_EQ(cueDurations[1].palFrames, 225);  // 11 to 20 s
    EXPECT_EQ(cue.list->chapters[2].name, "Late title");
}

TEST(ChapterFormats, RefuseBrokenListsNamingLineAndProblem) {
    std::string deep = "<Chapters>";
    for (int i = 0; i < 40; ++i) {
        deep += "<a>";
    }
    for (int i = 0; i < 40; ++i) {
        deep += "</a>";
    }
    deep += "</Chapters>";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "list: empty: no chapters"},
        {"hello world\n", "list:1: not a chapter list of a known format"},
        {"CHAPTER01=00:00:00.000\nCHAPTER02=00:00:05.000\nCHAPTER03=00:00:05.000\n",
         "list:3: chapter 3 starts at 00:00:05.000, the same time as chapter 2"},
        {"CHAPTER01=00:10:00.000\nCHAPTER02=00:05:00.000\n",
         "list:2: chapter 2 starts at 00:05:00.000, before chapter 1"},
        {"CHAPTER01=00:61:00.000\n", "list:1: \"00:61:00.000\" is not a time HH:MM:SS.fff"},
        {"CHAPTER01NAME=x\n", "list:1: CHAPTER01NAME before CHAPTER01="},
        {"CHAPTER01=100:00:00.000\n", "list:1: chapter 1 starts beyond 99 hours"},
        {"FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:01:75\n",
         "list:3: frame 75 in \"00:01:75\": a CUE sheet counts 75 frames a second"},
        {"FILE a.wav WAVE\nTRACK 01 AUDIO\nTRACK 02 AUDIO\n", "list:2: TRACK 01 has no INDEX 01"},
        {"FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE b.wav WAVE\nTRACK 02 AUDIO\n"
         "INDEX 01 00:00:00\n",
         "list:1: the length of \"a.wav\" is not known"},
        {"<Chapters><EditionEntry><ChapterAtom>\n<ChapterTimeStart>soon</ChapterTimeStart>"
         "</ChapterAtom></EditionEntry></Chapters>",
         "list:2: ChapterAtom 1: ChapterTimeStart \"soon\" is neither nanoseconds nor"},
        {"<Chapters><EditionEntry>\n<ChapterAtom>", "list:2: not well-formed XML"},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol1 "
         "\"&lol;&lol;&lol;&lol;\">]>\n<Chapters>&lol1;</Chapters>",
         "list:2: a DOCTYPE that declares entities is not accepted"},
        {deep, "list:1: a is nested deeper than 32 elements"},
        {"<dvdauthor><vmgm/></dvdauthor>",
         "list:1: no pgc with a vob that has a chapters attribute"},
        {"<dvdauthor><titleset><titles><pgc>\n<vob file=\"a.mpg\" chapters=\"0,x\"/>"
         "</pgc></titles></titleset></dvdauthor>",
         "list:2: vob chapters: \"x\" is not a chapter time"},
        {"<html/>", "list:1: XML whose root element html is neither"},
        {";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/0\n", "list:3: TIMEBASE=1/0 is not a time base"},
        {";FFMETADATA1\n[CHAPTER]\nEND=5\n", "list:2: [CHAPTER] without START="},
        {";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1\nSTART=9\nEND=4\n",
         "list:2: chapter 1 ends at 00:00:04.000, before its start 00:00:09.000"},
        {"00:00:01:25\n", "list:1: \"00:00:01:25\": frame 25 of a time code at 25 frames"},
        {"00:01:00;01\n", "list:1: \"00:01:00;01\": a drop-frame time code skips frames 0 and 1"},
        {"0\n25\n10\n", "list:3: chapter 3 starts at 00:00:00.400, before chapter 2"},
        {"0,1:2:3:4\n", "list:1: \"1:2:3:4\" is not a chapter time"},
        {"1.5\tsoon\tx\n", "list:1: \"soon\" is not a time in seconds"},
        {std::string("DVDVIDEO-VTS\0\0", 14), "list: a DVD IFO file, which is read from"},
        {std::string("ab\0c", 4), "list: binary data, not a chapter list"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = Parse(c.text, TvSystem::Pal);
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.problem.Message().substr(0, c.message.size()), c.message);
    }
}

// A program chain of five cells: program 1 is cells 1-2, program 2 an angle block of two
// cells (cells 3-4) and cell 5.
TEST(DvdCells, ProgramsSumTheirCellsAndCountAnAngleBlockOnce) {
    cell_playback_t cells[5] = {};
    const std::uint8_t times[5][4] = {{0x00, 0x01, 0x02, 0x40 | 0x10},  // 1:02 + 10 PAL frames
                                      {0x00, 0x00, 0x03, 0x40},
                                      {0x00, 0x00, 0x04, 0xC0 | 0x15},  // 4 s + 15 NTSC frames
                                      {0x00, 0x00, 0x09, 0xC0},
                                      {0x01, 0x00, 0x00, 0xC0 | 0x29}};
    for (int i = 0; i < 5; ++i) {
        cells[i].playback_time = {times[i][0], times[i][1], times[i][2], times[i][3]};
    }
    cells[2].block_type = BLOCK_TYPE_ANGLE_BLOCK;
    cells[2].block_mode = BLOCK_MODE_FIRST_CELL;
    cells[3].block_type = BLOCK_TYPE_ANGLE_BLOCK;
    cells[3].block_mode = BLOCK_MODE_LAST_CELL;
    pgc_program_map_t map[2] = {1, 3};
    pgc_t pgc = {};
    pgc.nr_of_programs = 2;
    pgc.nr_of_cells = 5;
    pgc.program_map = map;
    pgc.cell_playback = cells;

    std::string why;
    EXPECT_EQ(ProgramLength(pgc, 1, why), TimeFromFraction(65 * 25 + 10, 25));
    const ChapterTime second = AddTimes(
        AddTimes(*TimeFromFraction(4 + 3600, 1), TimeOfFrames(15 + 29, TvSystem::Ntsc)), {});
    EXPECT_EQ(ProgramLength(pgc, 2, why), second);
    EXPECT_FALSE(ProgramLength(pgc, 3, why));
    EXPECT_EQ(why, "program 3 is not in its program chain");

    cells[4].playback_time.frame_u = 0x4A;  // not BCD
    EXPECT_FALSE(ProgramLength(pgc, 2, why));
    EXPECT_EQ(why, "cell 5 has a playback time that is not BCD with a frame rate of 25 or 29.97");
    map[1] = 9;  // a program beyond the cells
    EXPECT_FALSE(ProgramLength(pgc, 1, why));
    EXPECT_FALSE(CellPlaybackTime({0x00, 0x00, 0x01, 0x00}));  // no rate flag
    EXPECT_EQ(CellPlaybackTime({0, 0, 0, 0}), ChapterTime{});
}

}  // namespace
}  // namespace varnix
