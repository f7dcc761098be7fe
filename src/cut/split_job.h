#pragma once
// The split job that the Process command runs: it cuts every input, or the one file made by
// first merging all of them, by the durations list into numbered pieces in the destination
// folder, and removes pieces that came out empty. The window and `varnix split` both run it; they
// hand in plain values and follow it through an observer. The job holds no window state: the
// caller keeps its busy state and its abort flag, which the job only reads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/host.h"
#include "cut/cut_list.h"
#include "cut/durations.h"
#include "formats/format_options.h"
#include "merge/merge_engine.h"

namespace varnix {

// What a running job tells its caller, in this order: JobStarted; on the merge page
// MergeStarted, then MergeFileStarted and MergeProgressed as the merge goes; for every file cut
// InputStarted, then PieceStarted for each piece, PieceWritten once a piece is finished (pieces
// that come out empty are never told) and Progress as its bytes are cut; JobFinished last.
// Progress and MergeProgressed come at least after every 8 MiB and during long walks over an
// input, so that a window can handle its events there. Every call has a default that does
// nothing.
class SplitJobObserver {
  public:
    virtual ~SplitJobObserver() = default;
    // The destination folder is ready and the work begins (a window enters its busy state).
    virtual void JobStarted() {}
    // The inputs are about to be merged into `mergedName` (the user may still keep an existing
    // file of that name).
    virtual void MergeStarted(const std::vector<std::string>& files,
                              const std::string& mergedName) {
        (void)files;
        (void)mergedName;
    }
    // The merge appends the input at `index`.
    virtual void MergeFileStarted(std::size_t index) { (void)index; }
    virtual void MergeProgressed(const MergeProgress& progress) { (void)progress; }
    // A file is cut: its index in the inputs (-1 for the merged file) and its size, the range of
    // the Progress positions that follow.
    virtual void InputStarted(int index, const std::string& input, std::uint64_t bytes) {
        (void)index;
        (void)input;
        (void)bytes;
    }
    // The piece of the durations-list row `listIndex` is written; -1 for the tail piece.
    virtual void PieceStarted(int listIndex) { (void)listIndex; }
    virtual void PieceWritten(const std::string& path, std::uint64_t bytes) {
        (void)path;
        (void)bytes;
    }
    // The bytes of the current input cut so far.
    virtual void Progress(std::uint64_t position) { (void)position; }
    // The work is over, finished, failed (the error shown) or cancelled; `inputsWithoutPieces`
    // lists the inputs that gave no piece although the job was not cancelled.
    virtual void JobFinished(const std::vector<std::string>& inputsWithoutPieces) {
        (void)inputsWithoutPieces;
    }
};

struct SplitJobRequest {
    // The durations list in cutting order.
    std::vector<DurationRow> durations;
    TvSystem system = TvSystem::Ntsc;
    std::string outputFolder;
    // The audio files list, or the merge list when mergeFirst is set.
    std::vector<std::string> inputs;
    bool mergeFirst = false;
    // Which files the cutters and the merge take (DetectFormat).
    FormatOptions formats;
    // Set from outside (the Cancel button) to stop the job after the current chunk and piece.
    const AbortFlag* abort = nullptr;
    SplitJobObserver* observer = nullptr;
};

struct WrittenPiece {
    std::string path;
    std::uint64_t bytes = 0;
};

struct SplitJobResult {
    std::string outputFolder;  // with its trailing separator
    std::string mergedName;    // the merged file, when the inputs were merged
    std::vector<WrittenPiece> pieces;
    // Inputs of no known kind, unreadable or unusable, or whose pieces all came out empty.
    std::vector<std::string> inputsWithoutPieces;
    bool aborted = false;  // the abort flag stopped it (or the user kept an existing merge result)
    bool failed = false;   // an error message was shown
};

// The files a job would write for one of its inputs.
struct PlannedOutputs {
    std::string input;
    std::vector<std::string> outputs;
};
// Why the planned outputs may not be written: an output that is one of the inputs (the same file
// after resolving the path), or one that two different inputs would both write. Empty when none.
std::string OutputClash(const std::vector<std::string>& inputs,
                        const std::vector<PlannedOutputs>& planned);

class SplitJob {
  public:
    explicit SplitJob(SplitJobRequest request);

    // The Process command: creates the destination folder (every missing level), merges first
    // when asked, cuts every input by the durations list and removes empty pieces. Messages go
    // through the host: "Please, specify file to divide." for an empty merge list, "Error!" for a
    // folder that cannot be created, an output that would replace an input, and I/O failures.
    SplitJobResult Process();

    // Cuts one file by the durations list (a merged file names its pieces after the first
    // merged file). When a piece cannot be written, the pieces finished before it are listed
    // and the IoError goes on.
    // `index` is the input's place in the request (-1 for the merged file), for the observer.
    void RunSplitJob(const std::string& input, bool merged, int index = -1);
    // Merges `mergeList` into `mergedName` with the merge engine.
    MergeOutcome MergeListBeforeCutting(const std::string& mergedName,
                                        const std::vector<std::string>& mergeList);
    // The cutters' progress callback.
    void ReportProgress(std::uint64_t position);

  private:
    PlannedOutputs PlanFor(const std::string& input, bool merged) const;
    // Lists a finished piece unless it came out empty.
    void PieceDone(const std::string& path, std::size_t& written);
    void ProcessMerged();
    void ProcessEach();
    void ShowError(const std::string& text);

    SplitJobRequest request_;
    SplitJobObserver defaultObserver_;
    SplitJobObserver* observer_;
    std::string folder_;
    SplitJobResult result_;
};

}  // namespace varnix
