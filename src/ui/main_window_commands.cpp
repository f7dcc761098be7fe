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
    const QString current = Edit1->text();
    const QString start = FolderExists(current.toStdString()) ? current : QString();
    const QString chosen = folderPicker_(this, QStringLiteral("Select destination path:"), start);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path =
        QString::fromStdString(FolderWithSeparator(QDir::toNativeSeparators(chosen).toStdString()));
    Edit1->setText(path);
    settings_.processPath = path;
    UpdateProcessEnabled();
}

void TAC3Splitter::Edit1KeyUp() {
    UpdateProcessEnabled();
}

void TAC3Splitter::Edit1Exit() {
    UpdateProcessEnabled();
    const QString text =
        QString::fromStdString(DestinationTextOnLeave(Edit1->text().toStdString()));
    if (text != Edit1->text()) {
        Edit1->setText(text);
    }
}

bool TAC3Splitter::UpdateProcessEnabled() {
    ProcessInputs inputs;
    inputs.mergePageShown = MergePageShown();
    inputs.cutRows = ListView2->topLevelItemCount();
    inputs.mergeRows = ListView3->topLevelItemCount();
    inputs.durationRows = ListView1->topLevelItemCount();
    inputs.destination = Edit1->text().toStdString();
    const bool enabled = ProcessEnabled(inputs);
    BitBtn10->setEnabled(enabled);
    return !enabled;
}

void TAC3Splitter::BeginBusy() {
    for (QWidget* control : ControlsNamed(this, BusyDisabledControls())) {
        control->setEnabled(false);
    }
    BitBtn11->setText(QStringLiteral("Cancel"));
    BitBtn11->setIcon(MakeButtonIcon(ButtonIcon::Cancel));
}

void TAC3Splitter::EndBusy() {
    for (QWidget* control : ControlsNamed(this, IdleEnabledControls())) {
        control->setEnabled(true);
    }
    BitBtn11->setText(QStringLiteral("Close"));
    BitBtn11->setIcon(MakeButtonIcon(ButtonIcon::Close));
    progress_->setPosition(progress_->minimum());
}

void BusyScope::Begin() {
    WindowState& state = window_.State();
    state.AbortFlag = 0;
    state.Busy = 1;
    window_.BeginBusy();
    active_ = true;
}

void BusyScope::End() {
    if (!active_) {
        return;
    }
    active_ = false;
    WindowState& state = window_.State();
    state.AbortFlag = 0;
    state.Busy = 0;
    window_.EndBusy();
}

void TAC3Splitter::PumpEvents() {
    if (eventPump_) {
        eventPump_();
    }
}

void TAC3Splitter::BitBtn11Click() {
    if (state_.Busy == 0) {
        close();
        return;
    }
    if (!CurrentHost().confirm(MessageIcon::Information, kWarningTitle,
                               "Abort current operation ?")) {
        return;
    }
    state_.AbortFlag = 1;
    state_.Busy = 0;
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
    auto& menu = PopupMenu1Items;
    for (QWidget* control : {static_cast<QWidget*>(BitBtn3), static_cast<QWidget*>(SpeedButton4)}) {
        control->setEnabled(enable);
    }
    menu.SelectAll->setEnabled(enable);
    menu.ClearAll->setEnabled(enable);
    if (!skipSelectionCommands) {
        BitBtn6->setEnabled(enable);
        BitBtn7->setEnabled(enable);
        for (QAction* entry : {menu.MoveUp, menu.MoveDown, menu.Information, menu.Delete}) {
            entry->setEnabled(enable);
        }
    }
}

void TAC3Splitter::UpdateAudioCommands(bool enable, bool skipSelectionCommands) {
    auto& menu = PopupMenu2Items;
    SpeedButton3->setEnabled(enable);
    menu.SelectAll->setEnabled(enable);
    menu.ClearAll->setEnabled(enable);
    if (!skipSelectionCommands) {
        // Delete file goes with the other row commands: there is nothing to delete without a row.
        for (QWidget* control : {BitBtn8, BitBtn9, BitBtn4}) {
            control->setEnabled(enable);
        }
        for (QAction* entry : {menu.MoveUp, menu.MoveDown, menu.Information, menu.Delete}) {
            entry->setEnabled(enable);
        }
    }
}

void TAC3Splitter::Timer1Timer() {
    TDropList2* audio = ShownAudioList();
    if (state_.Busy != 0) {
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

    if (ListView1->topLevelItemCount() == 0) {
        UpdateDurationCommands(false, false);
    } else {
        UpdateDurationCommands(true, true);
        const bool selected = FirstSelectedRow(ListView1) >= 0;
        BitBtn6->setEnabled(selected);
        BitBtn7->setEnabled(selected);
        auto& menu = PopupMenu1Items;
        for (QAction* entry : {menu.MoveUp, menu.MoveDown, menu.Information, menu.Delete}) {
            entry->setEnabled(selected);
        }
    }

    auto& menu = PopupMenu2Items;
    if (audio->topLevelItemCount() == 0) {
        UpdateAudioCommands(false, false);
        return;
    }
    UpdateAudioCommands(true, true);
    const int row = FirstSelectedRow(audio);
    if (row >= 0) {
        const bool locked = FirstMergeRowLocked(MergePageShown(), CheckBox1->isChecked(),
                                                ListView3->topLevelItemCount(), row);
        for (QWidget* control : {BitBtn8, BitBtn9, BitBtn4}) {
            control->setEnabled(!locked);
        }
        // The menu entries stay enabled; the commands themselves refuse to move the first row.
        for (QAction* entry : {menu.MoveUp, menu.MoveDown, menu.Information, menu.Delete}) {
            entry->setEnabled(true);
        }
    } else {
        for (QWidget* control : {BitBtn8, BitBtn9, BitBtn4}) {
            control->setEnabled(false);
        }
        for (QAction* entry : {menu.MoveUp, menu.MoveDown, menu.Information, menu.Delete}) {
            entry->setEnabled(false);
        }
    }
}

void TAC3Splitter::keyPressEvent(QKeyEvent* event) {
    // Process is the window's default button: Enter in a control that does not use it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        BitBtn10->isEnabled()) {
        BitBtn10->click();
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
            if (watched == Edit1) {
                Edit1KeyUp();
            }
            break;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Switching to another program or opening a menu does not leave the edit.
            if (watched == Edit1 && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason) {
                Edit1Exit();
            }
            break;
        }
        case QEvent::FocusIn:
            if (watched == ListView1) {
                ListView1Enter();
            } else if (watched == ListView2 || watched == ListView3) {
                AudioListEnter(static_cast<TDropList2*>(watched));
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace varnix
