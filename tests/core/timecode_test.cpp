#include "core/timecode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace varnix {
namespace {

TimeCode TC(int h, int m, int s, int f) {
    return MakeTimeCode(h, m, s, f);
}

TEST(TimeCodeTest, PacksHoursIntoTheLowestByte) {
    const TimeCode tc = TC(1, 2, 3, 4);
    EXPECT_EQ(tc.Word(), 0x04030201u);
    EXPECT_EQ(TimeCode::FromWord(0x04030201u), tc);
    EXPECT_TRUE(TimeCode::None().IsNone());
    EXPECT_EQ(TimeCode::None().Word(), 0xFFFFFFFFu);
    EXPECT_FALSE(tc.IsNone());
}

TEST(TimeCodeTest, RoundEvenRoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-0.5), 0);
    EXPECT_EQ(RoundEven(-1.5), -2);
    EXPECT_EQ(RoundEven(2.4999), 2);
}

struct FramesCase {
    std::int64_t frames;
    double fps;
    TimeCode expected;
};

TEST(TimeCodeTest, FramesToTimeCode) {
    const FramesCase cases[] = {
        {25, 25.0, TC(0, 0, 1, 0)},
        {1799, 30.0, TC(0, 0, 59, 29)},
        {29, 29.97, TC(0, 0, 0, 29)},
        {30, 29.97, TC(0, 0, 1, 0)},  // remainder of 3 hundredths rounds to frame 0
        {2997, 29.97, TC(0, 1, 40, 0)},
        {0, 25.0, TC(0, 0, 0, 0)},
        {90000, 25.0, TC(1, 0, 0, 0)},
        {108000 * 24, 30.0, TC(24, 0, 0, 0)},
        {-1, 25.0, TC(0, 0, 0, 0)},  // no frame reached
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FramesToTimeCode(c.frames, c.fps), c.expected)
            << c.frames << " frames at " << c.fps;
    }
}

TEST(TimeCodeTest, FramesToTimeCodeKeepsHoursModulo256) {
    const TimeCode tc = FramesToTimeCode(static_cast<std::int64_t>(300) * 3600 * 25, 25.0);
    EXPECT_EQ(tc.hours, 300 % 256);
}

// A damaged video cache may claim any 64-bit frame count; the count wraps like the hours do
// instead of overflowing.
TEST(TimeCodeTest, FramesToTimeCodeOfAHugeCountFromADamagedCacheWraps) {
    EXPECT_EQ(FramesToTimeCode(INT64_MAX, 25.0), MakeTimeCode(96, 37, 12, 7));
    EXPECT_EQ(FramesToTimeCode(2496564894378878242, 30.0), MakeTimeCode(27, 14, 34, 22));
    const std::int64_t span = std::int64_t{256} * 3600 * 30;  // 256 hours of NTSC frames
    EXPECT_EQ(FramesToTimeCode(span * 1000000 + 61, 30.0), MakeTimeCode(0, 0, 2, 1));
}

TEST(TimeCodeTest, TimeCodeToFramesRoundTripsThroughFramesToTimeCode) {
    for (double fps : {25.0, 30.0}) {
        for (std::int64_t n = 0; n < 200000; n += 997) {
            EXPECT_EQ(TimeCodeToFrames(FramesToTimeCode(n, fps), fps), n) << n << " at " << fps;
        }
    }
    EXPECT_EQ(TimeCodeToFrames(TC(0, 1, 0, 0), 30.0), 1800);
    EXPECT_EQ(TimeCodeToFrames(TC(0, 1, 0, 0), 25.0), 1500);
    EXPECT_EQ(TimeCodeToFrames(TC(1, 0, 0, 7), 25.0), 90007);
}

struct StepCase {
    TimeCode before;
    double fps;
    TimeCode after;
};

