// A video taken out of a program or transport stream is scanned exactly as its elementary
// stream: the same description and the same header entries, whose positions are positions in
// the container file.

#include <gtest/gtest.h>

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
