#pragma once
// Helpers for the desktop program's tests: settings kept in a fresh folder, and list rows made
// the way the list commands make them.

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <optional>
#include <string>

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

}  // namespace varnix::test
