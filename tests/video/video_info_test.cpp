// The VideoInfo record is also the head of every cache file on disk, so its layout is fixed to
// the byte: these tests pin each field's offset, width and byte order.

#include <gtest/gtest.h>

#include <cstring>

#include "video/video_info.h"

namespace varnix {
namespace {

VideoInfo DistinctRecord() {
    VideoInfo v = VideoInfo::WithMagic();
    v.startTime = MakeTimeCode(1, 2, 3, 4);
    v.duration = MakeTimeCode(5, 6, 7, 8);
    v.longestGOP = 0x0A0B0C0D;
    v.wholeFrameRate = -1;
    v.aspectRatio = 0x11121314;
    v.panScan = true;
    v.variableBitRate = true;
    v.mpegVersion = 0x21222324;
    v.line21Switch1 = true;
    v.line21Switch2 = true;
    v.frameRateCode = 0x31323334;
    v.frames = 0x4142434445464748;
    v.width = 0x51525354;
    v.height = 0x61626364;
    v.bitRate = 0x71727374;
    v.pictures = 0x81828384;
    v.sequenceEnds = 0x91929394;
    v.lowestBitRate = 0xA1A2A3A4;
    v.highestBitRate = 0xB1B2B3B4;
    v.averageBitRate = 0xC1C2C3C4;
    v.pullDown = true;
    v.fileBlocks = 0xD1D2D3D4;
    v.fileTime = 0xE1E2E3E4E5E6E7E8;
    v.fields = 0xF1F2F3F4;
    v.codedPictures = 0x01020304;
    v.displayWidth = 0x05060708;
    v.displayHeight = 0x090A0B0C;
    return v;
}

TEST(VideoInfoLayout, EveryFieldAtItsOffsetLittleEndian) {
    const auto bytes = DistinctRecord().ToBytes();
    ASSERT_EQ(bytes.size(), 443u);
    struct Field {
        std::size_t offset;
        std::vector<std::uint8_t> expected;
    };
    const Field fields[] = {
        {101, {1, 2, 3, 4}},  // hours, minutes, seconds, pictures
        {105, {5, 6, 7, 8}},
        {109, {0x0D, 0x0C, 0x0B, 0x0A}},
        {113, {0xFF, 0xFF, 0xFF, 0xFF}},
        {117, {0x14, 0x13, 0x12, 0x11}},
        {121, {1}},
        {122, {1}},
        {123, {0x24, 0x23, 0x22, 0x21}},
        {127, {1}},
        {128, {1}},
        {129, {0x34, 0x33, 0x32, 0x31}},
        {133, {0x48, 0x47, 0x46, 0x45, 0x44, 0x43, 0x42, 0x41}},
        {141, {0x54, 0x53, 0x52, 0x51}},
        {145, {0x64, 0x63, 0x62, 0x61}},
        {149, {0x74, 0x73, 0x72, 0x71}},
        {153, {0x84, 0x83, 0x82, 0x81}},
        {157, {0x94, 0x93, 0x92, 0x91}},
        {161, {0xA4, 0xA3, 0xA2, 0xA1}},
        {165, {0xB4, 0xB3, 0xB2, 0xB1}},
        {169, {0xC4, 0xC3, 0xC2, 0xC1}},
        {173, {1}},
        {174, {0xD4, 0xD3, 0xD2, 0xD1}},
        {178, {0}},
        {179, {0xE8, 0xE7, 0xE6, 0xE5, 0xE4, 0xE3, 0xE2, 0xE1}},
        {187, {0xF4, 0xF3, 0xF2, 0xF1}},
        {191, {0x04, 0x03, 0x02, 0x01}},
        {195, {0x08, 0x07, 0x06, 0x05}},
        {199, {0x0C, 0x0B, 0x0A, 0x09}},
    };
    for (const Field& field : fields) {
        for (std::size_t i = 0; i < field.expected.size(); ++i) {
            EXPECT_EQ(bytes[field.offset + i], field.expected[i])
                << "offset " << field.offset << " byte " << i;
        }
    }
    EXPECT_EQ(std::memcmp(bytes.data(), "MPEG Quorvane Info File", 23), 0);
    for (std::size_t i = 23; i < 101; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    for (std::size_t i = 203; i < 443; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
}

TEST(VideoInfoLayout, BytesRoundTrip) {
    const VideoInfo original = DistinctRecord();
    EXPECT_EQ(VideoInfo::FromBytes(original.ToBytes()), original);
}

TEST(VideoInfoLayout, ShortInputGivesNoRecord) {
    const auto bytes = DistinctRecord().ToBytes();
    EXPECT_FALSE(VideoInfo::FromBytes(std::span<const std::uint8_t>(bytes.data(), 442)));
}

TEST(VideoInfoMagic, ReadAsZeroTerminatedText) {
    EXPECT_TRUE(VideoInfo::WithMagic().HasMagic());
    EXPECT_FALSE(VideoInfo{}.HasMagic());
    VideoInfo trailing = VideoInfo::WithMagic();
    trailing.magic[30] = 'x';  // after the terminating zero: still the magic
    EXPECT_TRUE(trailing.HasMagic());
    VideoInfo longer = VideoInfo::WithMagic();
    longer.magic[23] = 's';
    EXPECT_FALSE(longer.HasMagic());
    VideoInfo changed = VideoInfo::WithMagic();
    changed.magic[0] = 'm';
    EXPECT_FALSE(changed.HasMagic());
}

}  // namespace
}  // namespace varnix
