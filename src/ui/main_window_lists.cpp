// What the three lists share: their commands wired to buttons, menu entries, keys, double-clicks
// and drops; moving rows; the open dialog; the information report.

#include <QDir>
#include <QFileDialog>
#include <QLocale>

#include "core/errors.h"
#include "core/host.h"
#include "probe/report.h"
#include "ui/icons.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"

namespace varnix {

namespace {

QStringList PickFiles(QWidget* parent, const QString& startFolder, const QStringList& filters) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDirectory(startFolder);
    dialog.setNameFilters(filters);
    // The dialog shows the names of the filters as they are, without their patterns.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.front());
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

}  // namespace

void TAC3Splitter::ConnectListCommands() {
    filesPicker_ = PickFiles;
    auto onClick = [this](QPushButton* button, void (TAC3Splitter::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    auto onEntry = [this](QAction* entry, void (TAC3Splitter::*handler)()) {
        connect(entry, &QAction::triggered, this, handler);
    };

    const ListMenuEntries& durations = PopupMenu1Items;
    onClick(BitBtn1, &TAC3Splitter::BitBtn1Click);
    onEntry(durations.Add, &TAC3Splitter::BitBtn1Click);
    onClick(BitBtn12, &TAC3Splitter::BitBtn12Click);
    onEntry(durations.AddFromTime, &TAC3Splitter::BitBtn12Click);
    onClick(BitBtn3, &TAC3Splitter::BitBtn3Click);
    onEntry(durations.Delete, &TAC3Splitter::BitBtn3Click);
    onClick(SpeedButton4, &TAC3Splitter::SpeedButton4Click);
    onEntry(durations.ClearAll, &TAC3Splitter::SpeedButton4Click);
    onEntry(durations.SelectAll, &TAC3Splitter::SelectAllDurations);
    onClick(BitBtn6, &TAC3Splitter::BitBtn6Click);
    onEntry(durations.MoveUp, &TAC3Splitter::BitBtn6Click);
    onClick(BitBtn7, &TAC3Splitter::BitBtn7Click);
    onEntry(durations.MoveDown, &TAC3Splitter::BitBtn7Click);
    onEntry(durations.Information, &TAC3Splitter::ListView1DblClick);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &TAC3Splitter::ListView1DblClick);
    connect(ListView1, &TDropList::enterPressed, this, &TAC3Splitter::ListView1DblClick);
    connect(ListView1, &TDropList::filesDropped, this, &TAC3Splitter::AddDurationsFromFiles);

    const ListMenuEntries& audio = PopupMenu2Items;
    onClick(BitBtn2, &TAC3Splitter::BitBtn2Click);
    onEntry(audio.Add, &TAC3Splitter::BitBtn2Click);
    onClick(BitBtn4, &TAC3Splitter::BitBtn4Click);
    onEntry(audio.Delete, &TAC3Splitter::BitBtn4Click);
    onClick(SpeedButton3, &TAC3Splitter::SpeedButton3Click);
    onEntry(audio.ClearAll, &TAC3Splitter::SpeedButton3Click);
    onEntry(audio.SelectAll, &TAC3Splitter::SelectAllAudio);
    onClick(BitBtn8, &TAC3Splitter::BitBtn8Click);
    onEntry(audio.MoveUp, &TAC3Splitter::BitBtn8Click);
    onClick(BitBtn9, &TAC3Splitter::BitBtn9Click);
    onEntry(audio.MoveDown, &TAC3Splitter::BitBtn9Click);
    onEntry(audio.Information, &TAC3Splitter::AudioListDblClick);
    for (TDropList2* list : {ListView2, ListView3}) {
        connect(list, &QTreeWidget::itemDoubleClicked, this, &TAC3Splitter::AudioListDblClick);
        connect(list, &TDropList::enterPressed, this, &TAC3Splitter::AudioListDblClick);
        connect(list, &TDropList::filesDropped, this, &TAC3Splitter::AddAudioFiles);
    }
}

QStringList TAC3Splitter::ChooseFiles(const QString& startFolder, std::string_view filter) {
#ifdef _WIN32
    constexpr bool kPosix = false;
#else
    constexpr bool kPosix = true;
#endif
    QStringList filters;
    for (const std::string& entry : ToolkitNameFilters(filter, kPosix)) {
        filters << QString::fromStdString(entry);
    }
    QStringList chosen = filesPicker_(this, startFolder, filters);
    for (QString& name : chosen) {
        name = QDir::toNativeSeparators(name);
    }
    return chosen;
}

void TAC3Splitter::TakeOutRow(QTreeWidget* list, int row) {
    SetSingleSelection(list);
    list->setFocus();
    QTreeWidgetItem* item = list->topLevelItem(row);
    MovedItem& moved = state_.MovedItem;
    moved.texts.clear();
    for (int column = 0; column < item->columnCount(); ++column) {
        moved.texts.push_back(item->text(column).toStdString());
    }
    moved.stateIndex = StateIndexOf(item);
    moved.imageIndex = ImageIndexOf(item);
    moved.itemData = ItemDataOf(item);
    delete list->takeTopLevelItem(row);
}

void TAC3Splitter::InsertMovedRow(QTreeWidget* list, int index) {
    MovedItem& moved = state_.MovedItem;
    auto* item = new QTreeWidgetItem;
    for (std::size_t column = 0; column < moved.texts.size(); ++column) {
        item->setText(static_cast<int>(column), QString::fromStdString(moved.texts[column]));
    }
    SetStateIndex(item, moved.stateIndex);
    SetImageIndex(item, moved.imageIndex);
    SetItemData(item, moved.itemData);
    // The pointer over a row's file name shows the full name.
    const QString path = PathOfRow(item);
    if (list != ListView1) {
        item->setIcon(0, FileKindIcon(moved.imageIndex));
        item->setToolTip(0, path);
    } else {
        item->setToolTip(1, path);
    }
    moved.Clear();
    list->insertTopLevelItem(index, item);
    SelectOnlyRow(list, index);
}

void TAC3Splitter::MoveSelectedRow(QTreeWidget* list, MoveDirection direction) {
    const int row = FirstSelectedRow(list);
    const int target = MoveTarget(direction, row, list->topLevelItemCount());
    if (target < 0) {
        return;
    }
    TakeOutRow(list, row);
    InsertMovedRow(list, target);
}

void TAC3Splitter::MoveRowUp(QTreeWidget* list) {
    MoveSelectedRow(list, MoveDirection::Up);
}

void TAC3Splitter::MoveRowDown(QTreeWidget* list) {
    MoveSelectedRow(list, MoveDirection::Down);
}

void TAC3Splitter::ScrollSelectedIntoView(QTreeWidget* list) {
    const int row = FirstSelectedRow(list);
    if (row >= 0) {
        list->scrollToItem(list->topLevelItem(row), QAbstractItemView::EnsureVisible);
    }
}

int TAC3Splitter::DeleteSelectedRows(QTreeWidget* list) {
    const int first = FirstSelectedRow(list);
    if (first < 0) {
        return -1;
    }
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    qDeleteAll(selected);
    return first;
}

char TAC3Splitter::DecimalSeparator() const {
    const QString separator = locale().decimalPoint();
    if (separator.size() == 1 && separator.at(0).unicode() < 0x80) {
        return static_cast<char>(separator.at(0).unicode());
    }
    return '.';
}

void TAC3Splitter::ShowInformation(const QString& fileName) {
    try {
        ShowMediaInformation(fileName.toStdString(), true, progress_.get(), DecimalSeparator(),
                             Formats(), [this] { PumpEvents(); });
    } catch (const VarnixError& error) {
        CurrentHost().showMessage(MessageIcon::Error, kErrorTitle,
                                  fileName.toStdString() + ": " + error.what());
    }
    progress_->setPosition(progress_->minimum());
}

}  // namespace varnix
