#pragma once
// The merger object: a window that is created once at start-up and never shown. Its controls
// hold the merge's state (the file list, the result name, the progress bar, the Process
// button's readiness), and the merge switches it between its working and idle states.

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <memory>

#include "core/host.h"
#include "core/progress.h"
#include "ui/drop_list.h"
#include "ui/progress_bar_adapter.h"

namespace varnix {

class TAddToOneForm : public QWidget {
    Q_OBJECT
  public:
    explicit TAddToOneForm(QWidget* parent = nullptr);

    // Everything disabled, the Close button reads "Cancel".
    void SetWorkingState();
    // Everything enabled, the progress bar at its minimum, the Close button reads "Close".
    void SetIdleState();

    // Uses another progress display (the main window's) until it is returned.
    void LendProgressBar(ProgressIndicator* bar);
    void ReturnProgressBar();
    // The progress display in use: the lent one or the own bar.
    ProgressIndicator& Progress() { return lent_ != nullptr ? *lent_ : *ownProgress_; }

    varnix::AbortFlag& Abort() { return abort_; }
    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }
    // 0 nothing yet, 1 a file was added, 2 a result name was set.
    int Readiness() const { return readiness_; }
    void SetReadiness(int readiness) { readiness_ = readiness; }

    TDropList* ListView1() const { return list_; }
    QLineEdit* Edit10() const { return resultName_; }
    QProgressBar* ProgressBar1() const { return progressBar_; }
    QPushButton* ProcessButton() const { return process_; }
    QPushButton* CloseButton() const { return close_; }

  private:
    void SetControlsEnabled(bool enabled);

    TDropList* list_ = nullptr;
    QLineEdit* resultName_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* process_ = nullptr;
    QPushButton* close_ = nullptr;
    QList<QWidget*> stateControls_;  // switched off while a merge runs
    std::unique_ptr<ProgressBarAdapter> ownProgress_;
    ProgressIndicator* lent_ = nullptr;
    varnix::AbortFlag abort_{0};
    bool busy_ = false;
    int readiness_ = 0;
};

}  // namespace varnix