TEST(TimeCodeTest, IncTimeCodeCarriesThroughEveryField) {
    const StepCase cases[] = {
        {TC(0, 59, 59, 24), 25.0, TC(1, 0, 0, 0)}, {TC(23, 59, 59, 29), 30.0, TC(0, 0, 0, 0)},
        {TC(0, 0, 0, 0), 25.0, TC(0, 0, 0, 1)},    {TC(0, 0, 0, 24), 30.0, TC(0, 0, 0, 25)},
        {TC(0, 0, 59, 29), 30.0, TC(0, 1, 0, 0)},  {TC(5, 10, 20, 23), 25.0, TC(5, 10, 20, 24)},
    };
    for (const auto& c : cases) {
        TimeCode tc = c.before;
        IncTimeCode(tc, c.fps);
        EXPECT_EQ(tc, c.after) << TimeCodeToText(c.before);
    }
}

TEST(TimeCodeTest, DecTimeCodeBorrowsThroughEveryField) {
    const StepCase cases[] = {
        {TC(1, 0, 0, 0), 25.0, TC(0, 59, 59, 24)},
        {TC(0, 0, 1, 0), 30.0, TC(0, 0, 0, 29)},
        {TC(0, 0, 0, 5), 25.0, TC(0, 0, 0, 4)},
        {TC(0, 0, 0, 0), 25.0, TC(0, 59, 59, 24)},  // hours stay 0
        {TC(2, 0, 0, 0), 30.0, TC(1, 59, 59, 29)},
    };
    for (const auto& c : cases) {
        TimeCode tc = c.before;
        DecTimeCode(tc, c.fps);
        EXPECT_EQ(tc, c.after) << TimeCodeToText(c.before);
    }
}

TEST(TimeCodeTest, IncThenDecIsIdentityWithinADay) {
    for (double fps : {25.0, 30.0}) {
        for (std::int64_t n = 0; n < 2000000; n += 7919) {
            TimeCode tc = FramesToTimeCode(n, fps);
            const TimeCode original = tc;
            IncTimeCode(tc, fps);
            EXPECT_EQ(TimeCodeToFrames(tc, fps), n + 1);
            DecTimeCode(tc, fps);
            EXPECT_EQ(tc, original);
        }
    }
}

struct AddCase {
    TimeCode a;
    TimeCode b;
    double fps;
    TimeCode sum;
};

TEST(TimeCodeTest, AddTimeCodes) {
    const AddCase cases[] = {
        {TC(0, 0, 59, 20), TC(0, 0, 0, 10), 25.0, TC(0, 1, 0, 5)},
        {TC(0, 59, 59, 29), TC(0, 0, 0, 1), 30.0, TC(1, 0, 0, 0)},
        {TC(30, 0, 0, 0), TC(30, 0, 0, 0), 25.0, TC(0, 0, 0, 0)},  // hours wrap at 60
        {TC(59, 59, 59, 24), TC(0, 0, 0, 1), 25.0, TC(0, 0, 0, 0)},
        {TC(23, 0, 0, 0), TC(2, 0, 0, 0), 30.0, TC(25, 0, 0, 0)},  // not at 24
        {TC(0, 0, 0, 0), TC(0, 0, 0, 0), 30.0, TC(0, 0, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AddTimeCodes(c.a, c.b, c.fps), c.sum)
            << TimeCodeToText(c.a) << " + " << TimeCodeToText(c.b);
    }
}

TEST(TimeCodeTest, AddTimeCodesAgreesWithFrameArithmeticBelowSixtyHours) {
    for (double fps : {25.0, 30.0}) {
        for (std::int64_t a = 0; a < 2600000; a += 104729) {
            for (std::int64_t b = 0; b < 2600000; b += 130363) {
                EXPECT_EQ(AddTimeCodes(FramesToTimeCode(a, fps), FramesToTimeCode(b, fps), fps),
                          FramesToTimeCode(a + b, fps));
            }
        }
    }
}

struct CountCase {
    bool dropFrame;
    double fps;
    double rate;
    std::int64_t count;
    TimeCode last;
};

TEST(TimeCodeTest, CountToTimeCodeNamesTheLastFrameReached) {
    const CountCase cases[] = {
        {false, 25.0, 48000, 48000, TC(0, 0, 0, 24)},
        {false, 30.0, 48000, 48048, TC(0, 0, 0, 29)},  // one NTSC time-code second
        {false, 30.0, 48000, 48000, TC(0, 0, 0, 29)},  // 29.97 frames of the NTSC clock
        {false, 25.0, 48000, 1920, TC(0, 0, 0, 0)},
        {false, 25.0, 48000, 1536000, TC(0, 0, 31, 24)},
        {true, 30.0, 48000, 48000 * 60, TC(0, 0, 59, 29)},
        {false, 24.0, 48000, 48000, TC(0, 0, 0, 0)},  // neither PAL nor NTSC
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountToTimeCode(c.dropFrame, c.fps, c.rate, c.count), c.last)
            << c.count << " at " << c.rate << " fps " << c.fps << " drop " << c.dropFrame;
    }
}

