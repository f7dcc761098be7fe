// The durations list: durations taken from files (a video scan in the busy state) or typed in
// the duration dialog, their numbers, times and total, and the list's commands.

#include <optional>

#include "core/errors.h"
#include "core/file_helpers.h"
#include "core/host.h"
#include "cut/audio_check.h"
#include "cut/durations.h"
#include "formats/detect.h"
#include "probe/duration_pair.h"
#include "probe/media_check.h"
#include "probe/media_duration.h"
#include "ui/duration_form.h"
#include "ui/durations_list_rules.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/window_rules.h"

namespace varnix {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr int kNumberColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kTimeColumn = 2;
// The system a row was filled under; no column shows it.
constexpr int kSystemColumn = 3;

}  // namespace

void TAC3Splitter::BitBtn1Click() {
    const QStringList files = ChooseFiles(settings_.openPath1, kDurationsOpenFilter);
    AddDurationsFromFiles(files);
    if (!files.isEmpty()) {
        settings_.openPath1 = Q(FolderOf(files.front().toStdString()));
    }
}

void TAC3Splitter::AddDurationsFromFiles(const QStringList& fileNames) {
    for (const QString& fileName : fileNames) {
        // Files of no known kind are passed over; the status bar says why when that is known.
        if (DetectFormat(fileName.toStdString(), Formats()) == MediaKind::Unknown) {
            ShowRefusal(fileName.toStdString());
            continue;
        }
        AddDurationFromFile(fileName);
        ShowDurationsTotal();
    }
}

void TAC3Splitter::RunScan(const std::function<void()>& scan) {
    state_.AbortFlag = 0;
    if (state_.Busy != 0) {
        scan();
        return;
    }
    // The window is busy while a video is scanned: Cancel stops the scan, and no list changes
    // under it while it lets the window handle its events. A cancelled scan leaves no abort
    // behind for the next probe.
    BusyScope busy(*this);
    busy.Begin();
    scan();
}

DurationPair TAC3Splitter::FileDurationPair(const std::string& fileName, MediaKind kind) {
    DurationPair pair = DurationPair::None();
    auto probe = [&] {
        pair = GetDurationPair(fileName, &state_.AbortFlag, progress_.get(), Formats(),
                               [this] { PumpEvents(); });
    };
    if (IsVideoKind(kind)) {
        RunScan(probe);
    } else {
        state_.AbortFlag = 0;
        probe();
    }
    return pair;
}

bool TAC3Splitter::AddDurationFromFile(const QString& fileName) {
    const std::string file = fileName.toStdString();
    SetSingleSelection(ListView1);
    const ListRefusal refusal = DurationListRefusal(file, Formats());
    if (refusal == ListRefusal::Missing) {
        CurrentHost().showMessage(MessageIcon::Error, kErrorTitle, FileNotExistText(file));
        return false;
    }
    if (refusal != ListRefusal::None) {
        return false;
    }
    const MediaKind kind = DetectFormat(file, Formats());
    const int rows = ListView1->topLevelItemCount();
    SetStatusText(1, fileName);
    SetStatusText(0, Q(PositionText(rows + 1, rows + 1)));

    auto* item = new QTreeWidgetItem(ListView1);
    SetImageIndex(item, 0);
    item->setText(kNameColumn, Q(FileNameOf(file)));
    item->setToolTip(kNameColumn, fileName);
    SetStateIndex(item, state_.Tables.AddFilePath(file));
    SetItemData(item, -1);

    DurationPair pair = DurationPair::None();
    std::optional<std::string> readError;
    try {
        pair = FileDurationPair(file, kind);
    } catch (const VarnixError& error) {
        readError = error.what();
    }
    progress_->setPosition(0);
    if (readError || !FileExists(file) || (pair.pal.IsNone() && pair.ntsc.IsNone())) {
        // The file went away, cannot be read or gives no duration: no row for it.
        delete item;
        std::string text = "Error in file " + file;
        if (readError) {
            text += ": " + *readError;
        } else if (FileExists(file)) {
            text += ": " + MediaFileProblem(file, Formats());
        }
        CurrentHost().showMessage(MessageIcon::Warning, kErrorTitle, text);
        SetStatusText(0, {});
        SetStatusText(1, {});
        return false;
    }
    SetItemData(item, state_.Tables.AddDuration(pair));
    item->setText(kTimeColumn, Q(DurationText(pair.ForSystem(state_.SystemRate))));
    item->setText(kSystemColumn, Q(SystemName(state_.SystemRate)));
    PumpEvents();

    ListView1Enter();
    RenumberDurations();
    UpdateProcessEnabled();
    return true;
}

