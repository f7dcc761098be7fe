// Fuzz body of the split job: one input, cut (or first merged alone, then cut) by durations
// taken from the last bytes, and the pieces checked against the input.

#include <algorithm>
#include <optional>

#include "core/file_helpers.h"
#include "cut/piece_writers.h"
#include "cut/split_job.h"
#include "formats/ac3.h"
#include "formats/detect.h"
#include "formats/dts.h"
#include "formats/mpa_file.h"
#include "formats/wav.h"
#include "harness.h"

namespace varnix::fuzz {

namespace {

using ByteVector = std::vector<std::uint8_t>;

// Remembers the error messages of the job; answers every question with Cancel.
class ErrorCountingHost : public Host {
  public:
    ErrorCountingHost() : previous_(&CurrentHost()) { SetHost(this); }
    ~ErrorCountingHost() override { SetHost(previous_); }
    ErrorCountingHost(const ErrorCountingHost&) = delete;
    ErrorCountingHost& operator=(const ErrorCountingHost&) = delete;
    void showMessage(MessageIcon icon, const std::string&, const std::string& text) override {
        if (icon == MessageIcon::Error) {
            errors.push_back(text);
        }
    }
    std::vector<std::string> errors;

  private:
    Host* previous_;
};

// The request in the last bytes: a control byte (bits 0-2 the number of durations, bit 3 PAL,
// bit 4 merge first) preceded by two bytes per duration. A duration is a count of video frames:
// the low byte alone when bit 7 of the high byte is clear, 15 bits otherwise; 0x7FFF is a row
// whose duration is gone.
struct SplitRequest {
    std::vector<DurationRow> rows;
    TvSystem system = TvSystem::Ntsc;
    bool mergeFirst = false;
    Bytes input;
};

SplitRequest ParseRequest(Bytes data) {
    SplitRequest request;
    request.input = data;
    if (data.empty()) {
        return request;
    }
    const std::uint8_t control = data.back();
    const std::size_t count = std::min<std::size_t>(control & 7, (data.size() - 1) / 2);
    request.system = (control & 8) != 0 ? TvSystem::Pal : TvSystem::Ntsc;
    request.mergeFirst = (control & 16) != 0;
    const std::size_t trailer = 1 + 2 * count;
    const Bytes durations = data.subspan(data.size() - trailer, 2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t low = durations[2 * i];
        const std::uint8_t high = durations[2 * i + 1];
        const int frames = (high & 0x80) != 0 ? ((high & 0x7F) << 8) | low : low;
        if (frames == 0x7FFF) {
            request.rows.push_back(std::nullopt);
        } else {
            request.rows.push_back(
                DurationPair{FramesToTimeCode(frames, 25.0), FramesToTimeCode(frames, 30.0)});
        }
    }
    request.input = data.first(data.size() - trailer);
    return request;
}

ByteVector Slice(const ByteVector& bytes, std::uint64_t from, std::uint64_t count) {
    from = std::min<std::uint64_t>(from, bytes.size());
    count = std::min<std::uint64_t>(count, bytes.size() - from);
    return ByteVector(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                      bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

ByteVector Concatenation(const std::vector<ByteVector>& pieces) {
    ByteVector all;
    for (const auto& piece : pieces) {
        all.insert(all.end(), piece.begin(), piece.end());
    }
    return all;
}

// AC3 and DTS pieces are byte ranges of whole frames: together, the input.
void CheckBytePieces(const ByteVector& input, const std::vector<ByteVector>& pieces, bool usable) {
    const ByteVector all = Concatenation(pieces);
    if (usable) {
        Check(all == input, "the pieces do not concatenate to the input");
    } else {
        Check(all.empty(), "pieces of an unusable input");
    }
}

// The whole sample frames of a WAV file's data chunk.
ByteVector WholeSampleFrames(const ByteVector& bytes, const WAVLayout& layout) {
    const std::uint64_t bpf = layout.header.bytesPerSampleFrame();
    if (!layout.dataFound) {
        return {};
    }
    return Slice(bytes, layout.dataStart, bpf == 0 ? layout.dataSize : layout.dataSize / bpf * bpf);
}

// WAV pieces carry a canonical header each; their samples together are the whole sample frames
// of the data chunk.
void CheckWAVPieces(const std::string& inputName, const ByteVector& input,
                    const std::vector<ByteVector>& pieces) {
    const WAVLayout layout = ReadWAVLayout(inputName);
    const bool usable = layout.isPCM() && layout.formatFound && layout.dataFound &&
                        layout.header.sampleRate != 0 && layout.header.bytesPerSampleFrame() != 0;
    ByteVector samples;
    for (const auto& piece : pieces) {
        Check(piece.size() > WAVHeader::kSize, "a WAV piece without samples was kept");
        const auto header = CanonicalWAVHeader(layout.header, piece.size() - WAVHeader::kSize);
        Check(std::equal(piece.begin(), piece.begin() + WAVHeader::kSize, header.toBytes().begin()),
              "a WAV piece without its canonical header");
        samples.insert(samples.end(), piece.begin() + WAVHeader::kSize, piece.end());
    }
    Check(samples == (usable ? WholeSampleFrames(input, layout) : ByteVector{}),
          "the WAV pieces' samples are not the data chunk's sample frames");
}

// MPEG audio pieces follow each other through the input after its "Xing"/"Info" frame; only
// where a piece without any frame was removed may bytes lie between two of them.
void CheckMPAPieces(const std::string& inputName, const ByteVector& input,
                    const std::vector<std::optional<ByteVector>>& slots) {
    TMPAFile file(inputName);
    file.SkipID3v2();
    file.ReadInfoFrame();
    std::uint64_t position = static_cast<std::uint64_t>(file.tell());
    bool gapAllowed = false;
    for (const auto& slot : slots) {
        if (!slot) {
            gapAllowed = true;
            continue;
        }
        const ByteVector& piece = *slot;
        std::uint64_t at = position;
        if (Slice(input, at, piece.size()) != piece) {
            Check(gapAllowed, "an MPEG audio piece does not follow the one before it");
            const auto found = std::search(input.begin() + static_cast<std::ptrdiff_t>(position),
                                           input.end(), piece.begin(), piece.end());
            Check(found != input.end(), "an MPEG audio piece is no part of the input");
            at = static_cast<std::uint64_t>(found - input.begin());
        }
        position = at + piece.size();
        gapAllowed = false;
    }
    Check(position <= input.size(), "MPEG audio pieces past the end");
    if (position < input.size()) {
        Check(gapAllowed, "MPEG audio pieces stop before the end of the input");
    }
}

}  // namespace

void FuzzSplit(Bytes data) {
    ClearWorkFolder();
    const SplitRequest request = ParseRequest(data);
    const MediaKind kind = DetectFormatOfBytes(request.input);
    const std::string inputName = WriteWorkFile(
        "input" + (kind == MediaKind::Unknown ? std::string(".bin") : MediaKindText(kind)),
        request.input);
    const ByteVector input(request.input.begin(), request.input.end());
    const std::string folder = WorkFolder() + "out" + kPathSeparator;

    ErrorCountingHost host;
    SplitJobRequest job;
    job.durations = request.rows;
    job.system = request.system;
    job.outputFolder = folder;
    job.inputs = {inputName};
    job.mergeFirst = request.mergeFirst;
    const SplitJobResult result = SplitJob(job).Process();

    Check(host.errors.empty() && !result.failed, "the split job failed on a readable input");
    Check(!result.aborted, "the split job stopped by itself");
    Check(ReadWholeFile(inputName) == input, "the split job changed its input");

    // The file that was cut: the input, or the merged copy of it.
    const std::string cut = request.mergeFirst ? result.mergedName : inputName;
    Check(!cut.empty(), "a merge of one readable file gave no result");
    const ByteVector cutBytes = ReadWholeFile(cut);
    if (request.mergeFirst) {
        if (kind == MediaKind::WAV) {
            const WAVLayout layout = ReadWAVLayout(inputName);
            Check(ByteVector(cutBytes.begin() + std::min<std::size_t>(44, cutBytes.size()),
                             cutBytes.end()) == WholeSampleFrames(input, layout),
                  "the merged WAV file's samples are not the input's");
        } else {
            Check(cutBytes == input, "the merged copy of one file differs from it");
        }
    }

    // Every piece written is listed, with its size, in cut-list order; nothing else is left.
    const CutList list = BuildCutList(request.rows, request.system, result.outputFolder,
                                      PieceNameSource(cut, request.mergeFirst));
    std::vector<std::optional<ByteVector>> slots;
    std::vector<ByteVector> pieces;
    std::vector<std::string> expectedFiles;
    std::size_t listed = 0;
    for (const CutPoint& entry : list) {
        if (!FileExists(entry.outputName)) {
            slots.push_back(std::nullopt);
            continue;
        }
        Check(listed < result.pieces.size() && result.pieces[listed].path == entry.outputName,
              "a piece on disk is not in the job's list");
        ByteVector piece = ReadWholeFile(entry.outputName);
        Check(result.pieces[listed].bytes == piece.size() && !piece.empty(),
              "a listed piece has another size or is empty");
        ++listed;
        expectedFiles.push_back(FileNameOf(entry.outputName));
        pieces.push_back(piece);
        slots.push_back(std::move(piece));
    }
    Check(listed == result.pieces.size(), "the job lists a piece that is not on disk");
    if (request.mergeFirst) {
        expectedFiles.push_back(FileNameOf(cut));
    }
    std::sort(expectedFiles.begin(), expectedFiles.end());
    Check(FilesIn(folder) == expectedFiles, "the job left other files in the destination");

    if (kind == MediaKind::AC3) {
        CheckBytePieces(cutBytes, pieces, GetAC3FrameBytes(cut) != 0 && !cutBytes.empty());
    } else if (kind == MediaKind::DTS) {
        CheckBytePieces(
            cutBytes, pieces,
            GetDTSSampleRate(cut) != 0 && DTSFrameLengthOf(cut) != 0 && !cutBytes.empty());
    } else if (kind == MediaKind::WAV) {
        CheckWAVPieces(cut, cutBytes, pieces);
    } else if (kind == MediaKind::MPA) {
        CheckMPAPieces(cut, cutBytes, slots);
    } else {
        Check(pieces.empty(), "pieces of an input of no audio kind");
    }
    Check(pieces.empty() ==
              (std::find(result.inputsWithoutPieces.begin(), result.inputsWithoutPieces.end(),
                         cut) != result.inputsWithoutPieces.end()),
          "an input without pieces is not reported, or one with pieces is");
}

}  // namespace varnix::fuzz
