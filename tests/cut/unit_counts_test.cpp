#include <gtest/gtest.h>

#include "cut/unit_counts.h"

namespace varnix {
namespace {

TEST(UnitCounts, WorkedValuesOfOneMinuteAt48kHz) {
    const TimeCode minute = MakeTimeCode(0, 1, 0, 0);
    // PAL: 1500 x 1920 = 2,880,000 samples.
    EXPECT_EQ(AC3FramesForDuration(0, minute, 25.0), 1875);
    EXPECT_EQ(DTSFramesForDuration(minute, 512, 48000, 25.0), 5625);
    EXPECT_EQ(WAVSamplesForDuration(minute, 48000, 25.0), 2880000);
    // NTSC: 1800 x 1600 = 2,880,000 stretched to 2,882,883.
    EXPECT_EQ(AC3FramesForDuration(0, minute, 30.0), 1877);
    EXPECT_EQ(DTSFramesForDuration(minute, 512, 48000, 30.0), 5631);
    EXPECT_EQ(WAVSamplesForDuration(minute, 48000, 30.0), 2882883);
    EXPECT_EQ(MPASamplesForDuration(minute, 48000, 30.0), 2882883);
}

TEST(UnitCounts, RoundingOfPartFrames) {
    struct Case {
        unsigned fscod;
        TimeCode duration;
        double fps;
        std::int64_t ac3;
        std::int64_t dts;
    };
    const Case cases[] = {
        // 2 PAL frames at 48 kHz: 3840 samples = 2.5 AC3 frames, ties go to the even 2.
        {0, MakeTimeCode(0, 0, 0, 2), 25.0, 2, 8},
        // 6 frames: 11520 samples = 7.5 AC3 frames -> 8; 22.5 DTS frames -> 23.
        {0, MakeTimeCode(0, 0, 0, 6), 25.0, 8, 23},
        // 1 frame: 1920 samples -> 1.25 AC3 frames -> 1; 3.75 DTS frames -> 4.
        {0, MakeTimeCode(0, 0, 0, 1), 25.0, 1, 4},
        {0, MakeTimeCode(0, 0, 0, 0), 25.0, 0, 0},
        // 44.1 kHz: 1764 samples a PAL frame, 1470 an NTSC frame (1471 stretched).
        {1, MakeTimeCode(0, 0, 1, 0), 25.0, 29, 87},   // 44100 / 1536 = 28.7
        {1, MakeTimeCode(0, 0, 0, 1), 30.0, 1, 3},     // 1471
        {2, MakeTimeCode(0, 0, 1, 0), 30.0, 21, 63},   // 32 kHz: 31980 -> 32012
        {3, MakeTimeCode(0, 1, 0, 0), 25.0, 1875, 0},  // reserved code counts at 48 kHz
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AC3FramesForDuration(c.fscod, c.duration, c.fps), c.ac3)
            << TimeCodeToText(c.duration) << " fscod " << c.fscod;
        if (c.fscod < 3) {
            const std::uint32_t rate = c.fscod == 0 ? 48000 : c.fscod == 1 ? 44100 : 32000;
            EXPECT_EQ(DTSFramesForDuration(c.duration, 512, rate, c.fps), c.dts)
                << TimeCodeToText(c.duration) << " at " << rate;
        }
    }
    EXPECT_EQ(DTSFramesForDuration(MakeTimeCode(0, 1, 0, 0), 0, 48000, 25.0), 0);
    EXPECT_EQ(WAVSamplesForDuration(MakeTimeCode(0, 1, 0, 0), 0, 25.0), 0);
}

TEST(UnitCounts, CountsOfLongDurationsNeedMoreThan32Bits) {
    // 24:59:59.29 at 192 kHz: beyond 2^31 samples.
    const TimeCode longest = MakeTimeCode(24, 59, 59, 29);
    const std::int64_t samples = WAVSamplesForDuration(longest, 192000, 30.0);
    EXPECT_GT(samples, std::int64_t{1} << 31);
    EXPECT_EQ(samples, 17297290891);  // 2,699,999 frames x 6400, stretched by 1000/999
}

}  // namespace
}  // namespace varnix