void TAC3Splitter::BitBtn12Click() {
    if (durationForm_ == nullptr || durationForm_->exec() != QDialog::Accepted) {
        return;
    }
    const DurationPair pair =
        TypedDurationPair(durationForm_->GetDialogDuration(), state_.SystemRate);
    auto* item = new QTreeWidgetItem(ListView1);
    SetImageIndex(item, 0);
    item->setText(kNameColumn, QString::fromLatin1(kVirtualDuration));
    SetStateIndex(item, -1);
    SetItemData(item, state_.Tables.AddDuration(pair));
    item->setText(kTimeColumn, Q(DurationText(pair.ForSystem(state_.SystemRate))));
    item->setText(kSystemColumn, Q(SystemName(state_.SystemRate)));
    ListView1Enter();
    RenumberDurations();
    ShowDurationsTotal();
    UpdateProcessEnabled();
}

void TAC3Splitter::BitBtn3Click() {
    const int first = DeleteSelectedRows(ListView1);
    const int rows = ListView1->topLevelItemCount();
    if (rows > 0 && first >= 0) {
        ListView1->setFocus();
        SelectOnlyRow(ListView1, RowAfterDelete(first, rows));
        RenumberDurations();
        ShowDurationsTotal();
    } else if (rows == 0) {
        SetStatusText(0, {});
        SetStatusText(1, {});
        ShowDurationsTotal();
        BitBtn10->setEnabled(false);
    }
}

void TAC3Splitter::SpeedButton4Click() {
    ListView1->clear();
    SetStatusText(0, {});
    SetStatusText(1, {});
    ShowDurationsTotal();
    BitBtn10->setEnabled(false);
}

void TAC3Splitter::SelectAllDurations() {
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->selectAll();
}

void TAC3Splitter::BitBtn6Click() {
    MoveRowUp(ListView1);
    ScrollSelectedIntoView(ListView1);
    RenumberDurations();
}

void TAC3Splitter::BitBtn7Click() {
    MoveRowDown(ListView1);
    ScrollSelectedIntoView(ListView1);
    RenumberDurations();
}

void TAC3Splitter::ListView1DblClick() {
    const int row = FirstSelectedRow(ListView1);
    if (row < 0) {
        return;
    }
    QTreeWidgetItem* item = ListView1->topLevelItem(row);
    const QString path = PathOfRow(item);
    if (!path.isEmpty() && FileExists(path.toStdString())) {
        ShowInformation(path);
        return;
    }
    // A typed duration is edited in the dialog; a row whose file is gone keeps its duration.
    const int index = ItemDataOf(item);
    const DurationPair* pair = state_.Tables.DurationAt(index);
    if (StateIndexOf(item) >= 0 || item->text(kNameColumn) != QLatin1String(kVirtualDuration) ||
        pair == nullptr || durationForm_ == nullptr) {
        return;
    }
    durationForm_->SetDialogDuration(pair->ForSystem(state_.SystemRate));
    if (durationForm_->exec() != QDialog::Accepted) {
        return;
    }
    state_.Tables.SetDuration(
        index, TypedDurationPair(durationForm_->GetDialogDuration(), state_.SystemRate));
    RefreshDurationTimes();
    RecomputeAllTimes();
    ShowDurationsTotal();
}

void TAC3Splitter::RenumberDurations() {
    const int rows = ListView1->topLevelItemCount();
    for (int row = 0; row < rows; ++row) {
        ListView1->topLevelItem(row)->setText(kNumberColumn, Q(DurationNumberText(row + 1, rows)));
    }
}

void TAC3Splitter::RefreshDurationTimes() {
    const int rows = ListView1->topLevelItemCount();
    for (int row = 0; row < rows; ++row) {
        QTreeWidgetItem* item = ListView1->topLevelItem(row);
        if (const DurationPair* pair = state_.Tables.DurationAt(ItemDataOf(item))) {
            item->setText(kTimeColumn, Q(DurationText(pair->ForSystem(state_.SystemRate))));
        }
    }
}

void TAC3Splitter::RecomputeAllTimes() {
    const int rows = ListView1->topLevelItemCount();
    for (int row = 0; row < rows; ++row) {
        QTreeWidgetItem* item = ListView1->topLevelItem(row);
        const DurationPair* pair = state_.Tables.DurationAt(ItemDataOf(item));
        const QString pairText =
            pair != nullptr ? Q(DurationText(pair->ForSystem(state_.SystemRate))) : QString();
        const std::string path = PathOfRow(item).toStdString();
        if (path.empty() || !FileExists(path)) {
            item->setText(kTimeColumn, pairText);
            continue;
        }
        const MediaKind kind = DetectFormat(path, Formats());
        if (!IsVideoKind(kind)) {
            // An audio file is asked again for its duration in the system chosen now.
            state_.AbortFlag = 0;
            TimeCode duration = TimeCode::None();
            try {
                duration = GetMediaDuration(path, &state_.AbortFlag, progress_.get(),
                                            SystemFps(state_.SystemRate), Formats(),
                                            [this] { PumpEvents(); });
            } catch (const VarnixError&) {
            }
            item->setText(kTimeColumn, Q(DurationText(duration)));
        } else {
            item->setText(kTimeColumn, pairText);
        }
        item->setText(kSystemColumn, Q(SystemName(state_.SystemRate)));
    }
    RecomputeAudioTimes();
    progress_->setPosition(progress_->minimum());
}

}  // namespace varnix
