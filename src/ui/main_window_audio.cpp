// The audio files lists of both pages: adding files (open dialog, drops) with their checks and
// column texts, the header check of the merge list, and the lists' commands.

#include "core/errors.h"
#include "core/file_helpers.h"
#include "core/host.h"
#include "cut/audio_check.h"
#include "formats/detect.h"
#include "probe/duration_pair.h"
#include "probe/media_duration.h"
#include "probe/media_info.h"
#include "ui/audio_list_rules.h"
#include "ui/durations_list_rules.h"
#include "ui/icons.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/window_rules.h"

namespace varnix {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr int kTimeColumn = 1;
constexpr int kChannelsColumn = 2;
constexpr int kFrequencyColumn = 3;
constexpr int kBitRateColumn = 4;
constexpr int kSystemColumn = 5;

AudioColumns ColumnsOfRow(const QTreeWidgetItem* item) {
    return AudioColumns{item->text(kChannelsColumn).toStdString(),
                        item->text(kFrequencyColumn).toStdString(),
                        item->text(kBitRateColumn).toStdString(),
                        item->text(kSystemColumn).toStdString(), ImageIndexOf(item)};
}

}  // namespace

void TAC3Splitter::BitBtn2Click() {
    const QStringList files = ChooseFiles(settings_.openPath2, kAudioOpenFilter);
    AddAudioFiles(files);
    if (!files.isEmpty()) {
        settings_.openPath2 = Q(FolderOf(files.front().toStdString()));
    }
}

void TAC3Splitter::AddAudioFiles(const QStringList& fileNames) {
    for (const QString& fileName : fileNames) {
        // Files of no known kind are passed over; the status bar says why when that is known.
        if (ConsideredForAdding(DetectFormat(fileName.toStdString(), Formats()), MergePageShown(),
                                CheckBox1->isChecked(), ListView3->topLevelItemCount())) {
            AddAudioFile(ShownAudioList(), fileName);
        } else {
            ShowRefusal(fileName.toStdString());
        }
    }
    ShowAudioTotal(-1);
}

bool TAC3Splitter::AddAudioFile(TDropList2* list, const QString& fileName) {
    const std::string file = fileName.toStdString();
    SetSingleSelection(list);
    const bool checks =
        AudioChecksApply(MergePageShown(), CheckBox1->isChecked(), list->topLevelItemCount());
    const ListRefusal refusal = AudioListRefusal(file, checks, Formats());
    if (refusal == ListRefusal::Missing) {
        CurrentHost().showMessage(MessageIcon::None, kErrorTitle, FileNotExistText(file));
        return false;
    }
    if (refusal != ListRefusal::None) {
        return false;
    }
    MediaKind kind = DetectFormat(file, Formats());

    auto* item = new QTreeWidgetItem(list);
    SetImageIndex(item, kImageNone);
    SetStateIndex(item, state_.Tables.AddFilePath(file));
    item->setText(0, Q(FileNameOf(file)));
    item->setToolTip(0, fileName);
    SetItemData(item, -1);

    // Without the checks (the merge list's later files) anything goes on the list; a file of
    // no known kind, or that gives no duration, shows "???" and counts in no total.
    const bool known =
        checks || !(kind == MediaKind::Unknown || (kind == MediaKind::WAV && !IsPCMWave(file)));
    DurationPair pair = DurationPair::None();
    if (known) {
        try {
            pair = FileDurationPair(file, kind);
        } catch (const VarnixError&) {
        }
        progress_->setPosition(progress_->minimum());
    }
    if (pair.pal.IsNone() && pair.ntsc.IsNone()) {
        for (int column = kTimeColumn; column <= kSystemColumn; ++column) {
            item->setText(column, QString::fromLatin1(kNoDurationText));
        }
        UpdateProcessEnabled();
        return true;
    }
    SetItemData(item, state_.Tables.AddDuration(pair));
    item->setText(kTimeColumn, Q(DurationText(pair.ForSystem(state_.SystemRate))));

    kind = DetectFormat(file, Formats());
    AudioListEnter(list);
    UpdateProcessEnabled();
    const int rows = list->topLevelItemCount();
    SetStatusText(1, fileName);
    SetStatusText(0, Q(PositionText(rows, rows)));
    FillAudioColumns(item, file, kind);
    return CheckMergeFormat(list, item, kind);
}

