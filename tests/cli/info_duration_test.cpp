#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "cli/app.h"
#include "support/temp_dir.h"

namespace varnix::cli {
namespace {

using test::TempDir;

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

RunResult Varnix(std::vector<std::string> args) {
    args.insert(args.begin(), "varnix");
    std::vector<const char*> argv;
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    const int status = RunVarnix(static_cast<int>(argv.size()), argv.data(), Streams{out, err, in});
    return {status, out.str(), err.str()};
}

TEST(VarnixInfo, PrintsReportsWithLFLineEndsAndAnEmptyLineBetween) {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-stereo-192k.ac3");
    const std::string wav = dir.copyData("wav-s16-plain.wav");
    const RunResult run = Varnix({"info", ac3, wav});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_EQ(run.out.rfind("Audio AC3 Information:\n\nFile name: ", 0), 0u);
    EXPECT_NE(run.out.find("Drop Frame: 00:00:02.00 (30 fps)\n\nAudio WAV Information: \n"),
              std::string::npos);
    EXPECT_TRUE(run.out.ends_with("\nPlay Time (NTSC) Drop Frame: 00:00:00.15 (30 fps)\n"));
}

TEST(VarnixInfo, NamesFilesThatCannotBeUsedAndFails) {
    TempDir dir;
    const std::string good = dir.copyData("mp2-crc.mp2");
    const std::string floatWav = dir.copyData("wav-float.wav");
    const std::string missing = dir.file("missing.dts");
    const RunResult run = Varnix({"info", floatWav, good, missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("Unknown file format\n\nAudio MPA Information: \n", 0), 0u);
    EXPECT_TRUE(
        run.out.ends_with("Private: No\n\nPlay Time (PAL): 00:00:02.00 (25 fps)\n"
                          "Play Time (NTSC) Non Drop Frame: 00:00:02.00 (30 fps)            \n"
                          "Play Time (NTSC) Drop Frame: 00:00:02.00 (30 fps)\n"
                          "\nUnknown file format\n"));
    EXPECT_EQ(run.err, "varnix: " + floatWav + ": not PCM (format tag 65534)\nvarnix: " + missing +
                           ": no such file\n");
}

TEST(VarnixInfo, ReportsBrokenFilesAndFails) {
    TempDir dir;
    const std::string noData = dir.copyData("bad/wav-no-data.wav");
    const RunResult run = Varnix({"info", noData});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("Audio WAV Information: \n", 0), 0u);
    EXPECT_EQ(run.err, "varnix: " + noData + ": no \"data\" chunk\n");
}

TEST(VarnixDuration, OneLinePerFileInTheChosenSystem) {
    TempDir dir;
    const std::string ac3 = dir.copyData("ac3-44k1-192k.ac3");
    const std::string wav = dir.copyData("wav-s16-list.wav");
    RunResult run = Varnix({"duration", ac3, wav});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "00:00:02.01\t" + ac3 + "\n00:00:00.15\t" + wav + "\n");
    run = Varnix({"duration", "-s", "pal", wav});
    EXPECT_EQ(run.out, "00:00:00.12\t" + wav + "\n");
    run = Varnix({"duration", "--system", "NTSC", wav});
    EXPECT_EQ(run.out, "00:00:00.15\t" + wav + "\n");
}

TEST(VarnixDuration, QuestionMarksAndStatus1ForFilesWithoutADuration) {
    TempDir dir;
    const std::string dts = dir.copyData("dts-51.dts");
    const std::string truncated = dir.copyData("bad/ac3-truncated-header.ac3");
    const std::string junk = dir.write("junk.bin", {1, 2, 3, 4, 5});
    const RunResult run = Varnix({"duration", truncated, dts, junk});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "???\t" + truncated + "\n00:00:01.00\t" + dts + "\n???\t" + junk + "\n");
    EXPECT_EQ(run.err, "varnix: " + truncated + ": truncated AC3 frame header\nvarnix: " + junk +
                           ": unknown file format\n");
}

TEST(VarnixDuration, WrongUsageIsStatus2) {
    EXPECT_EQ(Varnix({"duration", "-s", "secam", "x.ac3"}).status, 2);
    EXPECT_EQ(Varnix({"duration"}).status, 2);
    EXPECT_EQ(Varnix({"info"}).status, 2);
    const RunResult help = Varnix({"duration", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("HH:MM:SS.FF"), std::string::npos);
}

}  // namespace
}  // namespace varnix::cli
