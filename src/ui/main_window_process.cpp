// The Process command: the engine's split job run over the window's lists, with the window's
// side of it (busy state, selection of the rows worked on, total, progress on ProgressBar1).

#include "core/host.h"
#include "cut/split_job.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/merger_form.h"

namespace varnix {

namespace {

// What a running job shows in the window.
class WindowJobListener : public SplitJobListener {
  public:
    explicit WindowJobListener(TAC3Splitter& window) : w_(window) {}

    void OutputFolderChanged(const std::string& folder) override {
        w_.Edit1->setText(QString::fromStdString(folder));
    }
    void ShowTotalTime(const std::string& text) override {
        w_.SetStatusText(2, QString::fromStdString(text));
    }
    void EnterBusyState() override {
        for (QTreeWidget* list :
             {static_cast<QTreeWidget*>(w_.ListView1), static_cast<QTreeWidget*>(w_.ListView2),
              static_cast<QTreeWidget*>(w_.ListView3)}) {
            SetSingleSelection(list);
        }
        w_.BeginBusy();
    }
    void LeaveBusyState(bool restoreControls) override {
        if (restoreControls) {
            w_.EndBusy();
        }
    }
    void ShowCurrentInput(int index) override {
        SelectOnlyRow(w_.ListView2, index);
        w_.ScrollSelectedIntoView(w_.ListView2);
    }
    void ShowCurrentPiece(int listIndex) override { w_.ShowCurrentPiece(listIndex); }
    void ShowCurrentMergeFile(int index) override {
        SelectOnlyRow(w_.ListView3, index);
        w_.ScrollSelectedIntoView(w_.ListView3);
    }

  private:
    TAC3Splitter& w_;
};

}  // namespace

void TAC3Splitter::BitBtn10Click() {
    SplitJobRequest request;
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row) {
        const DurationPair* pair =
            state_.Tables.DurationAt(ItemDataOf(ListView1->topLevelItem(row)));
        request.durations.push_back(pair != nullptr ? DurationRow(*pair) : std::nullopt);
    }
    request.system = state_.SystemRate;
    request.outputFolder = Edit1->text().toStdString();
    request.mergeFirst = MergePageShown();
    request.formats = Formats();
    TDropList2* inputs = ShownAudioList();
    for (int row = 0; row < inputs->topLevelItemCount(); ++row) {
        request.inputs.push_back(PathOfRow(inputs->topLevelItem(row)).toStdString());
    }
    request.abort = &state_.AbortFlag;
    request.busy = &state_.Busy;
    request.progress = progress_.get();
    request.merger = mergerForm_ != nullptr ? &mergerForm_->Engine() : nullptr;
    WindowJobListener listener(*this);
    request.listener = &listener;

    SplitJob job(std::move(request));
    lastJob_ = job.Process();
    if (mergerForm_ != nullptr) {
        mergerForm_->ShowMergerState();
    }
}

void TAC3Splitter::ShowCurrentPiece(int listIndex) {
    if (listIndex < 0) {
        // The tail piece has no row.
        ListView1->clearSelection();
        ListView1->setCurrentItem(nullptr);
        return;
    }
    if (listIndex >= ListView1->topLevelItemCount()) {
        return;
    }
    SelectOnlyRow(ListView1, listIndex);
    ScrollSelectedIntoView(ListView1);
}

}  // namespace varnix
