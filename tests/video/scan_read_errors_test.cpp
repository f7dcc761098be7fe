// A read error during a video scan used to end the scan as if the file ended there: the video got
// a short duration and a cache file that kept it. The scan now throws IoError naming the file and
// the reason, and leaves no cache behind.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/errors.h"
#include "core/bitstream.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "probe/report.h"
#include "scan_helpers.h"
#include "support/recording_host.h"
#include "video/get_video_info.h"

namespace varnix {
namespace {

using namespace varnix::test;

TEST(VideoScanReadErrors, StopTheScanWithTheReasonAndWriteNoCache) {
    TempDir dir;
    StreamLayout layout = Mpeg2Layout();
    layout.sliceBytes = 2000;  // about 4 KB a picture: the file spans two blocks of the scan
    const std::string video =
        dir.write("v.m2v", BuildVideoStream(layout, FramePictures(250, 12, PictureCodingParams{})));
    ASSERT_GT(FileSizeOf(video), 700000u);
    RecordingHost host;
    // In the first block (the reader's first fill), in the second, and at its very end (the
    // look-ahead and the last fill).
    for (const std::uint64_t bad :
         {std::uint64_t{1000}, std::uint64_t{700000}, FileSizeOf(video) - 1}) {
        SCOPED_TRACE(bad);
        {
            const InjectedReadFault fault(video, bad);
            try {
                GetVideoInfo(video, nullptr, nullptr, {});
                ADD_FAILURE() << "no error";
            } catch (const IoError& e) {
                EXPECT_EQ(e.fileName(), video);
                EXPECT_NE(std::string(e.what()).find("Unable to read from file " + video + ": "),
                          std::string::npos)
                    << e.what();
            }
            if (bad < TFileBitStream::kScanBufferSize) {
                // The report's quick look reads the first block only.
                EXPECT_THROW(ShowMediaInformation(video, false, nullptr), IoError);
            }
        }
        // Nothing of the failed scan stays beside the video.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1);
    }
    EXPECT_TRUE(host.messages.empty());
    // Readable again, the video scans to its end.
    const std::optional<VideoInfo> info = GetVideoInfo(video, nullptr, nullptr, {});
    ASSERT_TRUE(info);
    EXPECT_EQ(info->frames, 250);
    EXPECT_TRUE(FileExists(video + kVideoCacheSuffix));
}

}  // namespace
}  // namespace varnix
