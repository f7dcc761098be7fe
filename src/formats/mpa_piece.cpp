#include "formats/mpa_piece.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "core/file_helpers.h"
#include "formats/mpa_file.h"

namespace varnix {

namespace {

// How many frames the walk takes between two idle calls.
constexpr std::uint64_t kFramesPerIdleCall = 256;

std::uint64_t Distance(std::uint64_t a, std::uint64_t b) {
    return a > b ? a - b : b - a;
}

}  // namespace

MPAPieceRange LocateMPAPiece(const std::string& sourceName, std::uint64_t startSample,
                             Count sampleCount, const IdleCallback& idle) {
    TMPAFile file(sourceName);
    file.SkipID3v2();
    file.ReadInfoFrame();

    const bool toEnd = sampleCount.toEnd();
    // The sample where the piece ends; a count past the largest number never ends it.
    const std::uint64_t target =
        startSample +
        CountWithin(sampleCount, std::numeric_limits<std::uint64_t>::max() - startSample);
    std::optional<std::uint64_t> startPos;
    std::optional<std::uint64_t> length;
    std::uint64_t cum = 0;
    std::uint64_t end = 0;
    // The boundary after the last accepted frame: where the samples counted so far were
    // reached. Frames after it (of another sample rate, say) add no samples.
    std::uint64_t reachedPos = static_cast<std::uint64_t>(file.tell());
    if (startSample == 0) {
        startPos = reachedPos;
    }

    std::uint64_t walked = 0;
    while (file.FindNextSync()) {
        if (file.NextFrame() == nullptr) {
            break;
        }
        std::uint64_t before = cum;
        if (file.AcceptFrame()) {
            cum += file.CurrentFrame().SamplesPerFrame();
        }
        file.SkipFrame();
        const auto here = static_cast<std::uint64_t>(file.tell());
        if (!startPos && cum >= startSample) {
            startPos = here;  // the boundary after this frame
        }
        if (startPos && !toEnd && cum >= target) {
            if (Distance(cum, target) <= Distance(target, before)) {
                length = here - *startPos;
                end = cum;
            } else {
                // Ends where the samples before this frame were reached: the next piece starts
                // there, so frames without samples in between must not go into both. A piece that
                // would end before it starts is empty.
                length = reachedPos > *startPos ? reachedPos - *startPos : 0;
                end = std::max(before, startSample);
            }
            break;
        }
        if (++walked % kFramesPerIdleCall == 0 && idle) {
            idle();
        }
        if (cum != before) {
            reachedPos = here;
        }
    }

    const auto here = static_cast<std::uint64_t>(file.tell());
    MPAPieceRange range;
    if (!startPos) {
        // The start lies past the last frame: nothing of the stream belongs to this piece.
        range.start = here;
        range.length = 0u;
        range.samples = 0;
        return range;
    }
    range.start = *startPos;
    if (!length) {
        length = here >= *startPos ? here - *startPos : 0;
        end = cum;
    }
    range.length = toEnd ? Count(kToEnd) : Count(*length);
    range.samples = end > startSample ? static_cast<std::int64_t>(end - startSample) : 0;
    return range;
}

std::int64_t WriteMPAPiece(const std::string& sourceName, const std::string& destName,
                           std::uint64_t startSample, const AbortFlag* abortFlag,
                           std::uint64_t progressBase, const ProgressCallback& progress,
                           Count sampleCount) {
    const MPAPieceRange range =
        LocateMPAPiece(sourceName, startSample, sampleCount, [&progress, progressBase] {
            if (progress) {
                progress(progressBase);
            }
        });
    CopyFileRange(sourceName, destName, progress, abortFlag, progressBase, range.length,
                  range.start);
    return range.samples;
}

}  // namespace varnix
