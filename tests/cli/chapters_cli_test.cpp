#include <gtest/gtest.h>

#include "cli_runner.h"
#include "support/temp_dir.h"

namespace varnix::cli {
namespace {

using test::RunCli;
using varnix::test::TempDir;

TEST(VarnixChapters, PrintsOneDurationALineInTheChosenSystem) {
    TempDir dir;
    const std::string list = dir.copyData("chapters/ffmetadata.txt");
    const auto pal = RunCli({"chapters", "-s", "pal", list});
    EXPECT_EQ(pal.status, 0);
    EXPECT_EQ(pal.out,
              "00:00:02.12\tOpening\n00:00:02.14\tThe yellow box\n00:00:02.18\tHalfway\n"
              "00:00:02.06\tFinale\n");
    const auto ntsc = RunCli({"chapters", list});
    EXPECT_EQ(ntsc.out.substr(0, 20), "00:00:02.15\tOpening\n");
    const std::string single = dir.write("single.txt", {'0'});
    const auto none = RunCli({"chapters", single});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no duration"), std::string::npos);
}

TEST(VarnixChapters, NamesFileAndLineOfABrokenListAndFailsWithStatus1) {
    TempDir dir;
    const std::string bad = dir.copyData("bad/chapters-cue-frame-75.cue");
    const auto run = RunCli({"chapters", bad});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.find("varnix: " + bad + ":4: frame 75"), 0u) << run.err;
    EXPECT_EQ(RunCli({"chapters", "--title", "0", bad}).status, 2);
    EXPECT_EQ(RunCli({"chapters"}).status, 2);
}

TEST(VarnixChapters, PutsTheFilesOfACueSheetOnOneTimeLine) {
    TempDir dir;
    const std::string cue = dir.copyData("chapters/two-files.cue");
    dir.copyData("wav-s16-list.wav");  // the last file's length is not needed
    const auto missing = RunCli({"chapters", cue});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(":2: the length of \"wav-s16-plain.wav\" is not known"),
              std::string::npos);
    dir.copyData("wav-s16-plain.wav");
    // 0, 20/75 s in the first file of 0.5 s, then 0 and 30/75 s in the second.
    const auto run = RunCli({"chapters", "-s", "pal", cue});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "00:00:00.07\tPlain\n00:00:00.05\tPlain, second part\n"
              "00:00:00.10\tWith a LIST chunk\n");
}

TEST(VarnixSplit, TakesTheDurationsOfChapterListsInTheOrderGiven) {
    TempDir dir;
    const std::string wav = dir.copyData("wav-s16-plain.wav");  // 0.5 s, 7680 bytes a PAL frame
    const std::string list = dir.write("list.txt", {'0', ',', '0', '.', '1', ',', '0', '.', '2'});
    const auto run = RunCli({"split", "-s", "pal", "-o", dir.file("out"), "-d", "00:00:00.01", "-C",
                             list, "-d", "00:00:00.03", wav});
    EXPECT_EQ(run.status, 0) << run.err;
    // 1 frame, the chapters' 2.5 -> 2 and 2.5 -> 3 frames (0.1 s and 0.2 s on the running time
    // line), 3 frames, and the rest.
    const std::string out = dir.file("out") + "/wav-s16-plain_";
    EXPECT_EQ(run.out, out + "1.wav\t7724\n" + out + "2.wav\t15404\n" + out + "3.wav\t23084\n" +
                           out + "4.wav\t23084\n" + out + "5.wav\t26924\n");
    const auto broken = RunCli({"split", "-C", dir.file("none.txt"), wav});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("nothing was cut"), std::string::npos);
}

}  // namespace
}  // namespace varnix::cli
