#include "cli/app.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "cli/commands.h"
#include "support/temp_dir.h"
#include "varnix_version.h"

namespace varnix::cli {
namespace {

using test::CliRun;
using test::RunCli;

TEST(CliAppTest, HelpAndVersionSucceed) {
    const CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("demo"), std::string::npos);
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.status, kExitOk);
    EXPECT_NE(version.out.find(kVarnixVersion), std::string::npos);
}

TEST(CliAppTest, WrongUsageExitsWithTwo) {
    EXPECT_EQ(RunCli({}).status, kExitUsage);
    EXPECT_EQ(RunCli({"no-such-command"}).status, kExitUsage);
    EXPECT_EQ(RunCli({"demo", "a", "b"}).status, kExitUsage);
    EXPECT_FALSE(RunCli({"--bogus"}).err.empty());
}

TEST(CliAppTest, DemoListsTheKindOfEverySample) {
    const varnix::test::TempDir dir;
    const CliRun demo = RunCli({"demo", dir.path().string()});
    EXPECT_EQ(demo.status, kExitOk) << demo.err;
    for (const char* line : {"movie-5.1.ac3  kind .ac3", "surround.dts  kind .dts",
                             "commentary.mp2  kind .mpa", "music.wav  kind .wav"}) {
        EXPECT_NE(demo.out.find(line), std::string::npos) << line;
    }
}

TEST(CliAppTest, DemoTakesTheDurationsOfTheSampleVideosFromCopies) {
    const varnix::test::TempDir dir;
    const std::string bundledCache = SamplesFolder() + "/title-pal.m2v.vnf";
    const bool cachedBefore = std::filesystem::exists(bundledCache);
    const CliRun demo = RunCli({"demo", dir.path().string()});
    EXPECT_EQ(demo.status, kExitOk) << demo.err;
    EXPECT_NE(demo.out.find("  00:00:01.00 (PAL)  00:00:01.00 (NTSC)  title-ntsc.m2v\n"),
              std::string::npos);
    EXPECT_NE(demo.out.find("  00:00:02.00 (PAL)  00:00:02.00 (NTSC)  title-pal.m2v\n"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "title-pal.m2v.vnf"));
    // The sample audio is cut by those durations: the AC3 pieces add up to the sample.
    EXPECT_NE(demo.out.find("by 00:00:01.00 00:00:02.00 (NTSC)"), std::string::npos);
    std::uintmax_t pieces = 0;
    for (const char* piece : {"movie-5.1_1.ac3", "movie-5.1_2.ac3", "movie-5.1_3.ac3"}) {
        pieces += std::filesystem::file_size(dir.path() / piece);
    }
    EXPECT_EQ(pieces, std::filesystem::file_size(SamplesFolder() + "/movie-5.1.ac3"));
    // The demo works on copies: it never writes a cache beside the bundled samples.
    EXPECT_EQ(std::filesystem::exists(bundledCache), cachedBefore);
}

}  // namespace
}  // namespace varnix::cli
