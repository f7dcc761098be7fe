#pragma once
// The split job that the Process command runs: it cuts every input, or the one file made by
// first merging all of them, by the durations list into numbered pieces in the destination
// folder, and removes pieces that came out empty. The window and `varnix split` both run it; they
// hand in plain values and hear about its progress through a listener.

#include <cstdint>
#include <string>
#include <vector>

#include "core/host.h"
#include "core/progress.h"
#include "cut/cut_list.h"
#include "cut/durations.h"
#include "merge/merge_engine.h"
#include "merge/merger.h"

namespace varnix {

// The window's side of a running job. Every call has a default that does nothing.
class SplitJobListener {
  public:
    virtual ~SplitJobListener() = default;
    // The destination folder text as the job uses it (with a separator appended when it had
    // none); the window shows it back in its edit.
    virtual void OutputFolderChanged(const std::string& folder) { (void)folder; }
    // "   Total time: ..." of the durations list, for the status bar.
    virtual void ShowTotalTime(const std::string& text) { (void)text; }
    virtual void EnterBusyState() {}
    // restoreControls is false when the job ends on an abort between two inputs: the Cancel
    // command has restored the window already.
    virtual void LeaveBusyState(bool restoreControls) { (void)restoreControls; }
    // The row of the audio files list being cut (selected and scrolled into view).
    virtual void ShowCurrentInput(int index) { (void)index; }
    // The durations-list row of the piece being written; -1 clears the selection.
    virtual void ShowCurrentPiece(int listIndex) { (void)listIndex; }
    // The row of the merge list being appended.
    virtual void ShowCurrentMergeFile(int index) { (void)index; }
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
    // The window's flags; the job keeps its own when they are null. Both are 0 when it ends.
    AbortFlag* abort = nullptr;
    AbortFlag* busy = nullptr;
    // The progress bar: maximum = size of the current input, position = bytes cut.
    ProgressIndicator* progress = nullptr;
    // The window's merger; the job uses one of its own when null.
    Merger* merger = nullptr;
    SplitJobListener* listener = nullptr;
    // Show one "Warning!" naming the inputs that gave no piece (the command-line program names
    // them itself).
    bool warnAboutInputsWithoutPieces = true;
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

// The warning that lists the inputs that gave no piece.
std::string InputsWithoutPiecesText(const std::vector<std::string>& inputs);

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
    void RunSplitJob(const std::string& input, bool merged);
    // Drives the merger through its operations to merge `mergeList` into `mergedName`.
    MergeOutcome MergeListBeforeCutting(const std::string& mergedName,
                                        const std::vector<std::string>& mergeList);
    // The cutters' progress callback: moves the progress bar, then lets the window handle its
    // pending events.
    void ReportProgress(std::uint64_t position);

  private:
    // How the command ends: normally (progress back to 0, the window restored), with nothing to
    // do (the window restored), or cancelled between two inputs (Cancel restored the window).
    enum class Ending { Finished, NothingToDo, CancelledBetweenInputs };

    PlannedOutputs PlanFor(const std::string& input, bool merged) const;
    // Removes the empty pieces of the list and lists the written ones that remain; false when
    // none does.
    bool KeepPieces(const CutList& list, const std::vector<std::string>& pieces);
    Ending ProcessMerged();
    Ending ProcessEach();
    void Finish(bool restoreControls);
    void ShowError(const std::string& text);

    SplitJobRequest request_;
    SplitJobListener defaultListener_;
    SplitJobListener* listener_;
    AbortFlag ownAbort_{0};
    AbortFlag ownBusy_{0};
    AbortFlag* abort_;
    AbortFlag* busy_;
    Merger ownMerger_;
    std::string folder_;
    SplitJobResult result_;
};

}  // namespace varnix
