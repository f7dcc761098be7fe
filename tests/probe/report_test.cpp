#include <gtest/gtest.h>

#include "core/timecode.h"
#include "probe/audio_information.h"
#include "probe/report.h"
#include "probe/report_text.h"
#include "support/audio_builders.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using test::TempDir;

std::string NameLine(const std::string& file) {
    return "File name: " + TailText(file, 38) + "\r\n";
}

TEST(InformationReport, AC3) {
    TempDir dir;
    const std::string file = dir.copyData("ac3-51-448k.ac3");
    EXPECT_EQ(ShowMediaInformation(file, false, nullptr),
              "Audio AC3 Information:\r\n\r\n" + NameLine(file) +
                  "File size: 112896\r\n"
                  "Audio Type: AC3\r\n"
                  "System: Dolby 5.1\r\n"
                  "Bit Rate: 448 Kbps\r\n"
                  "Sample Rate: 48000 Hz\r\n"
                  "Channels: 3 : 2 (code: 7)\r\n"
                  "LFE on: Yes\r\n"
                  "BsMode: complete main\r\n"
                  "Samples: 96768\r\n"
                  "Frames: 63\r\n"
                  "Frame Length: 1792\r\n"
                  "\r\n"
                  "Play Time (PAL): 00:00:02.00 (25 fps)\r\n"
                  "Play Time (NTSC) Non Drop Frame: 00:00:02.00 (30 fps)            \r\n"
                  "Play Time (NTSC) Drop Frame: 00:00:02.00 (30 fps)\r\n");
}

TEST(InformationReport, AC3At44k1CountsWalkedFrames) {
    TempDir dir;
    const std::string text = ShowMediaInformation(dir.copyData("ac3-44k1-32k.ac3"), false, nullptr);
    EXPECT_NE(text.find("System: Dolby 2.0\r\nBit Rate: 32 Kbps\r\nSample Rate: 44100 Hz\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Samples: 221184\r\nFrames: 144\r\nFrame Length: 138\r\n"),
              std::string::npos);
}

TEST(InformationReport, DTS) {
    TempDir dir;
    const std::string file = dir.copyData("dts-51.dts");
    const std::string expected =
        "Audio DTS Information:\r\n\r\n" + NameLine(file) +
        "File size: 96256\r\n"
        "Audio Type: DTS\r\n"
        "System: DTS 5.1\r\n"
        "Bit Rate: 754.5 Kbps\r\n"
        "Sample Rate: 48000 Hz\r\n"
        "Channels: 5-ch L, R, C, SL, SR\r\n"
        "LFE on: Yes\r\n"
        "Samples: 48128\r\n"
        "Frames: 94\r\n"
        "Frame size (bytes): 1024\r\n"
        "\r\n"
        "Play Time (PAL): 00:00:01.00 (25 fps)\r\n"
        "Play Time (NTSC) Non Drop Frame: 00:00:01.00 (30 fps)            \r\n"
        "Play Time (NTSC) Drop Frame: 00:00:01.00 (30 fps)\r\n";
    EXPECT_EQ(ShowMediaInformation(file, false, nullptr), expected);
    std::string comma = expected;
    comma.replace(comma.find("754.5"), 5, "754,5");
    EXPECT_EQ(ShowMediaInformation(file, false, nullptr, ','), comma);
}

