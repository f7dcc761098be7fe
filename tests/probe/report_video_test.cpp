// The information report of MPEG video files: its lines, the duration block that appears once
// the video has a cache file, the still test and the aspect ratio tables.

#include <gtest/gtest.h>

#include "probe/report.h"
#include "probe/video_information.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/video_builders.h"
#include "video/get_video_info.h"

namespace varnix {
namespace {

using namespace varnix::test;

void Probe(const std::string& file) {
    ASSERT_TRUE(GetVideoInfo(file, nullptr, nullptr, {}).has_value());
}

TEST(VideoReport, PalStreamBeforeAndAfterItsFirstProbe) {
    TempDir dir;
    const std::string file = dir.copyData("video/pal_mpeg2.m2v", "t.m2v");
    const std::string head = "Video MPG Information:\r\n\r\nFile name: " + TailText(file, 25) +
                             "\r\n"
                             "Video Type: Video\r\n"
                             "Resolution: PAL\r\n"
                             "Encode Type: MPEG 2\r\n"
                             "Size: 720 x 576\r\n"
                             "Display Size: 720 x 576\r\n"
                             "Aspect Ratio: 4 : 3\r\n"
                             "Bit rate: 9800000\r\n"
                             "Bitrate Type: Variable\r\n"
                             "Line21 Switch1: No\r\n"
                             "Line21 Switch2: No\r\n"
                             "Is PullDown: No\r\n"
                             "Frame Rate: 25\r\n"
                             "Data Start Time:  00:00:00.00 (25 fps)            \r\n";
    EXPECT_EQ(ShowMediaInformation(file, false, nullptr), head + "\r\n");
    Probe(file);
    EXPECT_EQ(ShowMediaInformation(file, false, nullptr),
              head +
                  "Data End Time:    00:00:09.24 (25 fps)\r\n"
                  "Duration:              00:00:10.00 (25 fps)\r\n");
}

TEST(VideoReport, NtscPullDownStream) {
    TempDir dir;
    const std::string file = dir.copyData("video/ntsc_pulldown.m2v");
    Probe(file);
    const std::string text = ShowMediaInformation(file, false, nullptr);
    for (const char* line :
         {"\r\nResolution: NTSC\r\n", "\r\nDisplay Size: 720 x 480\r\n", "\r\nIs PullDown: Yes\r\n",
          "\r\nFrame Rate: 29.97\r\n", "\r\nData Start Time:  00:00:00.00 (30 fps)            \r\n",
          "\r\nData End Time:    00:00:09.29 (30 fps)\r\n",
          "\r\nDuration:              00:00:10.00 (30 fps)\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(VideoReport, StillsAndMpeg1) {
    TempDir dir;
    const std::string still =
        ShowMediaInformation(dir.copyData("video/still_pal.m2v"), false, nullptr);
    EXPECT_NE(still.find("\r\nVideo Type: Still\r\n"), std::string::npos);
    const std::string mpeg1 =
        ShowMediaInformation(dir.copyData("video/mpeg1_cif.m1v"), false, nullptr);
    EXPECT_NE(mpeg1.find("\r\nVideo Type: Video\r\n"), std::string::npos);
    EXPECT_NE(mpeg1.find("\r\nEncode Type: MPEG 1\r\n"), std::string::npos);
    EXPECT_NE(mpeg1.find("\r\nAspect Ratio: 1 : 1\r\n"), std::string::npos);
    EXPECT_NE(mpeg1.find("\r\nBit rate: 1150000\r\n"), std::string::npos);
}

TEST(VideoReport, EndTimeCountsFromTheFirstGOPTimeCode) {
    TempDir dir;
    StreamLayout layout;
    layout.extension = SequenceExtensionParams{};
    std::vector<StreamPicture> pictures = FramePictures(30, 30, PictureCodingParams{});
    Bytes stream = BuildVideoStream(layout, pictures);
    // Start the stream at 01:00:59.20: the GOP header follows the sequence header and its
    // extension.
    const Bytes gop = GOPHeaderBytes({.hours = 1, .minutes = 0, .seconds = 59, .pictures = 20});
    const std::size_t at = SequenceHeaderBytes(layout.sequence).size() +
                           SequenceExtensionBytes(*layout.extension).size();
    std::copy(gop.begin(), gop.end(), stream.begin() + static_cast<long>(at));
    const std::string file = dir.write("v.m2v", stream);
    Probe(file);
    const std::string text = ShowMediaInformation(file, false, nullptr);
    EXPECT_NE(text.find("\r\nData Start Time:  01:00:59.20 (25 fps)            \r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nData End Time:    01:01:00.24 (25 fps)\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDuration:              00:00:01.05 (25 fps)\r\n"), std::string::npos);
}

TEST(VideoReport, PanScanWindowAndDisplaySize) {
    TempDir dir;
    StreamLayout layout;
    layout.extension = SequenceExtensionParams{};
    SequenceDisplayExtensionParams display;
    display.displayWidth = 540;
    display.displayHeight = 576;
    layout.display = display;
    layout.gopUserData = Line21UserDataBytes(0x0A, 0xFF, 0xFE);
    const std::string file =
        dir.write("v.m2v", BuildVideoStream(layout, FramePictures(3, 3, PictureCodingParams{})));
    const std::string text = ShowMediaInformation(file, false, nullptr);
    EXPECT_NE(text.find("\r\nSize: 720 x 576\r\nDisplay Size: 540 x 576\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nAspect Ratio: 4 : 3 (Pan-scan)\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nLine21 Switch1: No\r\nLine21 Switch2: Yes\r\n"), std::string::npos);
}

TEST(VideoReport, LongNamesKeepTheirLast25Characters) {
    TempDir dir;
    const std::string file = dir.copyData("video/still_pal.m2v", "a-rather-long-still-name.m2v");
    const std::string text = ShowMediaInformation(file, false, nullptr);
    EXPECT_NE(text.find("\r\nFile name: ..." + file.substr(file.size() - 25) + "\r\n"),
              std::string::npos);
}

TEST(VideoReport, ShownAsInformation) {
    TempDir dir;
    const std::string file = dir.copyData("video/still_pal.m2v");
    RecordingHost host;
    const std::string text = ShowMediaInformation(file, true, nullptr);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(host.messages[0].text, text);
    EXPECT_EQ(ShowMediaInformation(dir.copyData("video/w704_pal.m2v"), false, nullptr),
              kUnknownFileFormat);
}

TEST(AspectRatioText, ThreeTablesByVersionAndRate) {
    struct Row {
        std::uint32_t version, code;
        int rate;
        bool panScan;
        const char* text;
    };
    const Row rows[] = {
        {2, 2, 25, false, "4 : 3"},
        {2, 3, 30, false, "16 : 9"},
        {2, 4, 25, false, "2.21 : 1"},
        {2, 12, 25, false, "4 : 3"},
        {2, 2, 25, true, "4 : 3 (Pan-scan)"},
        {1, 3, 25, false, "16 : 9"},
        {1, 3, 30, false, "0.7031 16:9, 625line"},
        {1, 6, 25, false, "0.8437 16:9, 525line"},
        {1, 6, 24, false, "16 : 9"},
        {1, 8, 25, false, "4 : 3"},
        {1, 8, 30, false, "0.9375 CCIR601, 625line"},
        {1, 12, 25, false, "1.1250 CCIR601, 525line"},
        {1, 12, 30, false, "4 : 3"},
        {1, 15, 25, false, "Reserved"},
        {2, 0, 25, false, "Forbidden"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(AspectRatioText(row.version, row.code, row.rate, row.panScan), row.text)
            << row.version << " " << row.code << " " << row.rate;
    }
}

}  // namespace
}  // namespace varnix
