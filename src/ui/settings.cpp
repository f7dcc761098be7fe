#include "ui/settings.h"

#include <QDir>

#include "core/file_helpers.h"
#include "ui/window_rules.h"

namespace varnix {

using namespace settings_keys;

QString PositionKey(const QString& name) {
    return kPositions + QLatin1Char('/') + name;
}

const QStringList& WindowControlNames() {
    static const QStringList names = {
        QStringLiteral("Panel2"),   QStringLiteral("Panel4"),   QStringLiteral("BitBtn10"),
        QStringLiteral("BitBtn11"), QStringLiteral("BitBtn13"), QStringLiteral("StatusBar1"),
        QStringLiteral("Panel5"),   QStringLiteral("BitBtn14"), QStringLiteral("Panel6")};
    return names;
}

const QStringList& Panel6ControlNames() {
    static const QStringList names = {QStringLiteral("Splitter1"), QStringLiteral("Panel3"),
                                      QStringLiteral("Panel1")};
    return names;
}

const QStringList& GeometryEdges() {
    static const QStringList edges = {QStringLiteral("Top"), QStringLiteral("Left"),
                                      QStringLiteral("Width"), QStringLiteral("Height")};
    return edges;
}

QString ControlGeometryKey(const QString& control, const QString& edge) {
    return PositionKey(control + edge);
}

QString ColumnWidthKey(const QString& list, int n) {
    return PositionKey(list + QStringLiteral("Col") + QString::number(n) + QStringLiteral("Width"));
}

UserSettingsStorage::UserSettingsStorage()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication) {}

QVariant UserSettingsStorage::value(const QString& key) const {
    return settings_.value(key);
}

void UserSettingsStorage::setValue(const QString& key, const QVariant& value) {
    settings_.setValue(key, value);
}

QStringList UserSettingsStorage::keys() const {
    return settings_.allKeys();
}

void UserSettingsStorage::sync() {
    settings_.sync();
}

std::optional<int> ReadInteger(const SettingsStorage& storage, const QString& key) {
    const QVariant value = storage.value(key);
    bool ok = false;
    int result = 0;
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
            result = value.toInt(&ok);
            break;
        case QMetaType::QString:
            result = value.toString().trimmed().toInt(&ok, 10);
            break;
        default:
            break;
    }
    if (!ok) {
        return std::nullopt;
    }
    return result;
}

std::optional<QString> ReadText(const SettingsStorage& storage, const QString& key) {
    const QVariant value = storage.value(key);
    if (value.typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString();
}

QString DefaultDestination() {
#ifdef _WIN32
    return QString::fromStdString(PlatformRoot());
#else
    return QString::fromStdString(FolderWithSeparator(QDir::homePath().toStdString()));
#endif
}

void VarnixSettings::SetDefaults() {
    ntscMode = true;
    checkHeader = false;
    openPath1.clear();
    openPath2.clear();
    processPath = DefaultDestination();
    activePage = kCutPage;
    extendedFormats = false;
}

bool VarnixSettings::Read(const SettingsStorage& storage) {
    const auto extended = ReadInteger(storage, kExtendedFormats);
    extendedFormats = extended && *extended != 0;
    const auto ntsc = ReadInteger(storage, kSplitterModeNTSC);
    if (!ntsc) {
        return false;
    }
    ntscMode = *ntsc != 0;
    const auto header = ReadInteger(storage, kCheckHeader);
    if (!header) {
        return false;
    }
    checkHeader = *header != 0;
    const auto path1 = ReadText(storage, kOpenPath1);
    if (!path1) {
        return false;
    }
    openPath1 = *path1;
    const auto path2 = ReadText(storage, kOpenPath2);
    if (!path2) {
        return false;
    }
    openPath2 = *path2;
    const auto process = ReadText(storage, kProcessPath);
    if (!process) {
        return false;
    }
    processPath = *process;
    const auto page = ReadInteger(storage, kActivePage);
    if (!page || !IsValidPage(*page)) {
        return false;
    }
    activePage = *page;
    return true;
}

void VarnixSettings::Write(SettingsStorage& storage) const {
    storage.setValue(kSplitterModeNTSC, ntscMode ? 1 : 0);
    storage.setValue(kCheckHeader, checkHeader ? 1 : 0);
    storage.setValue(kOpenPath1, openPath1);
    storage.setValue(kOpenPath2, openPath2);
    storage.setValue(kProcessPath, processPath);
    storage.setValue(kActivePage, activePage);
    storage.setValue(kExtendedFormats, extendedFormats ? 1 : 0);
    storage.sync();
}

bool VarnixSettings::Exist(const SettingsStorage& storage) {
    const QStringList keys = storage.keys();
    for (const QString& key :
         {kSplitterModeNTSC, kCheckHeader, kOpenPath1, kOpenPath2, kProcessPath, kActivePage}) {
        if (keys.contains(key)) {
            return true;
        }
    }
    return false;
}

}  // namespace varnix
