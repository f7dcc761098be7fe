#pragma once
// Helpers of the cutting tests: random duration lists from a seeded generator, cut lists in a
// temporary folder, and reading the pieces back.

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/file_helpers.h"
#include "cut/cut_list.h"
#include "support/audio_builders.h"
#include "support/temp_dir.h"

namespace varnix::test {

// Durations of 0 .. maxFrames video frames each (some 0, some beyond the input when maxFrames
// is large), as PAL or NTSC time codes.
inline std::vector<TimeCode> RandomDurations(std::mt19937& random, int count, int maxFrames,
                                             TvSystem system) {
    std::vector<TimeCode> durations;
    for (int i = 0; i < count; ++i) {
        const int frames = static_cast<int>(random() % static_cast<unsigned>(maxFrames + 1));
        durations.push_back(FramesToTimeCode(frames, SystemFps(system)));
    }
    return durations;
}

// A cut list of the durations plus the tail, pieces named after `source` in `folder`.
inline CutList MakeCutList(const TempDir& dir, const std::string& source,
                           const std::vector<TimeCode>& durations, TvSystem system) {
    std::vector<DurationRow> rows;
    for (const TimeCode d : durations) {
        rows.push_back(DurationPair{d, d});
    }
    return BuildCutList(rows, system, dir.path().string() + kPathSeparator, source);
}

// Every piece of the list that exists, read whole, in list order (missing ones as empty).
inline std::vector<Bytes> ReadPieces(const CutList& list) {
    std::vector<Bytes> pieces;
    for (const CutPoint& entry : list) {
        pieces.push_back(FileExists(entry.outputName) ? ReadAll(entry.outputName) : Bytes{});
    }
    return pieces;
}

inline Bytes Concatenation(const std::vector<Bytes>& pieces) {
    Bytes all;
    for (const auto& piece : pieces) {
        all.insert(all.end(), piece.begin(), piece.end());
    }
    return all;
}

inline std::string Describe(unsigned seed, int trial, const std::vector<TimeCode>& durations,
                            TvSystem system) {
    std::ostringstream text;
    text << "seed " << seed << " trial " << trial << (system == TvSystem::Pal ? " PAL:" : " NTSC:");
    for (const TimeCode d : durations) {
        text << ' ' << TimeCodeToText(d);
    }
    return text.str();
}

}  // namespace varnix::test
