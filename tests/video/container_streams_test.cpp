// A video taken out of a program or transport stream is scanned exactly as its elementary
// stream: the same description and the same header entries, whose positions are positions in
// the container file.

#include <gtest/gtest.h>

#include "formats/detect.h"
#include "scan_helpers.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

using namespace varnix::test;

// The picture header record keeps its file position in its last two values.
constexpr std::size_t kPicturePositionLow = 11;

std::int64_t PositionOf(const HeaderEntry& picture) {
    return static_cast<std::int64_t>(picture.values[kPicturePositionLow]) |
           (static_cast<std::int64_t>(picture.values[kPicturePositionLow + 1]) << 32);
}

TEST(ContainerStreams, ScanAsTheirElementaryStreamWithFilePositions) {
    TempDir dir;
    const ScanOutcome es = ScanFile(dir.copyData("video/ntsc_pulldown.m2v"));
    const Bytes esBytes = ReadAll(dir.file("ntsc_pulldown.m2v"));
    for (const char* name : {"pulldown.vob", "pulldown_dvd.vob", "pulldown_mpeg1.mpg",
                             "pulldown.ts", "pulldown.m2ts"}) {
        SCOPED_TRACE(name);
        const std::string file = dir.copyData(std::string("video/") + name);
        const ScanOutcome scan = ScanFile(file);
        EXPECT_EQ(scan.info, es.info);
        EXPECT_TRUE(scan.messages.empty());
        ASSERT_EQ(TagsOf(scan.entries), TagsOf(es.entries));

        const Bytes bytes = ReadAll(file);
        int pictures = 0;
        int exact = 0;
        for (std::size_t i = 0; i < es.entries.size(); ++i) {
            HeaderEntry expected = es.entries[i];
            HeaderEntry got = scan.entries[i];
            if (got.tag != entry_tag::kPictureHeader) {
                EXPECT_EQ(got.values, expected.values) << "entry " << i;
                continue;
            }
            // An I picture names its sequence header, the others their own start code: the
            // same bytes in the container, unless the prefix is split between two packets.
            ++pictures;
            const std::int64_t esAt = PositionOf(expected);
            const std::int64_t at = PositionOf(got);
            ASSERT_GE(at, esAt);
            ASSERT_LT(static_cast<std::size_t>(at) + 4, bytes.size());
            EXPECT_EQ(bytes[static_cast<std::size_t>(at)], 0);
            exact +=
                std::equal(esBytes.begin() + esAt, esBytes.begin() + esAt + 4, bytes.begin() + at);
            got.values.resize(kPicturePositionLow);
            expected.values.resize(kPicturePositionLow);
            EXPECT_EQ(got.values, expected.values) << "entry " << i;
        }
        EXPECT_EQ(pictures, 240);
        EXPECT_GE(exact, pictures * 9 / 10);
    }
}

}  // namespace
}  // namespace varnix

namespace varnix {
namespace {

// A title split over VTS_01_1.VOB, VTS_01_2.VOB at a pack boundary: each part is a video of its
// own, the second scanned from its first sequence header on, so together they miss at most the
// pictures of the one GOP that the cut splits.
TEST(ContainerStreams, PartsOfAVobTitleScanFileByFile) {
    using test::Bytes;
    test::TempDir dir;
    const Bytes whole = test::ReadAll(test::DataPath("video/pulldown_dvd.vob"));
    const std::size_t cut = 2048 * 70;
    const std::string first = dir.write("VTS_01_1.VOB", Bytes(whole.begin(), whole.begin() + cut));
    const std::string second = dir.write("VTS_01_2.VOB", Bytes(whole.begin() + cut, whole.end()));
    std::int64_t frames = 0;
    for (const std::string& part : {first, second}) {
        ASSERT_EQ(DetectFormat(part, {.extended = true}), MediaKind::MPG) << part;
        const test::ScanOutcome scan = test::ScanFile(part);
        EXPECT_GT(scan.results.frames, 0);
        frames += scan.results.frames;
    }
    EXPECT_LE(frames, 300);
    EXPECT_GE(frames, 300 - 15);
}

}  // namespace
}  // namespace varnix
