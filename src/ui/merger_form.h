#pragma once
// The merger object: a window that is created once at start-up and never shown. It holds the
// engine's merger, which the split job drives before cutting a merged file, and its controls
// show the merger's state: the file list, the result name, the progress, the Process button's
// readiness, and the working and idle states that a merge switches.

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <memory>
#include <string>

#include "core/host.h"
#include "core/progress.h"
#include "merge/merger.h"
#include "ui/drop_list.h"
#include "ui/progress_bar_adapter.h"

namespace varnix {

class TAddToOneForm : public QWidget {
    Q_OBJECT
  public:
    explicit TAddToOneForm(QWidget* parent = nullptr);

    // The merger that the merge engine works on.
    Merger& Engine() { return merger_; }

    // The merger's operations, in the order the split job calls them; the controls follow.
    void ResetMerger();
    void LendProgressBar(ProgressIndicator* bar);
    void ReturnProgressBar();
    void AddMergeFile(const std::string& fileName);
    void SetResultName(const std::string& name);

    // Shows the merger's file list, result name, readiness and progress in the controls.
    void ShowMergerState();
    // Everything disabled, the Close button reads "Cancel".
    void SetWorkingState();
    // Everything enabled, the progress bar at its minimum, the Close button reads "Close".
    void SetIdleState();

    // The progress display in use: the lent one or the merger's own.
    ProgressIndicator& Progress() { return merger_.progress(); }
    varnix::AbortFlag& Abort() { return merger_.abortFlag(); }
    bool Busy() const { return merger_.busy(); }
    // 0 nothing yet, 1 a file was added, 2 a result name was set.
    int Readiness() const { return merger_.readiness(); }

    TDropList* ListView1() const { return list_; }
    QLineEdit* Edit10() const { return resultName_; }
    QProgressBar* ProgressBar1() const { return progressBar_; }
    QPushButton* ProcessButton() const { return process_; }
    QPushButton* CloseButton() const { return close_; }

  private:
    void SetControlsEnabled(bool enabled);

    Merger merger_;
    TDropList* list_ = nullptr;
    QLineEdit* resultName_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* process_ = nullptr;
    QPushButton* close_ = nullptr;
    QList<QWidget*> stateControls_;  // switched off while a merge runs
    std::unique_ptr<ProgressBarAdapter> ownProgress_;
};

}  // namespace varnix
