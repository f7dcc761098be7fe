// The Process command: the window's side of a job (destination folder, flags, selection modes,
// total, busy state) and its progress on ProgressBar1.

#include "core/file_helpers.h"
#include "core/host.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/window_rules.h"

namespace varnix {

void TAC3Splitter::BitBtn10Click() {
    // The folder is taken with its separator, so that the folder created is the one the pieces
    // go to also when Enter pressed Process while the edit still had the focus.
    const std::string folder = WithTrailingSeparator(Edit1->text().toStdString());
    if (folder != Edit1->text().toStdString()) {
        Edit1->setText(QString::fromStdString(folder));
    }
    if (const std::string error = EnsureDestinationFolder(folder); !error.empty()) {
        CurrentHost().showMessage(MessageIcon::Error, "Error!", error);
        return;
    }

    state_.AbortFlag = 0;
    state_.Busy = 1;
    savedOutputFolder_ = folder;
    for (TDropList* list : {static_cast<TDropList*>(ListView1), static_cast<TDropList*>(ListView2),
                            static_cast<TDropList*>(ListView3)}) {
        SetSingleSelection(list);
    }
    ShowDurationsTotal();
    BeginBusy();

    const bool mergePage = MergePageShown();
    if (mergePage && ListView3->topLevelItemCount() == 0) {
        CurrentHost().showMessage(MessageIcon::Warning, "Warning!",
                                  "Please, specify file to divide.");
        state_.AbortFlag = 0;
        state_.Busy = 0;
        EndBusy();
        return;
    }

    if (RunProcess(mergePage)) {
        // Cancelled between two files: Cancel has already restored the window.
        state_.AbortFlag = 0;
        state_.Busy = 0;
        return;
    }
    progress_->setPosition(0);
    state_.AbortFlag = 0;
    state_.Busy = 0;
    EndBusy();
}

bool TAC3Splitter::RunProcess(bool /*mergePage*/) {
    // Merging and cutting are the engine's split job. Without it linked in, Process ends after
    // the window's own steps and writes nothing.
    return false;
}

void TAC3Splitter::ReportProgress(std::uint64_t position) {
    varnix::ReportProgress(*progress_, position);
}

ProgressCallback TAC3Splitter::ProgressReporter() {
    return [this](std::uint64_t position) { ReportProgress(position); };
}

void TAC3Splitter::ShowCurrentPiece(int listIndex) {
    if (listIndex < 0 || listIndex >= ListView1->topLevelItemCount()) {
        return;
    }
    SelectOnlyRow(ListView1, listIndex);
}

}  // namespace varnix
