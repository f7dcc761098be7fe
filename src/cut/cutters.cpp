#include "cut/cutters.h"

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

// The steps every cutter takes for each entry. write(entry, tail, start, base) writes the piece
// and returns how many units the next piece starts later.
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
        const std::uint64_t advance = write(entry, i + 1 == list.size(), start, base);
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

    // Every piece's first frame, found in one walk over the frames.
    std::vector<std::uint64_t> firstFrames;
    std::uint64_t frame = 0;
    for (const CutPoint& entry : list) {
        firstFrames.push_back(frame);
        frame += NonNegative(AC3FramesForDuration(fscod, entry.duration, fps));
    }
    std::vector<std::uint64_t> starts;
    {
        FileSource source(input);
        starts = FindAC3FrameStarts(source, firstFrames);
    }

    std::size_t piece = 0;
    ForEachPiece(input, list, show, abort, outcome,
                 [&](const CutPoint& entry, bool tail, std::uint64_t, std::uint64_t base) {
                     const std::size_t i = piece++;
                     WriteBytePiece(input, entry.outputName, starts[i],
                                    tail ? std::nullopt : std::optional(starts[i + 1]), abort, base,
                                    progress);
                     return tail ? 0 : firstFrames[i + 1] - firstFrames[i];
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
                 [&](const CutPoint& entry, bool tail, std::uint64_t start, std::uint64_t base) {
                     const std::int64_t count =
                         DTSFramesForDuration(entry.duration, kDTSSamplesPerFrame, rate, fps);
                     WriteDTSPiece(input, entry.outputName, start, abort, base, progress,
                                   tail ? kToEndOfInput : count);
                     return tail ? 0 : NonNegative(count);
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
                 [&](const CutPoint& entry, bool tail, std::uint64_t start, std::uint64_t base) {
                     // The sample rate comes from the header, read again for every piece.
                     const std::uint32_t rate = WAVLayoutOfInput(input).header.sampleRate;
                     const std::int64_t count = WAVSamplesForDuration(entry.duration, rate, fps);
                     WriteWAVPiece(input, entry.outputName, start, abort, base, progress,
                                   tail ? kToEndOfInput : count);
                     if (FileExists(entry.outputName)) {
                         if (FileSizeOf(entry.outputName) <= WAVHeader::kSize) {
                             DeleteFileIfExists(entry.outputName);  // nothing but its header
                         } else if (!FinishWAVHeader(entry.outputName)) {
                             DeleteFileIfExists(entry.outputName);
                             throw IoError("Unable to write to file " + entry.outputName + ".",
                                           entry.outputName);
                         }
                     }
                     return tail ? 0 : NonNegative(count);
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
    MPAInfo info;
    ReadMPAInfo(input, true, info);
    if (info.sampleRate == 0) {
        return outcome;
    }
    outcome.usable = true;
    ForEachPiece(
        input, list, show, abort, outcome,
        [&](const CutPoint& entry, bool tail, std::uint64_t start, std::uint64_t base) {
            const std::int64_t count = MPASamplesForDuration(entry.duration, info.sampleRate, fps);
            const std::int64_t covered = WriteMPAPiece(input, entry.outputName, start, abort, base,
                                                       progress, tail ? kMPAToEnd : count);
            if (covered <= 0) {
                // No audio frame in it: only stray bytes such as a trailing tag.
                DeleteFileIfExists(entry.outputName);
            }
            return tail ? 0 : NonNegative(covered);
        });
    return outcome;
}

}  // namespace varnix
