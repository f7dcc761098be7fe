#include <gtest/gtest.h>

#include "merge/merge_engine.h"
#include "merge/merger.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

TEST(Merger, ProcessIsEnabledOnceAFileAndAResultNameAreThere) {
    Merger m;
    EXPECT_EQ(m.readiness(), 0);
    m.SetResultName("/out/a_Merged.ac3");
    EXPECT_EQ(m.readiness(), 2);
    EXPECT_FALSE(m.processEnabled());
    m.AddMergeFile("/in/a.ac3");
    EXPECT_TRUE(m.processEnabled());

    Merger n;
    n.AddMergeFile("/in/a.ac3");
    EXPECT_EQ(n.readiness(), 1);
    EXPECT_FALSE(n.processEnabled());
    n.SetResultName("/out/r.ac3");
    EXPECT_TRUE(n.processEnabled());
    n.ResetMerger();
    EXPECT_FALSE(n.processEnabled());
    EXPECT_TRUE(n.files().empty());
    EXPECT_EQ(n.resultName(), kMergerRootName);
}

TEST(Merger, ResultNames) {
    Merger m;
    EXPECT_EQ(m.resultName(), kMergerRootName);
    m.AddMergeFile("/in/a.ac3");
    m.SetResultName("/out/a_Merged");  // no extension: the first file's
    EXPECT_EQ(m.resultName(), "/out/a_Merged.ac3");
    m.SetResultName(kMergerRootName);  // ignored, readiness too
    EXPECT_EQ(m.resultName(), "/out/a_Merged.ac3");

    Merger empty;
    empty.SetResultName(kMergerRootName);
    EXPECT_EQ(empty.readiness(), 0);
    empty.SetResultName("/out/plain");  // nothing listed: stays without extension
    EXPECT_EQ(empty.resultName(), "/out/plain");
}

TEST(Merger, RowsShowUnknownColumnsAndTheExtension) {
    Merger m;
    m.AddMergeFile("/in/x.wav");
    m.AddMergeFile("/in/x.mpeg");
    m.AddMergeFile("/in/noext");
    ASSERT_EQ(m.files().size(), 3u);
    EXPECT_EQ(m.files()[0].fileName, "/in/x.wav");
    EXPECT_EQ(m.files()[0].columns, (std::array<std::string, 3>{"?????", "?????", "WAV"}));
    EXPECT_EQ(m.files()[1].columns[2], ".MPEG");
    EXPECT_EQ(m.files()[2].columns[2], "");
    EXPECT_EQ(MergeExtensionText("a.Ac3"), "AC3");
}

TEST(Merger, ControlsWorkWhileAMergeRunsAndTheLentBarShowsIt) {
    test::TempDir dir;
    test::RecordingHost host;
    Merger m;
    std::vector<MergerControls> states;
    m.setControlsListener([&](MergerControls c) { states.push_back(c); });
    ProgressState lent;
    m.LendProgressBar(&lent);
    EXPECT_EQ(&m.progress(), &lent);
    const std::string a = dir.copyData("mp2-crc.mp2");
    m.AddMergeFile(a);
    m.SetResultName(dir.file("r.mp2"));
    bool busyInside = false;
    Merge(
        m, [&](int) { busyInside = m.busy() && m.controls() == MergerControls::Working; }, nullptr);
    EXPECT_TRUE(busyInside);
    EXPECT_EQ(states, (std::vector<MergerControls>{MergerControls::Working, MergerControls::Idle}));
    EXPECT_EQ(lent.maximum(), 0);
    m.ReturnProgressBar();
    EXPECT_NE(&m.progress(), &lent);
}

}  // namespace
}  // namespace varnix
