#pragma once
// Helpers for the desktop program's tests: settings kept in a fresh folder, the program's forms
// started around a scripted host, list rows made the way the list commands make them, and what
// the window shows worked out from the engine.

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFocusEvent>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>
#include <memory>
#include <optional>
#include <string>

#include "probe/media_duration.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/video_builders.h"
#include "ui/app_forms.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/settings.h"
#include "ui/window_rules.h"

namespace varnix {

// Time codes in test failure messages.
inline char* toString(const TimeCode& tc) {
    return qstrdup(TimeCodeToText(tc).c_str());
}

}  // namespace varnix

namespace varnix::test {

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Points the user's settings at a fresh folder while it lives.
class IsolatedSettings {
  public:
    IsolatedSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }
    QString folder() const { return dir_.path(); }
    QString fileName() const { return Open().fileName(); }
    bool fileExists() const { return QFile::exists(fileName()); }
    QVariant value(const QString& key) const { return Open().value(key); }
    // Replaces the settings file with the given text.
    void writeFile(const QByteArray& content) const {
        QDir().mkpath(QFileInfo(fileName()).path());
        QFile file(fileName());
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(content);
        }
    }
    QByteArray readFile() const {
        QFile file(fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private:
    static QSettings Open() {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                         settings_keys::kOrganization, settings_keys::kApplication);
    }
    QTemporaryDir dir_;
};

// Appends a row whose file and duration pair are entered in the window's tables.
inline QTreeWidgetItem* AddRow(TAC3Splitter& window, QTreeWidget* list, const QString& caption,
                               const std::string& path = {},
                               std::optional<DurationPair> pair = std::nullopt) {
    auto* item = new QTreeWidgetItem(list, QStringList{caption});
    WindowTables& tables = window.State().Tables;
    SetStateIndex(item, path.empty() ? -1 : tables.AddFilePath(path));
    SetItemData(item, pair ? tables.AddDuration(*pair) : -1);
    return item;
}

// The texts of a row from its caption on; `columns` of them, or all the row holds.
inline QStringList RowTexts(const QTreeWidgetItem* item, int columns = -1) {
    QStringList texts;
    const int count = columns < 0 ? item->columnCount() : columns;
    for (int column = 0; column < count; ++column) {
        texts << item->text(column);
    }
    return texts;
}

// One column's texts of every row, top to bottom.
inline QStringList ColumnTexts(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        texts << list->topLevelItem(row)->text(column);
    }
    return texts;
}

// Drags the URLs over a list and drops them, as a file manager does; whether the drop was
// accepted.
inline bool DropUrls(QAbstractItemView* list, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QWidget* target = list->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

inline bool DropFiles(QAbstractItemView* list, const std::vector<std::string>& files) {
    QList<QUrl> urls;
    for (const std::string& file : files) {
        urls << QUrl::fromLocalFile(QString::fromStdString(file));
    }
    return DropUrls(list, urls);
}

// Gives a widget the input focus, or takes it away, as the window system does.
inline void SendFocus(QWidget* widget, QEvent::Type type = QEvent::FocusIn) {
    QFocusEvent event(type, Qt::TabFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

// A file's duration under a system, as the engine gives it.
inline TimeCode DurationOf(const std::string& file, TvSystem system) {
    return MediaDurationForSystem(file, system, nullptr, nullptr);
}

// The time the lists show for a file under a system.
inline QString TimeOf(const std::string& file, TvSystem system) {
    const TimeCode tc = DurationOf(file, system);
    return tc.IsNone() ? QStringLiteral("???") : Q(TimeCodeToText(tc));
}

// Status panel 2 showing a total: "   Total time: 00:00:01.24 (PAL)".
inline QString TotalShown(TimeCode total, TvSystem system) {
    return QStringLiteral("   Total time: ") + Q(TimeCodeToText(total)) +
           (system == TvSystem::Pal ? QStringLiteral(" (PAL)") : QStringLiteral(" (NTSC)"));
}

// Writes an MPEG-2 video of `frames` frames in GOPs of `gop` pictures, at 25 (PAL) or 29.97
// (NTSC) frames a second; its full name.
inline std::string WriteVideo(const TempDir& dir, const std::string& name, int frames, bool pal,
                              int gop) {
    StreamLayout layout;
    layout.sequence.height = pal ? 576 : 480;
    layout.sequence.frameRateCode = pal ? 3 : 4;
    layout.extension = SequenceExtensionParams{};
    layout.framesPerSecond = pal ? 25 : 30;
    return dir.write(name,
                     BuildVideoStream(layout, FramePictures(frames, gop, PictureCodingParams{})));
}

// What keeps the window from being idle: the busy and abort bytes, the Close button's caption,
// the pages and the durations panel. Empty when the window is idle.
inline QStringList NotIdle(TAC3Splitter& w) {
    QStringList found;
    if (w.State().Busy != 0) {
        found << QStringLiteral("busy");
    }
    if (w.State().AbortFlag != 0) {
        found << QStringLiteral("abort set");
    }
    if (w.BitBtn11->text() != QStringLiteral("Close")) {
        found << QStringLiteral("Close reads ") + w.BitBtn11->text();
    }
    if (!w.PageControl1->isEnabled()) {
        found << QStringLiteral("pages disabled");
    }
    if (!w.Panel1->isEnabled()) {
        found << QStringLiteral("durations disabled");
    }
    return found;
}

// What a window test needs around it: fresh settings, a scripted host and a temporary folder,
// made by the test's init() and gone, in reverse order, by its cleanup().
class WindowFixture {
  protected:
    std::unique_ptr<IsolatedSettings> settings_;
    std::unique_ptr<RecordingHost> host_;
    std::unique_ptr<TempDir> dir_;
    // The window's event pump in a test: it handles no real events but counts its turns and
    // runs onPump_ with their number, so that a test can act while a scan or job runs.
    int pumps_ = 0;
    std::function<void(int)> onPump_;

    // With `timerRuns` false the window's timer is stopped at start, for tests that look at the
    // commands themselves or run the timer's handler in their own time.
    void SetUpWindowFixture(bool timerRuns = true) {
        settings_ = std::make_unique<IsolatedSettings>();
        host_ = std::make_unique<RecordingHost>();
        dir_ = std::make_unique<TempDir>();
        timerRuns_ = timerRuns;
        pumps_ = 0;
        onPump_ = nullptr;
    }
    void TearDownWindowFixture() {
        dir_.reset();
        host_.reset();
        settings_.reset();
    }

    // The program's forms with the main window shown, on the page the settings give or on
    // `page`.
    VarnixForms Start(std::optional<int> page = std::nullopt) {
        VarnixForms forms = CreateForms();
        forms.AC3Splitter->SetEventPump([this] {
            ++pumps_;
            if (onPump_) {
                onPump_(pumps_);
            }
        });
        forms.AC3Splitter->show();
        if (!timerRuns_) {
            forms.AC3Splitter->Timer1->stop();
        }
        if (page) {
            forms.AC3Splitter->PageControl1->setCurrentIndex(*page);
        }
        return forms;
    }
    // A copy of a committed test file in the temporary folder.
    std::string Copy(const std::string& data, const std::string& as = {}) const {
        return dir_->copyData(data, as);
    }

  private:
    bool timerRuns_ = true;
};

}  // namespace varnix::test
