// Detection and refusals with and without the extended formats.

#include <gtest/gtest.h>

#include <vector>

#include "formats/detect.h"
#include "formats/format_refusal.h"
#include "support/temp_dir.h"
#include "support/video_builders.h"

namespace varnix {
namespace {

using test::Bytes;

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// A sequence header of a size, with or without a sequence extension, then a GOP and a picture.
Bytes VideoHead(std::uint32_t width, std::uint32_t height, bool extension, bool matrices = false) {
    test::SequenceHeaderParams header;
    header.width = width;
    header.height = height;
    if (matrices) {
        std::array<std::uint8_t, 64> m{};
        m.fill(16);
        header.intraMatrix = m;
        header.nonIntraMatrix = m;
    }
    return Join({test::SequenceHeaderBytes(header),
                 extension ? test::SequenceExtensionBytes({}) : Bytes{}, test::GOPHeaderBytes({}),
                 test::PictureHeaderBytes({})});
}

TEST(ExtendedDetect, EveryPictureSizeWithTheSwitchOnly) {
    const struct {
        const char* what;
        Bytes head;
        MediaKind off;
        MediaKind on;
        const char* reasonOff;  // "" when the file is taken or unknown
    } cases[] = {
        {"720x576 MPEG-2", VideoHead(720, 576, true), MediaKind::M2V, MediaKind::M2V, ""},
        {"352x288 MPEG-1", VideoHead(352, 288, false), MediaKind::M1V, MediaKind::M1V, ""},
        {"352x240 MPEG-2", VideoHead(352, 240, true), MediaKind::M1V, MediaKind::M1V, ""},
        {"704x576 MPEG-2", VideoHead(704, 576, true), MediaKind::Unknown, MediaKind::M2V,
         "MPEG-2 video 704 wide"},
        {"704x480 MPEG-2 with matrices", VideoHead(704, 480, true, true), MediaKind::Unknown,
         MediaKind::M2V, "MPEG-2 video 704 wide"},
        {"544x576 MPEG-2", VideoHead(544, 576, true), MediaKind::Unknown, MediaKind::M2V,
         "MPEG-2 video 544 wide"},
        {"640x480 MPEG-1", VideoHead(640, 480, false), MediaKind::Unknown, MediaKind::M1V,
         "MPEG-1 video 640 wide"},
        {"1920x1080 MPEG-2", VideoHead(1920, 1080, true), MediaKind::Unknown, MediaKind::M2V,
         "MPEG-2 video 1920 wide"},
        {"width 0", VideoHead(0, 576, true), MediaKind::Unknown, MediaKind::Unknown,
         "MPEG video sequence header with a picture size of 0"},
        {"height 0", VideoHead(704, 0, true), MediaKind::Unknown, MediaKind::Unknown,
         "MPEG video sequence header with a picture size of 0"},
        {"start code only", {0, 0, 1, 0xB3}, MediaKind::Unknown, MediaKind::Unknown, ""},
        {"text", {'h', 'e', 'l', 'l', 'o'}, MediaKind::Unknown, MediaKind::Unknown, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectFormatOfBytes(c.head, {}), c.off) << c.what;
        EXPECT_EQ(DetectFormatOfBytes(c.head, {.extended = true}), c.on) << c.what;
        const FormatRefusal off = WhyRefusedBytes(c.head, {});
        EXPECT_EQ(off.reason, c.reasonOff) << c.what;
        // Off, a file is refused with "accepted with" exactly when the switch takes it.
        EXPECT_EQ(off.extendedAccepts, c.off == MediaKind::Unknown && c.on != MediaKind::Unknown)
            << c.what;
        const FormatRefusal on = WhyRefusedBytes(c.head, {.extended = true});
        EXPECT_EQ(on.refused(), c.on == MediaKind::Unknown && *c.reasonOff != 0) << c.what;
        EXPECT_FALSE(on.extendedAccepts) << c.what;
    }
}

TEST(ExtendedDetect, FilesAndTheRefusalText) {
    test::TempDir dir;
    const std::string w704 = dir.write("w704.m2v", VideoHead(704, 576, true));
    EXPECT_EQ(DetectFormat(w704), MediaKind::Unknown);
    EXPECT_EQ(DetectFormat(w704, {.extended = true}), MediaKind::M2V);
    const FormatRefusal refusal = WhyRefused(w704, {});
    EXPECT_EQ(RefusalText(refusal, "--extended"),
              "MPEG-2 video 704 wide: accepted with --extended");
    EXPECT_FALSE(WhyRefused(w704, {.extended = true}).refused());
    EXPECT_FALSE(WhyRefused(dir.file("missing.m2v"), {}).refused());
    const FormatRefusal zero = WhyRefused(dir.write("zero.m2v", VideoHead(0, 0, true)), {});
    EXPECT_EQ(RefusalText(zero, "--extended"), zero.reason);
}

}  // namespace
}  // namespace varnix