TEST(TimeCodeTest, CountToDurationAddsOneFrameAndMendsEmptyStreams) {
    const CountCase cases[] = {
        {false, 25.0, 48000, 48000, TC(0, 0, 1, 0)},
        {false, 25.0, 48000, 1536000, TC(0, 0, 32, 0)},
        {false, 25.0, 48000, 0, TC(0, 0, 0, 0)},    // empty stream lasts nothing
        {false, 25.0, 48000, 960, TC(0, 0, 0, 0)},  // exactly half a frame reaches none
        {false, 25.0, 48000, 961, TC(0, 0, 0, 1)},
        {false, 30.0, 48000, 0, TC(0, 0, 0, 0)},
        {true, 30.0, 48000, 0, TC(0, 0, 0, 0)},
        // 2^33 samples: 178956.97 s, 4473924.27 PAL frames.
        {false, 25.0, 48000, std::int64_t{1} << 33, TC(49, 42, 36, 24)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountToDuration(c.dropFrame, c.fps, c.rate, c.count), c.last)
            << c.count << " at " << c.rate;
    }
    EXPECT_TRUE(CountToDuration(false, 25.0, 0, 1000).IsNone());
}

TEST(TimeCodeTest, SamplesToTimeCodeIsTheNonDropFrameCount) {
    for (std::int64_t count : {0LL, 1LL, 47999LL, 48048LL, 1234567LL, 172800000LL}) {
        EXPECT_EQ(SamplesToTimeCode(48000, 30.0, count),
                  CountToTimeCode(false, 30.0, 48000, count));
        EXPECT_EQ(SamplesToTimeCode(44100, 25.0, count),
                  CountToTimeCode(false, 25.0, 44100, count));
    }
}

TEST(TimeCodeTest, PALAndNTSCConversions) {
    EXPECT_EQ(NTSCToPALTimeCode(TC(0, 10, 0, 29)), TC(0, 10, 0, 24));
    EXPECT_EQ(NTSCToPALTimeCode(TC(0, 10, 0, 24)), TC(0, 10, 0, 24));
    EXPECT_EQ(NTSCToPALTimeCode(TC(0, 10, 0, 3)), TC(0, 10, 0, 3));
    EXPECT_EQ(PALToNTSCTimeCode(TC(1, 2, 3, 4)), TC(1, 2, 3, 4));
}

TEST(TimeCodeTest, SamplesPerVideoFrameTruncates) {
    struct Case {
        std::int64_t rate;
        double fps;
        std::int64_t spf;
    };
    const Case cases[] = {{48000, 25.0, 1920}, {48000, 30.0, 1600}, {44100, 25.0, 1764},
                          {44100, 30.0, 1470}, {32000, 25.0, 1280}, {32000, 30.0, 1066}};
    for (const auto& c : cases) {
        EXPECT_EQ(SamplesPerVideoFrame(c.rate, c.fps), c.spf) << c.rate << " " << c.fps;
    }
}