void TAC3Splitter::FillAudioColumns(QTreeWidgetItem* item, const std::string& fileName,
                                    MediaKind kind) {
    const std::optional<AudioColumns> columns =
        AudioColumnsOfFile(fileName, kind, DecimalSeparator());
    if (!columns) {
        return;  // a video on the merge list shows its name and time only
    }
    item->setText(kChannelsColumn, Q(columns->channels));
    item->setText(kFrequencyColumn, Q(columns->frequency));
    item->setText(kBitRateColumn, Q(columns->bitRate));
    item->setText(kSystemColumn, Q(columns->system));
    SetImageIndex(item, columns->image);
    item->setIcon(0, FileKindIcon(columns->image));
}

bool TAC3Splitter::CheckMergeFormat(TDropList2* list, QTreeWidgetItem* added, MediaKind kind) {
    if (list != ListView3 || !MergeFormatChecked(kind, MergePageShown(), list->topLevelItemCount(),
                                                 CheckBox1->isChecked())) {
        return true;
    }
    if (SameMergeFormat(ColumnsOfRow(list->topLevelItem(0)), ColumnsOfRow(added))) {
        return true;
    }
    // Its entries in the tables stay, as every deleted row's do.
    SetStatusText(1, {});
    SetStatusText(0, {});
    delete added;
    return false;
}

void TAC3Splitter::BitBtn4Click() {
    TDropList2* list = ShownAudioList();
    const int first = FirstSelectedRow(list);
    if (AudioDeleteRefused(MergePageShown(), CheckBox1->isChecked(), first,
                           list->topLevelItemCount())) {
        return;
    }
    DeleteSelectedRows(list);
    const int rows = list->topLevelItemCount();
    const int next = RowAfterDelete(first, rows);
    if (next >= 0) {
        SelectOnlyRow(list, next);
    }
    list->setFocus();
    list->setToolTip({});
    if (rows == 0) {
        SetStatusText(1, {});
        SetStatusText(0, {});
    }
    ShowAudioTotal(-1);
}

void TAC3Splitter::SpeedButton3Click() {
    TDropList2* list = ShownAudioList();
    list->clear();
    list->setToolTip({});
    SetStatusText(1, {});
    SetStatusText(0, {});
    ShowAudioTotal(-1);
    UpdateProcessEnabled();
}

void TAC3Splitter::SelectAllAudio() {
    TDropList2* list = ShownAudioList();
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->selectAll();
}

void TAC3Splitter::BitBtn8Click() {
    TDropList2* list = ShownAudioList();
    if (AudioMoveRefused(MoveDirection::Up, MergePageShown(), CheckBox1->isChecked(),
                         FirstSelectedRow(list), list->topLevelItemCount())) {
        return;
    }
    MoveRowUp(list);
    ScrollSelectedIntoView(list);
}

void TAC3Splitter::BitBtn9Click() {
    TDropList2* list = ShownAudioList();
    if (AudioMoveRefused(MoveDirection::Down, MergePageShown(), CheckBox1->isChecked(),
                         FirstSelectedRow(list), list->topLevelItemCount())) {
        return;
    }
    MoveRowDown(list);
    ScrollSelectedIntoView(list);
}

void TAC3Splitter::AudioListDblClick() {
    TDropList2* list = ShownAudioList();
    const int row = FirstSelectedRow(list);
    if (row < 0) {
        return;
    }
    const QString path = PathOfRow(list->topLevelItem(row));
    if (!path.isEmpty() && FileExists(path.toStdString())) {
        ShowInformation(path);
    }
}

void TAC3Splitter::RecomputeAudioTimes() {
    for (TDropList2* list : {ListView2, ListView3}) {
        const int rows = list->topLevelItemCount();
        for (int row = 0; row < rows; ++row) {
            QTreeWidgetItem* item = list->topLevelItem(row);
            const std::string path = PathOfRow(item).toStdString();
            TimeCode duration = TimeCode::None();
            auto probe = [&] {
                duration =
                    MediaDurationForSystem(path, state_.SystemRate, &state_.AbortFlag,
                                           progress_.get(), Formats(), [this] { PumpEvents(); });
            };
            try {
                if (IsVideoKind(DetectFormat(path, Formats()))) {
                    RunScan(probe);  // a video on the merge list; its cache answers at once
                } else {
                    state_.AbortFlag = 0;
                    probe();
                }
            } catch (const VarnixError&) {
            }
            item->setText(kTimeColumn, Q(DurationText(duration)));
        }
    }
}

}  // namespace varnix
