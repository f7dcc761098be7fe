#include "probe/detect.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_dir.h"

namespace varnix {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct KindCase {
    const char* what;
    Bytes head;
    std::string kind;
};

TEST(DetectFormatTest, SixRulesInOrder) {
    const KindCase cases[] = {
        {"AC3 sync", {0x0B, 0x77, 0x3A, 0x1F, 0x50, 0x43, 0xE1}, ".ac3"},
        {"AC3 of three bytes", {0x0B, 0x77, 0x00}, ".ac3"},
        {"AC3 sync only", {0x0B, 0x77}, ".ac3"},
        {"DTS sync", {0x7F, 0xFE, 0x80, 0x01, 0xFC, 0x3C}, ".dts"},
        {"DTS sync cut short", {0x7F, 0xFE, 0x80}, ""},
        {"MPEG-1 Layer II with CRC", {0xFF, 0xFC, 0xA4, 0x04}, ".mpa"},
        {"two bytes FF FC", {0xFF, 0xFC}, ".mpa"},
        {"MPEG-1 Layer II without CRC", {0xFF, 0xFD, 0xA4, 0x04}, ""},
        {"MPEG-1 Layer III", {0xFF, 0xFB, 0x90, 0x64}, ""},
        {"RIFF", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'}, ".wav"},
        {"RIFF without WAVE", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I'}, ".wav"},
        {"video 720 wide", {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40}, ".m2v"},
        {"video 480 wide", {0x00, 0x00, 0x01, 0xB3, 0x1E, 0x01, 0xE0}, ".m2v"},
        {"video 352 wide", {0x00, 0x00, 0x01, 0xB3, 0x16, 0x01, 0x20}, ".m1v"},
        {"video 704 wide", {0x00, 0x00, 0x01, 0xB3, 0x2C, 0x02, 0x40}, ""},
        {"video 544 wide", {0x00, 0x00, 0x01, 0xB3, 0x22, 0x02, 0x40}, ""},
        {"sequence header start code only", {0x00, 0x00, 0x01, 0xB3}, ""},
        {"program stream pack", {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00}, ""},
        {"empty", {}, ""},
        {"text", {'h', 'e', 'l', 'l', 'o'}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectFormatOfBytes(c.head), c.kind) << c.what;
    }
}

TEST(DetectFormatTest, LooksAtContentNeverAtTheName) {
    test::TempDir dir;
    const Bytes wav = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    const Bytes ac3 = {0x0B, 0x77, 0x3A, 0x1F, 0x50, 0x43, 0xE1, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(DetectFormat(dir.write("looks-like.ac3", wav)), ".wav");
    EXPECT_EQ(DetectFormat(dir.write("looks-like.wav", ac3)), ".ac3");
    EXPECT_EQ(DetectFormat(dir.write("short.ac3", {0x0B})), "");
    EXPECT_EQ(DetectFormat(dir.file("missing.ac3")), "");
    EXPECT_EQ(DetectFormat(dir.path().string()), "");
    EXPECT_EQ(DetectFormat(""), "");
}

TEST(DetectFormatTest, VideoKinds) {
    EXPECT_TRUE(IsVideoKind(".m2v"));
    EXPECT_TRUE(IsVideoKind(".m1v"));
    EXPECT_FALSE(IsVideoKind(".mpa"));
    EXPECT_FALSE(IsVideoKind(""));
}

}  // namespace
}  // namespace varnix
