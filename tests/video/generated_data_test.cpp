// Test files that no encoder here makes are built by the stream builders; this keeps the
// committed copy equal to what the builders produce. To write it again, run
//   build/bin/varnix_video_tests --gtest_also_run_disabled_tests
//       --gtest_filter='GeneratedTestData.DISABLED_*'
// on one line.

#include <gtest/gtest.h>

#include "scan_helpers.h"

namespace varnix {
namespace {

using namespace varnix::test;

// 250 PAL frames coded as 500 field pictures, top field first, GOPs of 12 frames.
Bytes FieldPictureStream() {
    StreamLayout layout = Mpeg2Layout();
    layout.display = SequenceDisplayExtensionParams{};
    return BuildVideoStream(layout, FieldPictures(250, 12));
}

TEST(GeneratedTestData, FieldPictureStreamIsTheBuildersOutput) {
    TempDir dir;
    EXPECT_EQ(ReadAll(dir.copyData("video/fields_pal.m2v")), FieldPictureStream());
}

TEST(GeneratedTestData, DISABLED_WriteFieldPictureStream) {
    WriteAll(DataPath("video/fields_pal.m2v"), FieldPictureStream());
}

}  // namespace
}  // namespace varnix
