// The Process command: the engine's split job run over the window's lists, with the window's
// side of it (busy state, selection of the rows worked on, total, the merger object, progress on
// ProgressBar1 with the window handling its events meanwhile).

#include "core/file_helpers.h"
#include "core/host.h"
#include "cut/split_job.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/merger_form.h"
#include "ui/window_rules.h"

namespace varnix {

namespace {

// What a running job shows in the window. It holds the window's busy state from the job's start
// to its end, and gives it back when it goes, however the job ends.
class WindowJobObserver final : public SplitJobObserver {
  public:
    explicit WindowJobObserver(TAC3Splitter& window) : w_(window), busy_(window) {}
    ~WindowJobObserver() override {
        if (merging_) {
            MergeProgressed(MergeProgress{});  // a merge cut short by an exception
        }
        ReturnMergerBar();
    }
    WindowJobObserver(const WindowJobObserver&) = delete;
    WindowJobObserver& operator=(const WindowJobObserver&) = delete;

    void JobStarted() override {
        w_.ShowDurationsTotal();
        for (QTreeWidget* list :
             {static_cast<QTreeWidget*>(w_.ListView1), static_cast<QTreeWidget*>(w_.ListView2),
              static_cast<QTreeWidget*>(w_.ListView3)}) {
            SetSingleSelection(list);
        }
        busy_.Begin();
    }

    // The merger object holds what the merge uses and shows its progress on ProgressBar1.
    void MergeStarted(const std::vector<std::string>& files,
                      const std::string& mergedName) override {
        TAddToOneForm* merger = w_.MergerForm();
        if (merger == nullptr) {
            return;
        }
        merger->ResetMerger();
        merger->LendProgressBar(&w_.Progress());
        lent_ = true;
        for (const auto& file : files) {
            merger->AddMergeFile(file);
        }
        merger->SetResultName(mergedName);
    }
    void MergeFileStarted(std::size_t index) override {
        SelectOnlyRow(w_.ListView3, static_cast<int>(index));
        w_.ScrollSelectedIntoView(w_.ListView3);
    }
    void MergeProgressed(const MergeProgress& progress) override {
        if (TAddToOneForm* merger = w_.MergerForm()) {
            merger->ShowMergeProgress(progress);
        } else {
            ShowMergeSteps(w_.Progress(), progress, progress.running && !merging_);
        }
        merging_ = progress.running;
        if (progress.running) {
            w_.PumpEvents();
        }
    }

    void InputStarted(int index, const std::string&, std::uint64_t bytes) override {
        if (index >= 0) {
            SelectOnlyRow(w_.ListView2, index);
            w_.ScrollSelectedIntoView(w_.ListView2);
        }
        ProgressIndicator& bar = w_.Progress();
        bar.setMinimum(0);
        bar.setPosition(0);
        bar.setMaximum(static_cast<std::int64_t>(bytes));
    }
    void PieceStarted(int listIndex) override { w_.ShowCurrentPiece(listIndex); }
    // ReportProgress: the bar moves while the position is within it, and the window handles its
    // pending events every time.
    void Progress(std::uint64_t position) override {
        ProgressIndicator& bar = w_.Progress();
        if (bar.maximum() >= 0 && position <= static_cast<std::uint64_t>(bar.maximum())) {
            bar.setPosition(static_cast<std::int64_t>(position));
        }
        w_.PumpEvents();
    }

    void JobFinished(const std::vector<std::string>& inputsWithoutPieces) override {
        ReturnMergerBar();
        busy_.End();
        if (!inputsWithoutPieces.empty()) {
            CurrentHost().showMessage(MessageIcon::Warning, kWarningTitle,
                                      InputsWithoutPiecesText(inputsWithoutPieces));
        }
    }

  private:
    void ReturnMergerBar() {
        if (lent_ && w_.MergerForm() != nullptr) {
            w_.MergerForm()->ReturnProgressBar();
        }
        lent_ = false;
    }

    TAC3Splitter& w_;
    BusyScope busy_;
    bool lent_ = false;
    bool merging_ = false;
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
    // The folder as the job uses it, shown back with the separator it may have got.
    request.outputFolder = FolderWithSeparator(Edit1->text().toStdString());
    if (request.outputFolder != Edit1->text().toStdString()) {
        Edit1->setText(QString::fromStdString(request.outputFolder));
    }
    request.mergeFirst = MergePageShown();
    request.formats = Formats();
    TDropList2* inputs = ShownAudioList();
    for (int row = 0; row < inputs->topLevelItemCount(); ++row) {
        request.inputs.push_back(PathOfRow(inputs->topLevelItem(row)).toStdString());
    }
    request.abort = &state_.AbortFlag;
    WindowJobObserver observer(*this);
    request.observer = &observer;
    lastJob_ = SplitJob(std::move(request)).Process();
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
