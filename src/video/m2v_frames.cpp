// The play time in frames. PAL streams count their pictures; the other rates count displayed
// fields and halve them, rounding by the pattern of the last three pictures, since a 3:2
// pull-down stream may end on a picture whose repeated field belongs to no whole frame.

#include <cstdint>

#include "video/m2v_stream.h"

namespace varnix {

namespace {

struct EndPatternRow {
    int endCase;
    // -1 leaves a value free.
    int t1, t2, t3, f1, r1, f2, r2, f3, r3;
};

bool Matches(int wanted, std::uint32_t actual) {
    return wanted < 0 || static_cast<std::uint32_t>(wanted) == actual;
}

// Tested in this order; each match replaces the case found so far.
constexpr EndPatternRow kRows[] = {
    //  case  T1  T2  T3  F1  R1  F2  R2  F3  R3
    {1, -1, 3, -1, -1, -1, 1, 1, -1, -1}, {2, -1, 2, -1, -1, -1, 1, 1, -1, -1},
    {3, -1, 3, -1, -1, -1, 0, 0, -1, -1}, {4, -1, 2, -1, -1, -1, 1, 0, -1, -1},
    {5, 2, -1, -1, -1, -1, 0, 1, -1, -1}, {6, 3, 3, -1, 1, 0, 1, 0, -1, -1},
    {7, 2, 3, -1, 1, 1, 1, 1, -1, -1},    {8, 3, 3, 2, 0, 0, 1, 1, 0, 1},
    {9, 2, 3, -1, 0, 1, 1, 1, -1, -1},    {10, 2, 2, -1, 0, 1, 0, 0, -1, -1},
    {11, 2, 2, -1, 1, 0, 0, 1, -1, -1},   {12, 2, 2, -1, 1, 1, 1, 0, -1, -1},
    {15, 3, 2, -1, 0, 0, 0, 0, -1, -1},   {16, 2, 3, -1, 0, 0, 1, 0, -1, -1},
};

}  // namespace

int EndPatternCase(const PictureHistory& h, bool pullDown) {
    int endCase = pullDown ? 0 : 14;
    for (const EndPatternRow& row : kRows) {
        if (Matches(row.t1, h.codingType[0]) && Matches(row.t2, h.codingType[1]) &&
            Matches(row.t3, h.codingType[2]) && Matches(row.f1, h.topFieldFirst[0]) &&
            Matches(row.r1, h.repeatFirstField[0]) && Matches(row.f2, h.topFieldFirst[1]) &&
            Matches(row.r2, h.repeatFirstField[1]) && Matches(row.f3, h.topFieldFirst[2]) &&
            Matches(row.r3, h.repeatFirstField[2])) {
            endCase = row.endCase;
        }
    }
    return endCase;
}

std::int64_t FramesFromFields(int endCase, std::uint64_t fields,
                              std::uint32_t lastRepeatFirstField) {
    const auto roundUp = static_cast<std::int64_t>((fields + 1) / 2);
    const auto roundDown = static_cast<std::int64_t>(fields / 2);
    switch (endCase) {
        case 1:
        case 3:
        case 4:
        case 6:
        case 11:
        case 14:
        case 15:
        case 16:
            return roundUp;
        case 0:
            return lastRepeatFirstField != 0 ? roundUp : roundDown;
        default:
            return roundDown;
    }
}

void TM2VStream::ComputeFrames(bool loadedValidCache) {
    if (!loadedValidCache) {
        if (scan_.results.repeatedReferences == 1) {
            scan_.results.pictures += 1;
        }
        scan_.results.panScan = PanScanTest();
    }
    if (WholeFrameRateOfCode(scan_.results.frameRateCode) == 25) {
        scan_.results.frames = RoundEven(0.1 + scan_.results.pictures);
    } else {
        const int endCase = EndPatternCase(scan_.history, scan_.results.pullDown);
        scan_.results.frames =
            FramesFromFields(endCase, scan_.results.fields, scan_.history.repeatFirstField[0]);
        if (static_cast<double>(scan_.results.frames) > scan_.results.pictures) {
            scan_.results.pullDown = true;
        }
    }
    // Without the cache the bit rates become bits per second; the cache keeps them raw.
    if (!scan_.cacheInUse || scan_.aborted) {
        scan_.results.highestBitRate *= 400;
        scan_.results.lowestBitRate *= 400;
        scan_.results.averageBitRate =
            scan_.results.bitRateCount != 0
                ? (scan_.results.bitRateSum / scan_.results.bitRateCount) * 100 * 400
                : 0;
        scan_.bitRatesConverted = true;
        if (scan_.results.bitRate < 200000) {
            scan_.results.bitRate = 200000;
        }
        scan_.results.pictures = static_cast<double>(RoundEven(0.1 + scan_.results.pictures));
    }
}

}  // namespace varnix
