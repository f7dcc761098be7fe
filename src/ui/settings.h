#pragma once
// The user's settings and the window geometry: every value name in one place, one typed class
// for the six settings, and the storage behind them (QSettings in the user's scope, or memory in
// tests). Flags and numbers are stored as integers, folders as texts.

#include <QMap>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace varnix {

namespace settings_keys {
inline const QString kOrganization = QStringLiteral("Quorvane");
inline const QString kApplication = QStringLiteral("Varnix");

inline const QString kSplitterModeNTSC = QStringLiteral("SplitterModeNTSC");
inline const QString kCheckHeader = QStringLiteral("CheckHeader");
inline const QString kOpenPath1 = QStringLiteral("OpenPath1");
inline const QString kOpenPath2 = QStringLiteral("OpenPath2");
inline const QString kProcessPath = QStringLiteral("ProcessPath");
inline const QString kActivePage = QStringLiteral("ActivePage");
inline const QString kExtendedFormats = QStringLiteral("ExtendedFormats");

inline const QString kPositions = QStringLiteral("Positions");
inline const QString kFormTop = QStringLiteral("FormTop");
inline const QString kFormLeft = QStringLiteral("FormLeft");
inline const QString kFormWidth = QStringLiteral("FormWidth");
inline const QString kFormHeight = QStringLiteral("FormHeight");
inline const QString kFormPos = QStringLiteral("FormPos");
}  // namespace settings_keys

// A value of the group "Positions": "Positions/FormTop".
QString PositionKey(const QString& name);
// The stored geometry of a control: "Panel6" + "Top", "Left", "Width" or "Height".
QString ControlGeometryKey(const QString& control, const QString& edge);
// The controls whose geometry is stored: those placed directly on the window, then those
// placed on the panel that holds the two halves of the window.
const QStringList& WindowControlNames();
const QStringList& Panel6ControlNames();
// The four edges of a control's stored geometry, in their stored order.
const QStringList& GeometryEdges();
// The stored width of a list column, n counted from 1: "ListView2Col6Width".
QString ColumnWidthKey(const QString& list, int n);

// Named values, optionally inside a group ("Positions/FormTop").
class SettingsStorage {
  public:
    virtual ~SettingsStorage() = default;
    // An invalid QVariant when the value is missing.
    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    // Every value name, with its group.
    virtual QStringList keys() const = 0;
    // Writes pending changes to where they are kept.
    virtual void sync() {}
};

// The user's settings: an INI file under the user's config folder on Linux
// (~/.config/Quorvane/Varnix.conf), the registry on Windows.
class UserSettingsStorage : public SettingsStorage {
  public:
    UserSettingsStorage();
    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    QStringList keys() const override;
    void sync() override;
    QString FileName() const { return settings_.fileName(); }

  private:
    QSettings settings_;
};

// Settings kept in memory, for tests.
class MemorySettingsStorage : public SettingsStorage {
  public:
    QVariant value(const QString& key) const override { return values_.value(key); }
    void setValue(const QString& key, const QVariant& value) override { values_[key] = value; }
    QStringList keys() const override { return values_.keys(); }

  private:
    QMap<QString, QVariant> values_;
};

// A stored integer (flags 0/1, page numbers, pixels): an integer value, or a text that holds a
// decimal integer in 32 bits. Nothing when the value is missing or of another type.
std::optional<int> ReadInteger(const SettingsStorage& storage, const QString& key);
// A stored text. Nothing when the value is missing or not a single text.
std::optional<QString> ReadText(const SettingsStorage& storage, const QString& key);

// The home folder with the platform's separator at its end ("C:\" on Windows).
QString DefaultDestination();

// The settings of the main window: the six of old, and the extended formats.
struct VarnixSettings {
    bool ntscMode = true;
    bool checkHeader = false;
    QString openPath1;    // start folder of the durations open dialog
    QString openPath2;    // start folder of the audio open dialog
    QString processPath;  // destination folder
    int activePage = 0;   // 0 cut page, 1 merge page
    // The lists take the extended formats. Stored apart from the six: a settings file written
    // before it existed reads as off, and never as a broken file.
    bool extendedFormats = false;

    VarnixSettings() { SetDefaults(); }
    void SetDefaults();
    // Reads the values in their stored order. Stops at the first value that is missing, of the
    // wrong type or out of range, and returns false; what was read before it is kept. The
    // extended formats are read last and apart: missing or of the wrong type, they are off.
    bool Read(const SettingsStorage& storage);
    void Write(SettingsStorage& storage) const;
    // Whether any setting of the program is stored at all.
    static bool Exist(const SettingsStorage& storage);

    friend bool operator==(const VarnixSettings&, const VarnixSettings&) = default;
};

}  // namespace varnix
