// The typed settings and their storage.

#include <QTest>

#include "ui/settings.h"
#include "ui_test_support.h"

using namespace varnix;
using namespace varnix::settings_keys;

class SettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void integersAreNumbersOrDecimalTexts_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("value");
        QTest::newRow("integer") << QVariant(7) << true << 7;
        QTest::newRow("text of an integer") << QVariant(QStringLiteral("12")) << true << 12;
        QTest::newRow("negative text") << QVariant(QStringLiteral("-40")) << true << -40;
        QTest::newRow("spaces around") << QVariant(QStringLiteral(" 3 ")) << true << 3;
        QTest::newRow("missing") << QVariant() << false << 0;
        QTest::newRow("letters") << QVariant(QStringLiteral("abc")) << false << 0;
        QTest::newRow("beyond 32 bits") << QVariant(QStringLiteral("99999999999")) << false << 0;
        QTest::newRow("list") << QVariant(QStringList{"1", "2"}) << false << 0;
        QTest::newRow("bytes") << QVariant(QByteArray("1")) << false << 0;
        QTest::newRow("fraction") << QVariant(QStringLiteral("1.5")) << false << 0;
    }
    void integersAreNumbersOrDecimalTexts() {
        QFETCH(QVariant, stored);
        QFETCH(bool, readable);
        QFETCH(int, value);
        MemorySettingsStorage storage;
        if (stored.isValid()) {
            storage.setValue(QStringLiteral("Key"), stored);
        }
        const auto read = ReadInteger(storage, QStringLiteral("Key"));
        QCOMPARE(read.has_value(), readable);
        if (readable) {
            QCOMPARE(*read, value);
        }
    }

    void textsAreSingleTexts() {
        MemorySettingsStorage storage;
        storage.setValue(QStringLiteral("Text"), QStringLiteral("/home/a, b/"));
        storage.setValue(QStringLiteral("Number"), 4);
        storage.setValue(QStringLiteral("List"), QStringList{"a", "b"});
        QCOMPARE(ReadText(storage, QStringLiteral("Text")).value(), QStringLiteral("/home/a, b/"));
        QVERIFY(!ReadText(storage, QStringLiteral("Number")));
        QVERIFY(!ReadText(storage, QStringLiteral("List")));
        QVERIFY(!ReadText(storage, QStringLiteral("Missing")));
    }

    void writeThenReadGivesTheSameSettings() {
        MemorySettingsStorage storage;
        QVERIFY(!VarnixSettings::Exist(storage));
        VarnixSettings written;
        written.ntscMode = false;
        written.checkHeader = true;
        written.openPath1 = QStringLiteral("/video/");
        written.openPath2 = QStringLiteral("/audio, old/");
        written.processPath = QStringLiteral("/out/");
        written.activePage = 1;
        written.extendedFormats = true;
        written.Write(storage);
        QVERIFY(VarnixSettings::Exist(storage));
        QCOMPARE(storage.value(kSplitterModeNTSC).toInt(), 0);
        QCOMPARE(storage.value(kCheckHeader).toInt(), 1);
        VarnixSettings read;
        QVERIFY(read.Read(storage));
        QVERIFY(read == written);
    }

    // Settings written before the extended formats existed read whole, with the switch off.
    void extendedFormatsAreOffWhenMissingOrMistyped() {
        for (const QVariant& stored : {QVariant(), QVariant(QStringLiteral("yes")), QVariant(0)}) {
            MemorySettingsStorage storage;
            VarnixSettings written;
            written.Write(storage);
            storage.setValue(kExtendedFormats, stored);
            VarnixSettings read;
            read.extendedFormats = true;
            QVERIFY(read.Read(storage));
            QVERIFY(!read.extendedFormats);
        }
    }

    void readingStopsAtTheFirstBadValue_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("bad");
        QTest::newRow("mode not a number") << kSplitterModeNTSC << QVariant(QStringLiteral("x"));
        QTest::newRow("folder a list") << kProcessPath << QVariant(QStringList{"a", "b"});
        QTest::newRow("page out of range") << kActivePage << QVariant(2);
        QTest::newRow("page negative") << kActivePage << QVariant(-1);
    }
    void readingStopsAtTheFirstBadValue() {
        QFETCH(QString, key);
        QFETCH(QVariant, bad);
        MemorySettingsStorage storage;
        VarnixSettings stored;
        stored.ntscMode = false;
        stored.Write(storage);
        storage.setValue(key, bad);
        VarnixSettings read;
        QVERIFY(!read.Read(storage));
    }

    void userSettingsLiveInTheTestFolder() {
        test::IsolatedSettings isolated;
        UserSettingsStorage storage;
        QVERIFY(storage.FileName().startsWith(isolated.folder()));
        QVERIFY(storage.FileName().endsWith(QStringLiteral("Quorvane/Varnix.conf")));
        VarnixSettings written;
        written.processPath = QStringLiteral("/tmp/varnix out/");
        written.activePage = 1;
        written.Write(storage);
        QVERIFY(isolated.fileExists());
        UserSettingsStorage again;
        VarnixSettings read;
        QVERIFY(read.Read(again));
        QVERIFY(read == written);
    }

    void garbageFileReadsAsMissingOrMistyped() {
        test::IsolatedSettings isolated;
        isolated.writeFile(
            "[General]\nSplitterModeNTSC=@ByteArray(1)\n\x01\x02 no equals sign\nCheckHeader\n"
            "[Positions\nFormTop=abc\n");
        UserSettingsStorage storage;
        VarnixSettings read;
        QVERIFY(!read.Read(storage));
        QVERIFY(!ReadInteger(storage, PositionKey(kFormTop)));
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
