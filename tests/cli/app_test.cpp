#include "cli/app.h"

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

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
    EXPECT_NE(version.out.find(VARNIX_VERSION), std::string::npos);
}

TEST(CliAppTest, WrongUsageExitsWithTwo) {
    EXPECT_EQ(RunCli({}).status, kExitUsage);
    EXPECT_EQ(RunCli({"no-such-command"}).status, kExitUsage);
    EXPECT_EQ(RunCli({"demo", "a", "b"}).status, kExitUsage);
    EXPECT_FALSE(RunCli({"--bogus"}).err.empty());
}

}  // namespace
}  // namespace varnix::cli
