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

// Every piece file of the list that exists and came out empty is removed.
void RemoveEmptyPieces(const CutList& list) {
    for (const CutPoint& entry : list) {
        if (FileExists(entry.outputName) && FileSizeOf(entry.outputName) == 0) {
            DeleteFileIfExists(entry.outputName);
        }
    }
}

}  // namespace

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
      observer_(request_.observer != nullptr ? request_.observer : &defaultObserver_) {}

void SplitJob::ShowError(const std::string& text) {
    CurrentHost().showMessage(MessageIcon::Error, kErrorTitle, text);
    result_.failed = true;
}

void SplitJob::ReportProgress(std::uint64_t position) {
    observer_->Progress(position);
}

MergeOutcome SplitJob::MergeListBeforeCutting(const std::string& mergedName,
                                              const std::vector<std::string>& mergeList) {
    if (mergeList.empty()) {
        return {MergeStatus::Merged, 0};
    }
    observer_->MergeStarted(mergeList, mergedName);
    MergeRequest merge;
    merge.files = mergeList;
    merge.resultName = mergedName;
    merge.formats = request_.formats;
    merge.abort = request_.abort;
    merge.progress = [this](const MergeProgress& progress) {
        observer_->MergeProgressed(progress);
    };
    merge.appending = [this](std::size_t index) { observer_->MergeFileStarted(index); };
    return MergeFiles(merge);
}

void SplitJob::PieceDone(const std::string& path, std::size_t& written) {
    if (!FileExists(path)) {
        return;
    }
    const std::uint64_t bytes = FileSizeOf(path);
    if (bytes == 0) {
        return;  // removed with the other empty pieces
    }
    result_.pieces.push_back(WrittenPiece{path, bytes});
    observer_->PieceWritten(path, bytes);
    ++written;
}

void SplitJob::RunSplitJob(const std::string& input, bool merged, int index) {
    const CutList list =
        BuildCutList(request_.durations, request_.system, folder_, PieceNameSource(input, merged));
    observer_->InputStarted(index, input, FileSizeOf(input));
    const double fps = SystemFps(request_.system);
    std::size_t started = 0;  // entries the cutter has started: all but the last are finished
    std::size_t written = 0;
    const ShowCurrentPiece show = [&](int listIndex) {
        if (started > 0) {
            PieceDone(list[started - 1].outputName, written);
        }
        ++started;
        observer_->PieceStarted(listIndex);
    };
    const ProgressCallback progress = [this](std::uint64_t position) { ReportProgress(position); };

    try {
        for (auto* cutter : {&CutAC3File, &CutDTSFile, &CutWAVFile, &CutMPAFile}) {
            if (cutter(input, list, show, fps, request_.abort, progress, request_.formats)
                    .handled) {
                break;
            }
        }
    } catch (const IoError&) {
        // The pieces finished before the failure stay and are listed; the failed one is gone.
        RemoveEmptyPieces(list);
        throw;
    }
    if (started > 0) {
        PieceDone(list[started - 1].outputName, written);
    }
    RemoveEmptyPieces(list);
    if (written == 0 && !IsAborted(request_.abort)) {
        result_.inputsWithoutPieces.push_back(input);
    }
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

void SplitJob::ProcessMerged() {
    const auto& inputs = request_.inputs;
    if (inputs.empty()) {
        CurrentHost().showMessage(MessageIcon::Warning, kWarningTitle,
                                  "Please, specify file to divide.");
        return;
    }
    const std::string merged = MakeMergedName(folder_, inputs);
    if (const std::string clash = OutputClash(inputs, {PlanFor(merged, true)}); !clash.empty()) {
        ShowError(clash);
        return;
    }
    const MergeStatus status = MergeListBeforeCutting(merged, inputs).status;
    if (status != MergeStatus::Merged || IsAborted(request_.abort)) {
        // Refused, failed or cancelled: nothing is cut.
        result_.aborted = status != MergeStatus::Failed;
        result_.failed = status == MergeStatus::Failed;
        return;
    }
    result_.mergedName = merged;
    RunSplitJob(merged, true);
    result_.aborted = IsAborted(request_.abort);
}

void SplitJob::ProcessEach() {
    const auto& inputs = request_.inputs;
    std::vector<PlannedOutputs> plans;
    for (const auto& input : inputs) {
        plans.push_back(PlanFor(input, false));
    }
    if (const std::string clash = OutputClash(inputs, plans); !clash.empty()) {
        ShowError(clash);
        return;
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        RunSplitJob(inputs[i], false, static_cast<int>(i));
        if (IsAborted(request_.abort)) {
            result_.aborted = true;
            return;
        }
    }
}

SplitJobResult SplitJob::Process() {
    result_ = SplitJobResult{};
    folder_ = FolderWithSeparator(request_.outputFolder);
    result_.outputFolder = folder_;
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

    observer_->JobStarted();
    try {
        if (request_.mergeFirst) {
            ProcessMerged();
        } else {
            ProcessEach();
        }
    } catch (const IoError& e) {
        ShowError(e.what());
    }
    observer_->JobFinished(result_.aborted ? std::vector<std::string>{}
                                           : result_.inputsWithoutPieces);
    return result_;
}

}  // namespace varnix
