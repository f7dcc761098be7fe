// The status bar and the totals it shows, the focus and selection of the lists, the pages and
// the TV system.

#include "core/file_helpers.h"
#include "formats/format_refusal.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/window_rules.h"

namespace varnix {

namespace {

// The entries of the rows' duration pairs for the system in use; rows without a pair are left
// out.
std::vector<TimeCode> RowEntries(const QTreeWidget* list, const WindowTables& tables,
                                 TvSystem system) {
    std::vector<TimeCode> entries;
    const int count = list->topLevelItemCount();
    entries.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        if (const DurationPair* pair = tables.DurationAt(ItemDataOf(list->topLevelItem(row)))) {
            entries.push_back(pair->ForSystem(system));
        }
    }
    return entries;
}

}  // namespace

QString TAC3Splitter::StatusText(int panel) const {
    return statusPanels_.at(static_cast<std::size_t>(panel))->text();
}

void TAC3Splitter::SetStatusText(int panel, const QString& text) {
    statusPanels_.at(static_cast<std::size_t>(panel))->setText(text);
}

QString TAC3Splitter::PathOfRow(const QTreeWidgetItem* item) const {
    return QString::fromStdString(state_.tables.PathAt(StateIndexOf(item)));
}

bool TAC3Splitter::MergePageShown() const {
    return pages_->currentIndex() == kMergePage;
}

TDropList2* TAC3Splitter::ShownAudioList() const {
    return MergePageShown() ? mergeList_ : cutList_;
}

TimeCode TAC3Splitter::DurationsTotal() const {
    return varnix::DurationsTotal(RowEntries(durationsList_, state_.tables, state_.system),
                                  state_.system);
}

void TAC3Splitter::ShowDurationsTotal() {
    SetStatusText(2, QString::fromStdString(TotalTimeText(DurationsTotal(), state_.system)));
}

void TAC3Splitter::ShowAudioTotal(int which) {
    TDropList2* list = which == 0 ? cutList_ : which == 1 ? mergeList_ : ShownAudioList();
    const TimeCode total =
        AudioTotal(RowEntries(list, state_.tables, state_.system), state_.system);
    SetStatusText(2, QString::fromStdString(TotalTimeText(total, state_.system)));
    if (FirstSelectedRow(list) < 0) {
        SetStatusText(0, {});
        SetStatusText(1, {});
    }
}

void TAC3Splitter::ListView1Enter() {
    activeList_ = durationsList_;
    ShowDurationsTotal();
    if (FirstSelectedRow(durationsList_) >= 0) {
        ListView1SelectItem();
    }
}

void TAC3Splitter::ListView1SelectItem() {
    const int row = FirstSelectedRow(durationsList_);
    if (state_.busy != 0 || row < 0) {
        return;
    }
    const QString path = PathOfRow(durationsList_->topLevelItem(row));
    SetStatusText(1, path.isEmpty() ? QStringLiteral("Virtual duration") : path);
    SetStatusText(
        0, QString::fromStdString(PositionText(row + 1, durationsList_->topLevelItemCount())));
}

void TAC3Splitter::AudioListEnter(TDropList2* list) {
    ShowAudioTotal(-1);
    activeList_ = list;
    if (FirstSelectedRow(list) >= 0) {
        AudioListSelectItem(list);
    }
}

void TAC3Splitter::AudioListSelectItem(TDropList2* list) {
    const int row = FirstSelectedRow(list);
    if (row < 0) {
        return;
    }
    const QString path = PathOfRow(list->topLevelItem(row));
    if (path.isEmpty()) {
        return;
    }
    SetStatusText(1, path);
    SetStatusText(0, QString::fromStdString(PositionText(row + 1, list->topLevelItemCount())));
}

void TAC3Splitter::PageControl1Change() {
    const bool merge = MergePageShown();
    checkHeaderBox_->setVisible(merge);
    settings_.activePage = merge ? kMergePage : kCutPage;
    TDropList2* list = ShownAudioList();
    const int row = FirstSelectedRow(list);
    if (row >= 0) {
        SetStatusText(1, PathOfRow(list->topLevelItem(row)));
        SetStatusText(0, QString::fromStdString(PositionText(row + 1, list->topLevelItemCount())));
    } else {
        SetStatusText(0, {});
        SetStatusText(1, {});
    }
    ShowAudioTotal(merge ? 1 : 0);
    UpdateProcessEnabled();
}

void TAC3Splitter::RadioButton1Click() {
    if (ntscButton_->isChecked()) {
        SystemChanged(TvSystem::Ntsc);
    }
}

void TAC3Splitter::RadioButton2Click() {
    SystemChanged(TvSystem::Pal);
}

void TAC3Splitter::SystemChanged(TvSystem system) {
    state_.system = system;
    RecomputeAllTimes();
    if (activeList_ == durationsList_) {
        ShowDurationsTotal();
    } else {
        ShowAudioTotal(-1);
    }
}

void TAC3Splitter::CheckBox1Click() {
    settings_.checkHeader = checkHeaderBox_->isChecked();
}

void TAC3Splitter::ExtendedFormatsClick() {
    settings_.extendedFormats = extendedFormatsBox_->isChecked();
}

FormatOptions TAC3Splitter::Formats() const {
    return FormatOptions{settings_.extendedFormats};
}

void TAC3Splitter::ShowRefusal(const std::string& fileName) {
    const FormatRefusal refusal = WhyRefused(fileName, Formats());
    if (refusal.refused()) {
        SetStatusText(1, QString::fromStdString(FileNameOf(fileName) + ": " +
                                                RefusalText(refusal, "Extended formats")));
    }
}

}  // namespace varnix