TEST(TimeCodeTest, NTSCStretchMatchesExtendedPrecision) {
    EXPECT_EQ(NTSCStretch(2880000), 2882883);  // one minute at 48 kHz
    EXPECT_EQ(NTSCStretch(0), 0);
    EXPECT_EQ(NTSCStretch(999), 1000);
    // The exact rational result and the 80-bit product agree for every count below 2^40.
    const long double stretch = 1000.0L / 999.0L;
    for (std::int64_t s = 1; s < (1LL << 40); s = s * 3 + 7) {
        EXPECT_EQ(NTSCStretch(s), RoundEven(static_cast<long double>(s) * stretch)) << s;
    }
    for (std::int64_t s = 0; s < 100000; ++s) {
        ASSERT_EQ(NTSCStretch(s), RoundEven(static_cast<long double>(s) * stretch)) << s;
    }
}

TEST(TimeCodeTest, SamplesForDurationAppliesTheStretchOnlyForNTSC) {
    EXPECT_EQ(SamplesForDuration(TC(0, 1, 0, 0), 48000, 25.0), 2880000);
    EXPECT_EQ(SamplesForDuration(TC(0, 1, 0, 0), 48000, 30.0), 2882883);
    EXPECT_EQ(SamplesForDuration(TC(0, 0, 0, 1), 48000, 25.0), 1920);
    EXPECT_EQ(SamplesForDuration(TC(0, 0, 0, 0), 48000, 30.0), 0);
    // 64-bit: a 99-hour duration at 192 kHz exceeds 2^31 samples.
    EXPECT_EQ(SamplesForDuration(TC(99, 0, 0, 0), 192000, 25.0), 99LL * 3600 * 192000);
}

TEST(TimeCodeTest, TextForms) {
    EXPECT_EQ(TimeCodeToText(TC(1, 2, 3, 4)), "01:02:03.04");
    EXPECT_EQ(TimeCodeToText(TC(255, 255, 255, 255)), "255:255:255.255");
    EXPECT_EQ(TimeCodeSystemText(TC(0, 45, 10, 12), TvSystem::Ntsc), "00:45:10.12 (NTSC)");
    EXPECT_EQ(TimeCodeSystemText(TC(0, 45, 10, 12), TvSystem::Pal), "00:45:10.12 (PAL)");
    EXPECT_EQ(TimeCodeSystemText(TC(0, 0, 0, 0), TvSystem::Pal), "00:00:00.00 (PAL)");
    EXPECT_EQ(TimeCodeRateText(TC(0, 0, 1, 0), 29.97), "00:00:01.00 (29.97 fps)");
    EXPECT_EQ(TimeCodeRateText(TC(0, 0, 1, 0), 25.0), "00:00:01.00 (25 fps)");
    EXPECT_EQ(TimeCodeRateText(TC(0, 0, 1, 0), 30.0), "00:00:01.00 (30 fps)");
    EXPECT_EQ(TimeCodeRateText(TC(0, 0, 1, 0), 24.0), "00:00:01.00 (30 fps)");
}

TEST(TimeCodeTest, Utilities) {
    EXPECT_EQ(PadNumber(7, 3), "007");
    EXPECT_EQ(PadNumber(1234, 2), "1234");
    EXPECT_EQ(PadNumber(0, 0), "0");
    const char* const expected[][2] = {{"True", "False"},           {"Yes", "No"},
                                       {"TRUE", "FALSE"},           {"YES", "NO"},
                                       {"Permitted", "Prohibited"}, {"1", "0"}};
    for (int style = 0; style < 6; ++style) {
        EXPECT_EQ(BoolToText(true, style), expected[style][0]);
        EXPECT_EQ(BoolToText(false, style), expected[style][1]);
    }
    EXPECT_EQ(TailText("abc", 38), "abc");
    EXPECT_EQ(TailText("abcdef", 3), "...def");
    EXPECT_EQ(TailText("abc", 3), "abc");
    std::uint8_t bytes[] = {0x01, 0x80, 0xFE, 0x7F};
    SwapBytes32(bytes);
    EXPECT_EQ(bytes[0], 0x7F);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(bytes[2], 0x80);
    EXPECT_EQ(bytes[3], 0x01);
}

}  // namespace
}  // namespace varnix
