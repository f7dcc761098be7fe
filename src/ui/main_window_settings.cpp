// Start-up, settings, window geometry and closing of the main window.

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <algorithm>

#include "core/host.h"
#include "ui/main_window.h"
#include "ui/merger_form.h"

namespace varnix {

using namespace settings_keys;

namespace {

// Widths and heights read from the settings stay within what a screen can show.
constexpr int kLargestStoredPixels = 10000;

QRect RectIn(const QWidget* widget, const QWidget* ancestor) {
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

}  // namespace

void TAC3Splitter::setVisible(bool visible) {
    if (visible && !shown_) {
        shown_ = true;
        FormShow();
    }
    QMainWindow::setVisible(visible);
}

void TAC3Splitter::FormShow() {
    state_.SystemRate = TvSystem::Ntsc;
    // The designed size, made smaller on a screen that cannot show it.
    if (const QScreen* display = screen()) {
        resize(kDesignedClientSize.boundedTo(display->availableGeometry().size())
                   .expandedTo(kMinimumClientSize));
    }
    LoadPositions();
    ResetLists();
    LoadSettings();
    setWindowTitle(QStringLiteral("Varnix Freeware"));
}

void TAC3Splitter::ResetLists() {
    state_.Tables.Clear();
    state_.MovedItem.Clear();
    ListView1->clear();
    state_.AbortFlag = 0;
    state_.Busy = 0;
}

void TAC3Splitter::SetDefaultSettings() {
    settings_.SetDefaults();
    state_.SystemRate = TvSystem::Ntsc;
}

void TAC3Splitter::LoadSettings() {
    if (!VarnixSettings::Exist(*storage_)) {
        SetDefaultSettings();
        SaveSettings();
    }
    VarnixSettings stored = settings_;
    if (!stored.Read(*storage_)) {
        // A missing value or one of the wrong type: the defaults are written back and the
        // controls keep their designed state.
        SetDefaultSettings();
        SaveSettings();
        return;
    }
    settings_ = stored;
    if (settings_.processPath.isEmpty()) {
        SetDefaultSettings();
    }
    ApplySettingsToControls();
}

void TAC3Splitter::ApplySettingsToControls() {
    if (settings_.ntscMode) {
        RadioButton1->setChecked(true);
        RadioButton1Click();
    } else {
        RadioButton2->setChecked(true);
        RadioButton2Click();
    }
    CheckBox1->setChecked(settings_.checkHeader);
    extendedFormatsBox_->setChecked(settings_.extendedFormats);
    Edit1->setText(settings_.processPath);
    PageControl1->setCurrentIndex(settings_.activePage);
}

void TAC3Splitter::SaveSettings() {
    settings_.ntscMode = RadioButton1->isChecked();
    settings_.processPath = Edit1->text();
    settings_.Write(*storage_);
}

void TAC3Splitter::SavePositions() {
    SettingsStorage& s = *storage_;
    const bool maximised = isMaximized();
    // A maximised window keeps the geometry it returns to.
    const QRect form = maximised ? normalGeometry() : geometry();
    s.setValue(PositionKey(kFormTop), form.y());
    s.setValue(PositionKey(kFormLeft), form.x());
    s.setValue(PositionKey(kFormWidth), form.width());
    s.setValue(PositionKey(kFormHeight), form.height());
    s.setValue(PositionKey(kFormPos), maximised ? 1 : 0);

    auto writeRect = [&s](const QString& name, const QRect& r) {
        const int values[] = {r.y(), r.x(), r.width(), r.height()};
        for (int i = 0; i < 4; ++i) {
            s.setValue(ControlGeometryKey(name, GeometryEdges()[i]), values[i]);
        }
    };
    for (const QString& name : WindowControlNames()) {
        writeRect(name, RectIn(findChild<QWidget*>(name), this));
    }
    for (const TDropList* list :
         {static_cast<TDropList*>(ListView1), static_cast<TDropList*>(ListView2),
          static_cast<TDropList*>(ListView3)}) {
        for (int n = 1; n <= list->columnCount(); ++n) {
            s.setValue(ColumnWidthKey(list->objectName(), n), list->columnWidth(n - 1));
        }
    }
    for (const QString& name : Panel6ControlNames()) {
        // The splitter's stored geometry is that of its handle between the two halves.
        const QWidget* control =
            name == Splitter1->objectName() ? Splitter1->handle(1) : findChild<QWidget*>(name);
        writeRect(name, RectIn(control, Panel6));
    }
    s.sync();
}

void TAC3Splitter::LoadPositions() {
    // The first missing or unreadable value ends the loading; what was applied stays.
    auto read = [this](const QString& key, int& value) {
        const auto stored = ReadInteger(*storage_, key);
        if (stored) {
            value = *stored;
        }
        return stored.has_value();
    };
    int formPos = 0;
    if (!read(PositionKey(kFormPos), formPos)) {
        return;
    }
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    const bool formRead = read(PositionKey(kFormTop), top) && read(PositionKey(kFormLeft), left) &&
                          read(PositionKey(kFormWidth), width) &&
                          read(PositionKey(kFormHeight), height);
    if (formRead) {
        const QRect form(left, top, std::clamp(width, 0, kLargestStoredPixels),
                         std::clamp(height, 0, kLargestStoredPixels));
        // A window stored on a screen that is gone keeps the place the desktop gives it.
        if (QGuiApplication::screenAt(form.center()) != nullptr) {
            setGeometry(form);
        } else {
            resize(form.size());
        }
    }
    if (formPos == 1) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    if (!formRead) {
        return;
    }
    // The layout places the other controls; their values are read so that a gap in the stored
    // values ends the loading where it always did.
    int ignored = 0;
    for (const QString& name : WindowControlNames()) {
        for (const QString& edge : GeometryEdges()) {
            if (!read(ControlGeometryKey(name, edge), ignored)) {
                return;
            }
        }
    }
    for (TDropList* list : {static_cast<TDropList*>(ListView1), static_cast<TDropList*>(ListView2),
                            static_cast<TDropList*>(ListView3)}) {
        for (int n = 1; n <= list->columnCount(); ++n) {
            int columnWidth = 0;
            if (!read(ColumnWidthKey(list->objectName(), n), columnWidth)) {
                return;
            }
            list->setColumnWidth(n - 1, std::clamp(columnWidth, 0, kLargestStoredPixels));
        }
    }
    int panel3Width = 0;
    for (const QString& name : Panel6ControlNames()) {
        for (const QString& edge : GeometryEdges()) {
            int value = 0;
            if (!read(ControlGeometryKey(name, edge), value)) {
                return;
            }
            if (edge == QStringLiteral("Width") && name == Panel3->objectName()) {
                panel3Width = std::clamp(value, 0, kLargestStoredPixels);
            } else if (edge == QStringLiteral("Width") && name == Panel1->objectName()) {
                Splitter1->setSizes({panel3Width, std::clamp(value, 0, kLargestStoredPixels)});
            }
        }
    }
}

bool TAC3Splitter::FormCloseQuery() {
    if (!CurrentHost().confirm(MessageIcon::Warning, kWarningTitle,
                               "Are you realy want to close Varnix ?")) {
        return false;
    }
    if (state_.Busy != 0) {
        // A scan or job still running stops instead of writing on behind a closed window.
        state_.AbortFlag = 1;
        if (mergerForm_ != nullptr) {
            mergerForm_->Abort() = 1;
        }
    }
    return true;
}

void TAC3Splitter::FormClose() {
    state_.Tables.Clear();
    state_.MovedItem.Clear();
    SaveSettings();
    SavePositions();
}

void TAC3Splitter::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

}  // namespace varnix