TEST(InformationReport, DTSCodesOutsideTheTables) {
    struct Case {
        int rate, amode;
        const char* bitRate;
        const char* system;
        const char* channels;
    };
    const Case cases[] = {
        {30, 9, "Bit Rate: Variable\r\n", "System: DTS 5.1\r\n", "Channels: 5-ch L, R, C"},
        {31, 2, "Bit Rate: Lossless\r\n", "System: DTS 2.1\r\n", "Channels: 2-ch A, B (stereo)"},
        {24, 15, "Bit Rate: 1509.75 Kbps\r\n", "System: DTS 0.1\r\n", "Channels: User defined\r\n"},
        {22, 63, "Bit Rate: 1411.2 Kbps\r\n", "System: DTS 0.1\r\n", "Channels: User defined\r\n"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        test::DTSFrameParams p;
        p.rate = c.rate;
        p.amode = c.amode;
        const std::string text =
            ShowMediaInformation(dir.write("x.dts", test::BuildDTSStream(p, 3)), false, nullptr);
        EXPECT_NE(text.find(c.bitRate), std::string::npos) << text;
        EXPECT_NE(text.find(c.system), std::string::npos) << text;
        EXPECT_NE(text.find(c.channels), std::string::npos) << text;
    }
}

TEST(InformationReport, MPEGAudio) {
    TempDir dir;
    const std::string file = dir.copyData("mp2-crc.mp2");
    EXPECT_EQ(ShowMediaInformation(file, false, nullptr),
              "Audio MPA Information: \r\n\r\n" + NameLine(file) +
                  "File size: 48384\r\n"
                  "Audio Type: MPEG 1 Layer 2\r\n"
                  "Mode: Stereo\r\n"
                  "Bit Rate: 192 Kbps\r\n"
                  "Sample Rate: 48000 Hz\r\n"
                  "Samples: 96768\r\n"
                  "Frames: 84\r\n"
                  "Emphasis: None\r\n"
                  "CRCEror: Yes\r\n"
                  "Copyright: No\r\n"
                  "Original: No\r\n"
                  "Protection: No\r\n"
                  "Private: No\r\n"
                  "\r\n"
                  "Play Time (PAL): 00:00:02.00 (25 fps)\r\n"
                  "Play Time (NTSC) Non Drop Frame: 00:00:02.00 (30 fps)            \r\n"
                  "Play Time (NTSC) Drop Frame: 00:00:02.00 (30 fps)\r\n");
}

TEST(InformationReport, WAV) {
    TempDir dir;
    const std::string file = dir.copyData("wav-s16-list.wav");
    EXPECT_EQ(ShowMediaInformation(file, false, nullptr),
              "Audio WAV Information: \r\n\r\n" + NameLine(file) +
                  "File size: 96078\r\n"
                  "Audio Type: PCM\r\n"
                  "Bit rate: 1536000\r\n"
                  "Channels: 2\r\n"
                  "Quantization: 16 bits\r\n"
                  "Sample Rate: 48000 Hz\r\n"
                  "Avg Bytes Per Sec: 192000\r\n"
                  "Samples: 24000\r\n"
                  "\r\n"
                  "Play Time (PAL): 00:00:00.12 (25 fps)\r\n"
                  "Play Time (NTSC) Non Drop Frame: 00:00:00.15 (30 fps)            \r\n"
                  "Play Time (NTSC) Drop Frame: 00:00:00.15 (30 fps)\r\n");
}

TEST(InformationReport, WAVUsesTheEffectiveDataSize) {
    TempDir dir;
    const std::string cut =
        ShowMediaInformation(dir.copyData("bad/wav-data-past-end.wav"), false, nullptr);
    EXPECT_NE(cut.find("Samples: 12000\r\n"), std::string::npos);
    const std::string none =
        ShowMediaInformation(dir.copyData("bad/wav-no-data.wav"), false, nullptr);
    EXPECT_NE(none.find("Samples: 0\r\n\r\nPlay Time (PAL): 00:00:00.00 (25 fps)"),
              std::string::npos);
}

TEST(InformationReport, PlayTimesAreDurations) {
    const auto times = [](std::uint32_t rate, std::uint64_t samples) {
        std::vector<RatedTimeCode> result;
        for (const InfoField& field : PlayTimeFields(rate, samples)) {
            result.push_back(std::get<RatedTimeCode>(field.value));
        }
        return result;
    };
    const auto pal = [](int h, int m, int s, int f) {
        return RatedTimeCode{MakeTimeCode(h, m, s, f), 25.0};
    };
    const auto ntsc = [](int h, int m, int s, int f) {
        return RatedTimeCode{MakeTimeCode(h, m, s, f), 30.0};
    };
    // 1 s at 48 kHz: 25 PAL frames; in NTSC 48000 samples are 29.97 real frames.
    EXPECT_EQ(times(48000, 48000),
              (std::vector{pal(0, 0, 1, 0), ntsc(0, 0, 1, 0), ntsc(0, 0, 1, 0)}));
    // One hour at 44.1 kHz: the time-code clock runs 3.6 s behind the real one.
    EXPECT_EQ(times(44100, 44100ull * 3600),
              (std::vector{pal(1, 0, 0, 0), ntsc(0, 59, 56, 12), ntsc(1, 0, 0, 0)}));
    EXPECT_EQ(times(0, 1000), (std::vector{pal(0, 0, 0, 0), ntsc(0, 0, 0, 0), ntsc(0, 0, 0, 0)}));
}

TEST(InformationReport, UnknownAndNonPCMFiles) {
    TempDir dir;
    for (const std::string& file :
         {dir.copyData("wav-float.wav"), dir.write("junk.ac3", test::Filler(100)),
          dir.file("missing.wav")}) {
        EXPECT_EQ(ShowMediaInformation(file, false, nullptr), "Unknown file format") << file;
    }
    test::WAVFormat tag3;
    tag3.formatTag = 3;
    tag3.bitsPerSample = 32;
    EXPECT_EQ(ShowMediaInformation(dir.write("f.wav", test::BuildWAV(tag3, 800)), false, nullptr),
              "Unknown file format");
}

TEST(InformationReport, ShownThroughTheHostWithTheRightIcon) {
    TempDir dir;
    test::RecordingHost host;
    const std::string report = ShowMediaInformation(dir.copyData("mp2-crc.mp2"), true, nullptr);
    ShowMediaInformation(dir.copyData("wav-float.wav"), true, nullptr);
    ShowMediaInformation(dir.copyData("dts-51.dts"), false, nullptr);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(host.messages[0].text, report);
    EXPECT_EQ(host.messages[1].icon, MessageIcon::Error);
    EXPECT_EQ(host.messages[1].title, "Error!");
    EXPECT_EQ(host.messages[1].text, "Unknown file format");
}

TEST(InformationReport, LongNamesShowTheirLast38Characters) {
    TempDir dir;
    const std::string name = std::string(60, 'n') + "-and-this-is-the-end-of-it.mp2";
    const std::string file = dir.copyData("mp2-crc.mp2", name);
    const std::string text = ShowMediaInformation(file, false, nullptr);
    EXPECT_NE(text.find("File name: ..." + file.substr(file.size() - 38) + "\r\n"),
              std::string::npos);
}

TEST(InformationReport, GeneralDecimalText) {
    EXPECT_EQ(GeneralDecimalText(754.5, '.'), "754.5");
    EXPECT_EQ(GeneralDecimalText(1509.75, ','), "1509,75");
    EXPECT_EQ(GeneralDecimalText(32, '.'), "32");
    EXPECT_EQ(GeneralDecimalText(1411.2, '.'), "1411.2");
}

}  // namespace
}  // namespace varnix
