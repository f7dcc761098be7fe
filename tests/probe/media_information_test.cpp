// The information record of each kind: its named fields in report order, with typed values, and
// the text rendering of a record built by hand.

#include <gtest/gtest.h>

#include <set>

#include "probe/media_information.h"
#include "probe/report_text.h"
#include "support/temp_dir.h"
#include "video/get_video_info.h"

namespace varnix {
namespace {

using test::TempDir;

std::vector<std::string> Keys(const MediaInformation& info) {
    std::vector<std::string> keys;
    for (const InfoField& field : info.fields) {
        keys.push_back(field.key);
    }
    return keys;
}

template <typename T>
T ValueOf(const MediaInformation& info, const char* key) {
    const InfoField* field = info.find(key);
    if (field == nullptr || !std::holds_alternative<T>(field->value)) {
        ADD_FAILURE() << "no field " << key << " of that type";
        return T{};
    }
    return std::get<T>(field->value);
}

const std::vector<std::string> kPlayTimes = {"playTimePal", "playTimeNtsc",
                                             "playTimeNtscDropFrame"};

std::vector<std::string> WithPlayTimes(std::vector<std::string> keys) {
    keys.insert(keys.end(), kPlayTimes.begin(), kPlayTimes.end());
    return keys;
}

TEST(MediaInformation, FieldsOfEveryKind) {
    TempDir dir;
    const struct {
        const char* data;
        MediaKind kind;
        std::vector<std::string> keys;
    } cases[] = {
        {"ac3-51-448k.ac3", MediaKind::AC3,
         WithPlayTimes({"fileSize", "audioType", "system", "bitRateKbps", "sampleRate", "channels",
                        "audioCodingMode", "lfe", "bitStreamMode", "samples", "frames",
                        "frameLength"})},
        {"dts-51.dts", MediaKind::DTS,
         WithPlayTimes({"fileSize", "audioType", "system", "bitRateKbps", "sampleRate", "channels",
                        "lfe", "samples", "frames", "frameBytes"})},
        {"mp2-crc.mp2", MediaKind::MPA,
         WithPlayTimes({"fileSize", "audioType", "mpegVersion", "layer", "mode", "bitRateKbps",
                        "sampleRate", "samples", "frames", "emphasis", "crcProtected", "copyright",
                        "original", "protection", "privateBit"})},
        {"wav-s16-list.wav", MediaKind::WAV,
         WithPlayTimes({"fileSize", "audioType", "bitRate", "channels", "bitsPerSample",
                        "sampleRate", "byteRate", "samples"})},
        {"video/pal_mpeg2.m2v",
         MediaKind::M2V,
         {"videoType", "resolution", "mpegVersion", "width", "height", "displayWidth",
          "displayHeight", "aspectRatio", "bitRate", "bitRateType", "line21Switch1",
          "line21Switch2", "pullDown", "frameRate", "startTime"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        const std::string file = dir.copyData(c.data);
        const std::optional<MediaInformation> info = ReadMediaInformation(file, nullptr);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->kind, c.kind);
        EXPECT_EQ(info->fileName, file);
        EXPECT_EQ(Keys(*info), c.keys);
        for (const InfoField& field : info->fields) {
            EXPECT_FALSE(field.label.empty()) << field.key;
        }
    }
}

TEST(MediaInformation, ValuesAreTyped) {
    TempDir dir;
    const auto ac3 = ReadMediaInformation(dir.copyData("ac3-51-448k.ac3"), nullptr).value();
    EXPECT_EQ(ValueOf<std::uint64_t>(ac3, "bitRateKbps"), 448u);
    EXPECT_EQ(ValueOf<std::uint64_t>(ac3, "audioCodingMode"), 7u);
    EXPECT_EQ(ValueOf<std::string>(ac3, "channels"), "3 : 2");
    EXPECT_TRUE(ValueOf<bool>(ac3, "lfe"));
    EXPECT_EQ(ValueOf<std::uint64_t>(ac3, "frames"), 63u);
    EXPECT_EQ(ValueOf<RatedTimeCode>(ac3, "playTimePal"),
              (RatedTimeCode{MakeTimeCode(0, 0, 2, 0), 25.0}));

    const auto dts = ReadMediaInformation(dir.copyData("dts-51.dts"), nullptr).value();
    EXPECT_EQ(ValueOf<double>(dts, "bitRateKbps"), 754.5);
    EXPECT_EQ(ValueOf<std::uint64_t>(dts, "frameBytes"), 1024u);

    const auto mpa = ReadMediaInformation(dir.copyData("mp2-crc.mp2"), nullptr).value();
    EXPECT_EQ(ValueOf<std::string>(mpa, "mpegVersion"), "1");
    EXPECT_TRUE(ValueOf<bool>(mpa, "crcProtected"));

    const auto wav = ReadMediaInformation(dir.copyData("wav-s16-list.wav"), nullptr).value();
    EXPECT_EQ(ValueOf<std::uint64_t>(wav, "bitsPerSample"), 16u);
    EXPECT_EQ(ValueOf<std::uint64_t>(wav, "samples"), 24000u);

    // A scanned video adds its end time and duration.
    const std::string video = dir.copyData("video/pal_mpeg2.m2v");
    ASSERT_TRUE(GetVideoInfo(video, nullptr, nullptr, {}));
    const auto scanned = ReadMediaInformation(video, nullptr).value();
    EXPECT_EQ(ValueOf<std::uint64_t>(scanned, "width"), 720u);
    EXPECT_EQ(ValueOf<RatedTimeCode>(scanned, "duration"),
              (RatedTimeCode{MakeTimeCode(0, 0, 10, 0), 25.0}));
    EXPECT_EQ(Keys(scanned).back(), "duration");

    // No record for a file of no known kind or a WAV file that is not PCM.
    EXPECT_FALSE(ReadMediaInformation(dir.copyData("wav-float.wav"), nullptr));
    EXPECT_FALSE(ReadMediaInformation(dir.file("missing.ac3"), nullptr));
}

TEST(ReportText, RendersEveryFieldByItsPlacement) {
    MediaInformation info;
    info.kind = MediaKind::DTS;
    info.fileName = "x.dts";
    info.fields = {NumberField("a", "A: ", 1, " Hz"),
                   TextField("b", "B: ", "2"),
                   NumberField("c", " (c: ", 3, ")", InfoPlacement::SameLine),
                   DecimalField("d", "D: ", 1509.75),
                   FlagField("e", "E: ", false),
                   TimeField("f", "F: ", {MakeTimeCode(1, 2, 3, 4), 30.0}, " ",
                             InfoPlacement::AfterEmptyLine)};
    EXPECT_EQ(ReportText(info, ','),
              "Audio DTS Information:\r\n\r\nFile name: x.dts\r\nA: 1 Hz\r\nB: 2 (c: 3)\r\n"
              "D: 1509,75\r\nE: No\r\n\r\nF: 01:02:03.04 (30 fps) \r\n");
    // A video without its duration ends with an empty line.
    info.kind = MediaKind::M2V;
    info.fields = {TextField("a", "A: ", "a")};
    EXPECT_EQ(ReportText(info), "Video MPG Information:\r\n\r\nFile name: x.dts\r\nA: a\r\n\r\n");
}

}  // namespace
}  // namespace varnix
