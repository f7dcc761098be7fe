// The window's commands outside the lists: destination folder, the Process button's rule, the
// busy state, Close/Cancel, About, keys and the quarter-second timer.

#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>

#include "core/file_helpers.h"
#include "ui/about_form.h"
#include "ui/icons.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/merger_form.h"
#include "ui/window_rules.h"

namespace varnix {

namespace {

QList<QWidget*> ControlsNamed(const QWidget* window, const std::vector<std::string>& names) {
    QList<QWidget*> controls;
    for (const std::string& name : names) {
        if (auto* control = window->findChild<QWidget*>(QString::fromStdString(name))) {
            controls << control;
        }
    }
    return controls;
}

}  // namespace

void TAC3Splitter::BitBtn5Click() {
    const QString current = destinationEdit_->text();
    const QString start = FolderExists(current.toStdString()) ? current : QString();
    const QString chosen = folderPicker_(this, QStringLiteral("Select destination path:"), start);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path =
        QString::fromStdString(FolderWithSeparator(QDir::toNativeSeparators(chosen).toStdString()));
    destinationEdit_->setText(path);
    settings_.processPath = path;
    UpdateProcessEnabled();
}

void TAC3Splitter::Edit1KeyUp() {
    UpdateProcessEnabled();
}

void TAC3Splitter::Edit1Exit() {
    UpdateProcessEnabled();
    const QString text =
        QString::fromStdString(DestinationTextOnLeave(destinationEdit_->text().toStdString()));
    if (text != destinationEdit_->text()) {
        destinationEdit_->setText(text);
    }
}

bool TAC3Splitter::UpdateProcessEnabled() {
    ProcessInputs inputs;
    inputs.mergePageShown = MergePageShown();
    inputs.cutRows = cutList_->topLevelItemCount();
    inputs.mergeRows = mergeList_->topLevelItemCount();
    inputs.durationRows = durationsList_->topLevelItemCount();
    inputs.destination = destinationEdit_->text().toStdString();
    const bool enabled = ProcessEnabled(inputs);
    processButton_->setEnabled(enabled);
    return !enabled;
}

void TAC3Splitter::BeginBusy() {
    for (QWidget* control : ControlsNamed(this, BusyDisabledControls())) {
        control->setEnabled(false);
    }
    closeButton_->setText(QStringLiteral("Cancel"));
    closeButton_->setIcon(MakeButtonIcon(ButtonIcon::Cancel));
}

void TAC3Splitter::EndBusy() {
    for (QWidget* control : ControlsNamed(this, IdleEnabledControls())) {
        control->setEnabled(true);
    }
    closeButton_->setText(QStringLiteral("Close"));
    closeButton_->setIcon(MakeButtonIcon(ButtonIcon::Close));
    progress_->setPosition(progress_->minimum());
}

void BusyScope::Begin() {
    WindowState& state = window_.State();
    state.abort = 0;
    state.busy = 1;
    window_.BeginBusy();
    active_ = true;
}

void BusyScope::End() {
    if (!active_) {
        return;
    }
    active_ = false;
    WindowState& state = window_.State();
    state.abort = 0;
    state.busy = 0;
    window_.EndBusy();
}

void TAC3Splitter::PumpEvents() {
    if (eventPump_) {
        eventPump_();
    }
}

void TAC3Splitter::BitBtn11Click() {
    if (state_.busy == 0) {
        close();
        return;
    }
    if (!CurrentHost().confirm(MessageIcon::Information, kWarningTitle,
                               "Abort current operation ?")) {
        return;
    }
    state_.abort = 1;
    state_.busy = 0;
    if (mergerForm_ != nullptr) {
        mergerForm_->Abort() = 1;
    }
    EndBusy();
}

void TAC3Splitter::BitBtn14Click() {
    if (aboutForm_ != nullptr) {
        aboutForm_->exec();
    }
}

void TAC3Splitter::UpdateDurationCommands(bool enable, bool skipSelectionCommands) {
    auto& menu = durationsMenuEntries_;
    for (QWidget* control : {static_cast<QWidget*>(deleteDurationButton_),
                             static_cast<QWidget*>(clearDurationsButton_)}) {
        control->setEnabled(enable);
    }
    menu.selectAll->setEnabled(enable);
    menu.clearAll->setEnabled(enable);
    if (!skipSelectionCommands) {
        durationUpButton_->setEnabled(enable);
        durationDownButton_->setEnabled(enable);
        for (QAction* entry : {menu.moveUp, menu.moveDown, menu.information, menu.deleteSelected}) {
            entry->setEnabled(enable);
        }
    }
}

void TAC3Splitter::UpdateAudioCommands(bool enable, bool skipSelectionCommands) {
    auto& menu = audioMenuEntries_;
    clearAudioButton_->setEnabled(enable);
    menu.selectAll->setEnabled(enable);
    menu.clearAll->setEnabled(enable);
    if (!skipSelectionCommands) {
        // Delete file goes with the other row commands: there is nothing to delete without a row.
        for (QWidget* control : {audioUpButton_, audioDownButton_, deleteAudioButton_}) {
            control->setEnabled(enable);
        }
        for (QAction* entry : {menu.moveUp, menu.moveDown, menu.information, menu.deleteSelected}) {
            entry->setEnabled(enable);
        }
    }
}

void TAC3Splitter::Timer1Timer() {
    TDropList2* audio = ShownAudioList();
    if (state_.busy != 0) {
        // A running job selects the row it works on; the status bar follows it.
        const int row = FirstSelectedRow(audio);
        if (row >= 0) {
            const QString path = PathOfRow(audio->topLevelItem(row));
            if (!path.isEmpty() && path != StatusText(1)) {
                SetStatusText(1, path);
                SetStatusText(
                    0, QString::fromStdString(PositionText(row + 1, audio->topLevelItemCount())));
            }
        }
        return;
    }

    if (durationsList_->topLevelItemCount() == 0) {
        UpdateDurationCommands(false, false);
    } else {
        UpdateDurationCommands(true, true);
        const bool selected = FirstSelectedRow(durationsList_) >= 0;
        durationUpButton_->setEnabled(selected);
        durationDownButton_->setEnabled(selected);
        auto& menu = durationsMenuEntries_;
        for (QAction* entry : {menu.moveUp, menu.moveDown, menu.information, menu.deleteSelected}) {
            entry->setEnabled(selected);
        }
    }

    auto& menu = audioMenuEntries_;
    if (audio->topLevelItemCount() == 0) {
        UpdateAudioCommands(false, false);
        return;
    }
    UpdateAudioCommands(true, true);
    const int row = FirstSelectedRow(audio);
    if (row >= 0) {
        const bool locked = FirstMergeRowLocked(MergePageShown(), checkHeaderBox_->isChecked(),
                                                mergeList_->topLevelItemCount(), row);
        for (QWidget* control : {audioUpButton_, audioDownButton_, deleteAudioButton_}) {
            control->setEnabled(!locked);
        }
        // The menu entries stay enabled; the commands themselves refuse to move the first row.
        for (QAction* entry : {menu.moveUp, menu.moveDown, menu.information, menu.deleteSelected}) {
            entry->setEnabled(true);
        }
    } else {
        for (QWidget* control : {audioUpButton_, audioDownButton_, deleteAudioButton_}) {
            control->setEnabled(false);
        }
        for (QAction* entry : {menu.moveUp, menu.moveDown, menu.information, menu.deleteSelected}) {
            entry->setEnabled(false);
        }
    }
}

void TAC3Splitter::keyPressEvent(QKeyEvent* event) {
    // Process is the window's default button: Enter in a control that does not use it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        processButton_->isEnabled()) {
        processButton_->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TAC3Splitter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            // The window sees Esc before its controls: a close request from anywhere in it.
            const auto* key = static_cast<QKeyEvent*>(event);
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (key->key() == Qt::Key_Escape && widget != nullptr && widget->window() == this) {
                close();
                return true;
            }
            break;
        }
        case QEvent::KeyRelease:
            if (watched == destinationEdit_) {
                Edit1KeyUp();
            }
            break;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Switching to another program or opening a menu does not leave the edit.
            if (watched == destinationEdit_ && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason) {
                Edit1Exit();
            }
            break;
        }
        case QEvent::FocusIn:
            if (watched == durationsList_) {
                ListView1Enter();
            } else if (watched == cutList_ || watched == mergeList_) {
                AudioListEnter(static_cast<TDropList2*>(watched));
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace varnix
