#include "cut/cutters.h"

#include <algorithm>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "cut/piece_writers.h"
#include "cut/unit_counts.h"
#include "formats/ac3.h"
#include "formats/byte_source.h"
#include "formats/detect.h"
#include "formats/dts.h"
#include "formats/mpa_file.h"
#include "formats/mpa_piece.h"
#include "formats/wav.h"

namespace varnix {

namespace {

// The steps every cutter takes for each entry. write(entry, start, base) writes the piece and
// returns how many units the next piece starts later.
template <typename Write>
void ForEachPiece(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                  const AbortFlag* abort, CutOutcome& outcome, Write&& write) {
    std::uint64_t start = 0;
    std::uint64_t base = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const CutPoint& entry = list[i];
        if (show) {
            show(entry.listIndex);
        }
        if (i > 0 && !FileExists(input)) {
            // The pieces so far would look like the whole input: say it is gone.
            throw IoError("Unable to open file " + input + " for reading: it no longer exists.",
                          input);
        }
        DeleteFileIfExists(entry.outputName);
        const std::uint64_t advance = write(entry, start, base);
        if (FileExists(entry.outputName)) {
            outcome.pieces.push_back(entry.outputName);
            base += FileSizeOf(entry.outputName);
        }
        start += advance;
        if (IsAborted(abort)) {
            outcome.aborted = true;
            break;
        }
    }
}

// The chunk walk of a WAV input. Unlike the query ReadWAVLayout it throws IoError on a read
// error, so that the job stops with the reason instead of taking the input for unusable.
WAVLayout WAVLayoutOfInput(const std::string& input) {
    FileSource source(input);
    return ReadWAVLayoutOf(source);
}

std::uint64_t NonNegative(std::int64_t count) {
    return count > 0 ? static_cast<std::uint64_t>(count) : 0;
}

// The units an entry's piece takes: unitsFor(duration) for a piece, kToEnd for the tail.
template <typename UnitsFor>
Count UnitsOf(const CutPoint& entry, UnitsFor&& unitsFor) {
    return entry.isTail() ? Count(kToEnd) : Count(NonNegative(unitsFor(entry.duration.amount())));
}

}  // namespace

CutOutcome CutAC3File(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats) {
    CutOutcome outcome;
    if (DetectFormat(input, formats) != MediaKind::AC3) {
        return outcome;
    }
    outcome.handled = true;
    if (GetAC3FrameBytes(input) == 0) {
        return outcome;  // reserved sample rate or a frame size outside the table
    }
    outcome.usable = true;
    const unsigned fscod = GetAC3SampleRateCode(input);

    // Every piece's first frame and the frame after the last piece, found in one walk over the
    // frames.
    std::vector<std::uint64_t> firstFrames;
    std::uint64_t frame = 0;
    for (const CutPoint& entry : list) {
        firstFrames.push_back(frame);
        frame += UnitsOf(entry, [&](TimeCode duration) {
                     return AC3FramesForDuration(fscod, duration, fps);
                 }).amountOr(0);
    }
    firstFrames.push_back(frame);
    std::vector<std::uint64_t> starts;
    {
        // Nothing is cut yet while the frames are walked.
        FileSource source(input);
        starts = FindAC3FrameStarts(source, firstFrames, false, [&progress] {
            if (progress) {
                progress(0);
            }
        });
    }

    std::size_t piece = 0;
    ForEachPiece(input, list, show, abort, outcome,
                 [&](const CutPoint& entry, std::uint64_t, std::uint64_t base) {
                     const std::size_t i = piece++;
                     const std::uint64_t from = starts[i];
                     const std::uint64_t to = std::max(from, starts[i + 1]);
                     WriteBytePiece(input, entry.outputName, from,
                                    entry.isTail() ? Count(kToEnd) : Count(to - from), abort, base,
                                    progress);
                     return firstFrames[i + 1] - firstFrames[i];
                 });
    return outcome;
}

CutOutcome CutDTSFile(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats) {
    CutOutcome outcome;
    if (DetectFormat(input, formats) != MediaKind::DTS) {
        return outcome;
    }
    outcome.handled = true;
    const std::uint32_t rate = GetDTSSampleRate(input);
    if (rate == 0 || DTSFrameLengthOf(input) == 0) {
        return outcome;  // an invalid sample-rate code gives no frame count
    }
    outcome.usable = true;
    ForEachPiece(input, list, show, abort, outcome,
                 [&](const CutPoint& entry, std::uint64_t start, std::uint64_t base) {
                     const Count count = UnitsOf(entry, [&](TimeCode duration) {
                         return DTSFramesForDuration(duration, kDTSSamplesPerFrame, rate, fps);
                     });
                     WriteDTSPiece(input, entry.outputName, start, abort, base, progress, count);
                     return count.amountOr(0);
                 });
    return outcome;
}

CutOutcome CutWAVFile(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats) {
    CutOutcome outcome;
    if (DetectFormat(input, formats) != MediaKind::WAV) {
        return outcome;
    }
    outcome.handled = true;
    const WAVLayout layout = WAVLayoutOfInput(input);
    if (!layout.isPCM() || !layout.formatFound || !layout.dataFound ||
        layout.header.sampleRate == 0 || layout.header.bytesPerSampleFrame() == 0) {
        return outcome;
    }
    outcome.usable = true;
    ForEachPiece(input, list, show, abort, outcome,
                 [&](const CutPoint& entry, std::uint64_t start, std::uint64_t base) {
                     // The sample rate comes from the header, read again for every piece.
                     const std::uint32_t rate = WAVLayoutOfInput(input).header.sampleRate;
                     const Count count = UnitsOf(entry, [&](TimeCode duration) {
                         return WAVSamplesForDuration(duration, rate, fps);
                     });
                     WriteWAVPiece(input, entry.outputName, start, abort, base, progress, count);
                     if (FileExists(entry.outputName)) {
                         if (FileSizeOf(entry.outputName) <= WAVHeader::kSize) {
                             DeleteFileIfExists(entry.outputName);  // nothing but its header
                         } else if (!FinishWAVHeader(entry.outputName)) {
                             DeleteFileIfExists(entry.outputName);
                             throw IoError("Unable to write to file " + entry.outputName + ".",
                                           entry.outputName);
                         }
                     }
                     return count.amountOr(0);
                 });
    return outcome;
}

CutOutcome CutMPAFile(const std::string& input, const CutList& list, const ShowCurrentPiece& show,
                      double fps, const AbortFlag* abort, const ProgressCallback& progress,
                      FormatOptions formats) {
    CutOutcome outcome;
    if (DetectFormat(input, formats) != MediaKind::MPA) {
        return outcome;
    }
    outcome.handled = true;
    const std::optional<MPAInfo> info = ReadMPAInfo(input, true);
    if (!info || info->sampleRate == 0) {
        return outcome;
    }
    outcome.usable = true;
    ForEachPiece(input, list, show, abort, outcome,
                 [&](const CutPoint& entry, std::uint64_t start, std::uint64_t base) {
                     const Count count = UnitsOf(entry, [&](TimeCode duration) {
                         return MPASamplesForDuration(duration, info->sampleRate, fps);
                     });
                     const std::int64_t covered = WriteMPAPiece(input, entry.outputName, start,
                                                                abort, base, progress, count);
                     if (covered <= 0) {
                         // No audio frame in it: only stray bytes such as a trailing tag.
                         DeleteFileIfExists(entry.outputName);
                     }
                     return entry.isTail() ? 0 : NonNegative(covered);
                 });
    return outcome;
}

}  // namespace varnix
