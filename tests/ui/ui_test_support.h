#pragma once
// Helpers for the desktop program's tests: settings kept in a fresh folder, and list rows made
// the way the list commands make them.

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>
#include <memory>
#include <optional>
#include <string>

#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "ui/list_roles.h"
#include "ui/main_window.h"
#include "ui/settings.h"

namespace varnix {

// Time codes in test failure messages.
inline char* toString(const TimeCode& tc) {
    return qstrdup(TimeCodeToText(tc).c_str());
}

}  // namespace varnix

namespace varnix::test {

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

// What a window test needs around it: fresh settings, a scripted host and a temporary folder,
// made by the test's init() and gone, in reverse order, by its cleanup().
class WindowFixture {
  protected:
    std::unique_ptr<IsolatedSettings> settings_;
    std::unique_ptr<RecordingHost> host_;
    std::unique_ptr<TempDir> dir_;

    void SetUpWindowFixture() {
        settings_ = std::make_unique<IsolatedSettings>();
        host_ = std::make_unique<RecordingHost>();
        dir_ = std::make_unique<TempDir>();
    }
    void TearDownWindowFixture() {
        dir_.reset();
        host_.reset();
        settings_.reset();
    }
};

}  // namespace varnix::test
