#pragma once
// The merger object: a window that is created once at start-up and never shown. It holds the
// merger's state, which the Process command fills before the engine merges the merge list, and
// its controls show it: the file list, the result name, the progress, the Process button's
// readiness, and the working and idle states that a running merge switches.

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <memory>
#include <string>

#include "core/host.h"
#include "core/progress.h"
#include "merge/merge_engine.h"
#include "ui/drop_list.h"
#include "ui/merger_state.h"
#include "ui/progress_bar_adapter.h"

namespace varnix {

class TAddToOneForm : public QWidget {
    Q_OBJECT
  public:
    explicit TAddToOneForm(QWidget* parent = nullptr);

    // The merger's operations, in the order the Process command calls them; the controls follow.
    void ResetMerger();
    void LendProgressBar(ProgressIndicator* bar);
    void ReturnProgressBar();
    void AddMergeFile(const std::string& fileName);
    void SetResultName(const std::string& name);
    // What the running merge reports: its steps on the progress bar in use, the controls working
    // from its start and idle again at its end.
    void ShowMergeProgress(const MergeProgress& progress);

    // Shows the merger's file list, result name, readiness and progress in the controls.
    void ShowMergerState();
    // Everything disabled, the Close button reads "Cancel".
    void SetWorkingState();
    // Everything enabled, the progress bar at its minimum, the Close button reads "Close".
    void SetIdleState();

    // The progress display in use: the lent one or the merger's own.
    ProgressIndicator& Progress() { return *progress_; }
    varnix::AbortFlag& Abort() { return state_.abortFlag(); }
    bool Busy() const { return state_.busy(); }
    // 0 nothing yet, 1 a file was added, 2 a result name was set.
    int Readiness() const { return state_.readiness(); }

    TDropList* ListView1() const { return list_; }
    QLineEdit* Edit10() const { return resultName_; }
    QProgressBar* ProgressBar1() const { return progressBar_; }
    QPushButton* ProcessButton() const { return process_; }
    QPushButton* CloseButton() const { return close_; }

  private:
    void SetControlsEnabled(bool enabled);

    MergerState state_;
    TDropList* list_ = nullptr;
    QLineEdit* resultName_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* process_ = nullptr;
    QPushButton* close_ = nullptr;
    QList<QWidget*> stateControls_;  // switched off while a merge runs
    std::unique_ptr<ProgressBarAdapter> ownProgress_;
    ProgressIndicator* progress_ = nullptr;  // the own bar, or one lent by the main window
};

// Shows a merge's steps on a progress display: its maximum and minimum 0 when the merge starts,
// the position as it goes, and maximum 0 with the position at the minimum when it ends.
void ShowMergeSteps(ProgressIndicator& bar, const MergeProgress& progress, bool starting);

}  // namespace varnix
