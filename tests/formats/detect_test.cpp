#include "formats/detect.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_dir.h"

namespace varnix {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct KindCase {
    const char* what;
    Bytes head;
    MediaKind kind;
};

TEST(DetectFormatTest, SixRulesInOrder) {
    const KindCase cases[] = {
        {"AC3 sync", {0x0B, 0x77, 0x3A, 0x1F, 0x50, 0x43, 0xE1}, MediaKind::AC3},
        {"AC3 of three bytes", {0x0B, 0x77, 0x00}, MediaKind::AC3},
        {"AC3 sync only", {0x0B, 0x77}, MediaKind::AC3},
        {"DTS sync", {0x7F, 0xFE, 0x80, 0x01, 0xFC, 0x3C}, MediaKind::DTS},
        {"DTS sync cut short", {0x7F, 0xFE, 0x80}, MediaKind::Unknown},
        {"MPEG-1 Layer II with CRC", {0xFF, 0xFC, 0xA4, 0x04}, MediaKind::MPA},
        {"two bytes FF FC", {0xFF, 0xFC}, MediaKind::MPA},
        {"MPEG-1 Layer II without CRC", {0xFF, 0xFD, 0xA4, 0x04}, MediaKind::Unknown},
        {"MPEG-1 Layer III", {0xFF, 0xFB, 0x90, 0x64}, MediaKind::Unknown},
        {"RIFF", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'}, MediaKind::WAV},
        {"RIFF without WAVE", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I'}, MediaKind::WAV},
        {"video 720 wide", {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40}, MediaKind::M2V},
        {"video 480 wide", {0x00, 0x00, 0x01, 0xB3, 0x1E, 0x01, 0xE0}, MediaKind::M2V},
        {"video 352 wide", {0x00, 0x00, 0x01, 0xB3, 0x16, 0x01, 0x20}, MediaKind::M1V},
        {"video 704 wide", {0x00, 0x00, 0x01, 0xB3, 0x2C, 0x02, 0x40}, MediaKind::Unknown},
        {"video 544 wide", {0x00, 0x00, 0x01, 0xB3, 0x22, 0x02, 0x40}, MediaKind::Unknown},
        {"sequence header start code only", {0x00, 0x00, 0x01, 0xB3}, MediaKind::Unknown},
        {"program stream pack", {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00}, MediaKind::Unknown},
        {"empty", {}, MediaKind::Unknown},
        {"text", {'h', 'e', 'l', 'l', 'o'}, MediaKind::Unknown},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectFormatOfBytes(c.head), c.kind) << c.what;
    }
}

TEST(DetectFormatTest, LooksAtContentNeverAtTheName) {
    test::TempDir dir;
    const Bytes wav = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    const Bytes ac3 = {0x0B, 0x77, 0x3A, 0x1F, 0x50, 0x43, 0xE1, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(DetectFormat(dir.write("looks-like.ac3", wav)), MediaKind::WAV);
    EXPECT_EQ(DetectFormat(dir.write("looks-like.wav", ac3)), MediaKind::AC3);
    EXPECT_EQ(DetectFormat(dir.write("short.ac3", {0x0B})), MediaKind::Unknown);
    EXPECT_EQ(DetectFormat(dir.file("missing.ac3")), MediaKind::Unknown);
    EXPECT_EQ(DetectFormat(dir.path().string()), MediaKind::Unknown);
    EXPECT_EQ(DetectFormat(""), MediaKind::Unknown);
}

// The texts that the lists, the reports and file names show for each kind, and which kinds are
// video.
TEST(DetectFormatTest, KindTextsAndVideoKinds) {
    const struct {
        MediaKind kind;
        const char* text;
        bool video;
    } kinds[] = {
        {MediaKind::Unknown, "", false}, {MediaKind::AC3, ".ac3", false},
        {MediaKind::DTS, ".dts", false}, {MediaKind::MPA, ".mpa", false},
        {MediaKind::WAV, ".wav", false}, {MediaKind::M2V, ".m2v", true},
        {MediaKind::M1V, ".m1v", true},
    };
    for (const auto& k : kinds) {
        EXPECT_STREQ(MediaKindText(k.kind), k.text);
        EXPECT_EQ(IsVideoKind(k.kind), k.video) << k.text;
    }
}

}  // namespace
}  // namespace varnix
