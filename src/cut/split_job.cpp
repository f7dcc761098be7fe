#include "cut/split_job.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "core/errors.h"
#include "core/file.h"
#include "core/file_helpers.h"
#include "cut/cutters.h"

namespace varnix {

namespace {

// "   Total time: " and the sum of the rows' durations in the system, as the status bar shows it.
std::string DurationsTotalText(const std::vector<DurationRow>& rows, TvSystem system) {
    const double fps = SystemFps(system);
    std::int64_t frames = 0;
    for (const auto& row : rows) {
        if (row) {
            frames += TimeCodeToFrames(row->ForSystem(system), fps);
        }
    }
    return "   Total time: " + TimeCodeSystemText(FramesToTimeCode(frames, fps), system);
}

}  // namespace

std::string InputsWithoutPiecesText(const std::vector<std::string>& inputs) {
    std::string text = "No piece was cut from these files (unknown format, unreadable or empty):";
    for (const auto& input : inputs) {
        text += "\n" + input;
    }
    return text;
}

std::string OutputClash(const std::vector<std::string>& inputs,
                        const std::vector<PlannedOutputs>& planned) {
    std::map<std::string, const std::string*> writers;
    for (const auto& plan : planned) {
        for (const auto& output : plan.outputs) {
            // Only an existing file can be one of the inputs, which exist.
            if (FileExists(output)) {
                for (const auto& input : inputs) {
                    if (SameFile(output, input)) {
                        return OutputIsInputText(output);
                    }
                }
            }
            const auto [it, inserted] = writers.emplace(output, &plan.input);
            if (!inserted && *it->second != plan.input && !SameFile(*it->second, plan.input)) {
                return "Pieces of " + *it->second + " and of " + plan.input +
                       " would both be written to " + output + ".";
            }
        }
    }
    return {};
}

SplitJob::SplitJob(SplitJobRequest request)
    : request_(std::move(request)),
      listener_(request_.listener != nullptr ? request_.listener : &defaultListener_),
      abort_(request_.abort != nullptr ? request_.abort : &ownAbort_),
      busy_(request_.busy != nullptr ? request_.busy : &ownBusy_) {}

void SplitJob::ShowError(const std::string& text) {
    CurrentHost().showMessage(MessageIcon::Error, kErrorTitle, text);
    result_.failed = true;
}

void SplitJob::Finish(bool restoreControls) {
    if (request_.progress != nullptr) {
        request_.progress->setPosition(0);
    }
    *abort_ = 0;
    *busy_ = 0;
    listener_->LeaveBusyState(restoreControls);
}

void SplitJob::ReportProgress(std::uint64_t position) {
    ProgressIndicator* bar = request_.progress;
    if (bar != nullptr && bar->maximum() >= 0 &&
        position <= static_cast<std::uint64_t>(bar->maximum())) {
        bar->setPosition(static_cast<std::int64_t>(position));
    }
    CurrentHost().pumpEvents();
}

MergeOutcome SplitJob::MergeListBeforeCutting(const std::string& mergedName,
                                              const std::vector<std::string>& mergeList) {
    if (mergeList.empty()) {
        return MergeOutcome::Merged;
    }
    Merger& merger = request_.merger != nullptr ? *request_.merger : ownMerger_;
    merger.ResetMerger();
    merger.LendProgressBar(request_.progress);
    for (const auto& file : mergeList) {
        merger.AddMergeFile(file);
    }
    merger.SetResultName(mergedName);
    const MergeOutcome outcome = Merge(
        merger, [this](int index) { listener_->ShowCurrentMergeFile(index); }, abort_,
        request_.formats);
    merger.ReturnProgressBar();
    return outcome;
}

void SplitJob::RunSplitJob(const std::string& input, bool merged) {
    const CutList list =
        BuildCutList(request_.durations, request_.system, folder_, PieceNameSource(input, merged));
    if (request_.progress != nullptr) {
        request_.progress->setMinimum(0);
        request_.progress->setPosition(0);
        request_.progress->setMaximum(static_cast<std::int64_t>(FileSizeOf(input)));
    }
    const double fps = SystemFps(request_.system);
    std::size_t reached = 0;  // entries the cutter has started: all but the last are done
    const ShowCurrentPiece show = [this, &reached](int index) {
        ++reached;
        listener_->ShowCurrentPiece(index);
    };
    const ProgressCallback progress = [this](std::uint64_t position) { ReportProgress(position); };

    CutOutcome outcome;
    try {
        for (auto* cutter : {&CutAC3File, &CutDTSFile, &CutWAVFile, &CutMPAFile}) {
            outcome = cutter(input, list, show, fps, abort_, progress, request_.formats);
            if (outcome.handled) {
                break;
            }
        }
    } catch (const IoError&) {
        // The pieces finished before the failure stay and are reported; the failed one is gone.
        std::vector<std::string> finished;
        for (std::size_t i = 0; i + 1 < reached && i < list.size(); ++i) {
            finished.push_back(list[i].outputName);
        }
        KeepPieces(list, finished);
        throw;
    }
    if (!KeepPieces(list, outcome.pieces) && !IsAborted(abort_)) {
        result_.inputsWithoutPieces.push_back(input);
    }
}

bool SplitJob::KeepPieces(const CutList& list, const std::vector<std::string>& pieces) {
    for (const CutPoint& entry : list) {
        if (FileExists(entry.outputName) && FileSizeOf(entry.outputName) == 0) {
            DeleteFileIfExists(entry.outputName);
        }
    }
    bool anyPiece = false;
    for (const auto& piece : pieces) {
        if (FileExists(piece)) {
            result_.pieces.push_back(WrittenPiece{piece, FileSizeOf(piece)});
            anyPiece = true;
        }
    }
    return anyPiece;
}

PlannedOutputs SplitJob::PlanFor(const std::string& input, bool merged) const {
    PlannedOutputs plan{input, {}};
    if (merged) {
        plan.outputs.push_back(input);  // the merged file is written too
    }
    for (const auto& entry : BuildCutList(request_.durations, request_.system, folder_,
                                          PieceNameSource(input, merged))) {
        plan.outputs.push_back(entry.outputName);
    }
    return plan;
}

SplitJob::Ending SplitJob::ProcessMerged() {
    const auto& inputs = request_.inputs;
    if (inputs.empty()) {
        CurrentHost().showMessage(MessageIcon::Warning, kWarningTitle,
                                  "Please, specify file to divide.");
        return Ending::NothingToDo;
    }
    const std::string merged = MakeMergedName(folder_, inputs);
    if (const std::string clash = OutputClash(inputs, {PlanFor(merged, true)}); !clash.empty()) {
        ShowError(clash);
        return Ending::Finished;
    }
    const MergeOutcome outcome = MergeListBeforeCutting(merged, inputs);
    if (outcome != MergeOutcome::Merged || IsAborted(abort_)) {
        // Refused, failed or cancelled: nothing is cut.
        result_.aborted = outcome != MergeOutcome::Failed;
        result_.failed = outcome == MergeOutcome::Failed;
        return Ending::Finished;
    }
    result_.mergedName = merged;
    RunSplitJob(merged, true);
    result_.aborted = IsAborted(abort_);
    return Ending::Finished;
}

SplitJob::Ending SplitJob::ProcessEach() {
    const auto& inputs = request_.inputs;
    std::vector<PlannedOutputs> plans;
    for (const auto& input : inputs) {
        plans.push_back(PlanFor(input, false));
    }
    if (const std::string clash = OutputClash(inputs, plans); !clash.empty()) {
        ShowError(clash);
        return Ending::Finished;
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        listener_->ShowCurrentInput(static_cast<int>(i));
        RunSplitJob(inputs[i], false);
        if (IsAborted(abort_)) {
            result_.aborted = true;
            return Ending::CancelledBetweenInputs;
        }
    }
    return Ending::Finished;
}

SplitJobResult SplitJob::Process() {
    result_ = SplitJobResult{};
    folder_ = FolderWithSeparator(request_.outputFolder);
    result_.outputFolder = folder_;
    if (folder_ != request_.outputFolder) {
        listener_->OutputFolderChanged(folder_);
    }
    if (folder_.empty()) {
        ShowError("Please, specify the destination folder.");
        return result_;
    }
    if (!FolderExists(folder_)) {
        CreateFolderOfFile(folder_);
        if (!FolderExists(folder_)) {
            std::error_code ec;
            std::filesystem::create_directories(PathOf(folder_), ec);
            ShowError("Destination folder " + folder_ + " can not be created" +
                      (ec ? ": " + ec.message() : std::string()) + ".");
            return result_;
        }
    }

    *abort_ = 0;
    *busy_ = 1;
    listener_->ShowTotalTime(DurationsTotalText(request_.durations, request_.system));
    listener_->EnterBusyState();

    Ending ending = Ending::Finished;
    try {
        ending = request_.mergeFirst ? ProcessMerged() : ProcessEach();
    } catch (const IoError& e) {
        ShowError(e.what());
    }
    if (ending == Ending::Finished) {
        Finish(true);
    } else {
        *abort_ = 0;
        *busy_ = 0;
        listener_->LeaveBusyState(ending == Ending::NothingToDo);
    }

    if (!result_.inputsWithoutPieces.empty() && !result_.aborted &&
        request_.warnAboutInputsWithoutPieces) {
        CurrentHost().showMessage(MessageIcon::Warning, kWarningTitle,
                                  InputsWithoutPiecesText(result_.inputsWithoutPieces));
    }
    return result_;
}

}  // namespace varnix
