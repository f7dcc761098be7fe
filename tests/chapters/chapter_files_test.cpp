// Every committed chapter file (made by the tool that writes its format where Debian has one,
// see data/chapters/README.md) gives the durations worked out by hand from its chapter times:
// frames of 1/25 s and of 1001/30000 s, each start rounded on the running time line.

#include <gtest/gtest.h>

#include <filesystem>

#include "chapters/chapter_reader.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

struct Expected {
    std::string name;
    std::int64_t pal;
    std::int64_t ntsc;
};

struct ChapterFileCase {
    std::string file;
    TvSystem system;
    ChapterFormat format;
    std::vector<Expected> durations;
};

// Copies a committed chapter file (or the VIDEO_TS folder) and returns the copy's name.
std::string CopyChapterData(const test::TempDir& dir, const std::string& name) {
    const auto source = std::filesystem::path(test::DataPath("chapters/" + name));
    const auto target = dir.path() / name;
    std::filesystem::copy(source, target, std::filesystem::copy_options::recursive);
    return target.string();
}

TEST(ChapterFiles, GiveTheDurationsOfTheirChapterTimes) {
    const std::vector<Expected> film = {
        {"Opening", 62, 75}, {"The yellow box", 64, 75}, {"Halfway", 68, 83}};
    auto withEnd = [&film](std::int64_t pal, std::int64_t ntsc) {
        auto all = film;
        all.push_back({"Finale", pal, ntsc});
        return all;
    };
    const std::vector<ChapterFileCase> cases = {
        // 0, 2.5, 5.02, 7.777 s; the ordered edition ends at 9.5 s, ffmpeg's list at 10 s.
        {"ogm-chapters.txt", TvSystem::Ntsc, ChapterFormat::Ogm, film},
        {"matroska-chapters.xml", TvSystem::Pal, ChapterFormat::MatroskaXml, withEnd(44, 52)},
        {"ffmetadata.txt", TvSystem::Pal, ChapterFormat::FfMetadata, withEnd(56, 67)},
        // INDEX 01 at 00:02:33, 04:10:74, 64:59:01 and 75:00:00 (75 frames a second).
        {"album.cue",
         TvSystem::Pal,
         ChapterFormat::CueSheet,
         {{"before chapter 1", 61, 73},
          {"Prelude", 6214, 7449},
          {"Long piece", 91200, 109332},
          {"After the hour", 15025, 18011}}},
        // Frames 250, 1000, 1500, 4321 of each system.
        {"celltimes.txt",
         TvSystem::Pal,
         ChapterFormat::Celltimes,
         {{"before chapter 1", 250, 300},
          {"Chapter 1", 750, 899},
          {"Chapter 2", 500, 599},
          {"Chapter 3", 2821, 3382}}},
        {"celltimes.txt",
         TvSystem::Ntsc,
         ChapterFormat::Celltimes,
         {{"before chapter 1", 209, 250},
          {"Chapter 1", 625, 750},
          {"Chapter 2", 417, 500},
          {"Chapter 3", 2353, 2821}}},
        // 0, 5:12.3, 1:02:03, 1:02:03.5.
        {"dvdauthor-list.txt",
         TvSystem::Ntsc,
         ChapterFormat::DvdauthorList,
         {{"Chapter 1", 7808, 9360}, {"Chapter 2", 85267, 102218}, {"Chapter 3", 13, 15}}},
        // The first title's vob: 0, 2, 4.5, 0:07.3.
        {"dvdauthor.xml",
         TvSystem::Pal,
         ChapterFormat::DvdauthorXml,
         {{"Chapter 1", 50, 60}, {"Chapter 2", 62, 75}, {"Chapter 3", 70, 84}}},
        // Point labels at 0 and 12.345678 s, a region from 65.5 to 70.25 s.
        {"audacity-labels.txt",
         TvSystem::Ntsc,
         ChapterFormat::AudacityLabels,
         {{"Intro", 309, 370}, {"Verse", 1329, 1593}, {"Chorus", 118, 142}}},
        // 00:00:10:00 and 00:10:00:15 at the system's rate, 00:01:00;02 drop frame (60.06 s).
        {"smpte.txt",
         TvSystem::Pal,
         ChapterFormat::SmpteList,
         {{"before chapter 1", 250, 300},
          {"Opening", 1252, 1500},
          {"After the first minute", 13513, 16200}}},
        {"smpte.txt",
         TvSystem::Ntsc,
         ChapterFormat::SmpteList,
         {{"before chapter 1", 250, 300},
          {"Opening", 1252, 1500},
          {"After the first minute", 13526, 16215}}},
        // dvdauthor put the chapters on the GOPs at 1.84, 4.72 and 7.12 s; the title lasts 9.96 s.
        {"VIDEO_TS",
         TvSystem::Ntsc,
         ChapterFormat::DvdIfo,
         {{"Chapter 1", 46, 55},
          {"Chapter 2", 72, 86},
          {"Chapter 3", 60, 72},
          {"Chapter 4", 71, 86}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        test::TempDir dir;
        ChapterReadOptions options;
        options.system = c.system;
        const ChapterReadResult read = ReadChapterFile(CopyChapterData(dir, c.file), options);
        ASSERT_TRUE(read.ok()) << read.problem.Message();
        EXPECT_EQ(read.list->format, c.format);
        const auto durations = ChapterDurations(*read.list);
        ASSERT_EQ(durations.size(), c.durations.size());
        for (std::size_t i = 0; i < durations.size(); ++i) {
            EXPECT_EQ(durations[i].name, c.durations[i].name);
            EXPECT_EQ(durations[i].palFrames, c.durations[i].pal) << i;
            EXPECT_EQ(durations[i].ntscFrames, c.durations[i].ntsc) << i;
            EXPECT_EQ(durations[i].pal, FramesToTimeCode(c.durations[i].pal, 25.0));
            EXPECT_EQ(durations[i].ntsc, FramesToTimeCode(c.durations[i].ntsc, 30.0));
        }
    }
}

TEST(ChapterFiles, DvdTitlesArePickedByNumberOrLength) {
    test::TempDir dir;
    const std::string dvd = CopyChapterData(dir, "VIDEO_TS");
    ChapterReadOptions options;
    options.system = TvSystem::Pal;
    options.title = 2;  // the 2 s title of w704_pal.m2v, one chapter
    const auto second = ReadChapterFile(dvd + "/VIDEO_TS.IFO", options);
    ASSERT_TRUE(second.ok()) << second.problem.Message();
    const auto durations = ChapterDurations(*second.list);
    ASSERT_EQ(durations.size(), 1u);
    EXPECT_EQ(durations[0].palFrames, 50);

    options.title = 3;
    const auto missing = ReadChapterFile(dvd, options);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.problem.Message(), dvd + ": no title 3: the DVD has 2 titles");

    // A title set's own IFO numbers its own titles; the default is the longest.
    options.title = 0;
    const auto own = ReadChapterFile(dvd + "/VTS_01_0.IFO", options);
    ASSERT_TRUE(own.ok()) << own.problem.Message();
    EXPECT_EQ(own.list->chapters.size(), 4u);
}

TEST(ChapterFiles, ReadsOfTextAreBounded) {
    test::TempDir dir;
    const std::string big =
        dir.write("big.txt", std::vector<std::uint8_t>(kMaxChapterFileBytes + 1, '\n'));
    const auto read = ReadChapterFile(big, {});
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.problem.Message(), big + ": larger than 4 MiB, too large for a chapter list");
}

}  // namespace
}  // namespace varnix
