// The lists' rules that need no widget: row numbers, moves, the column texts of each audio kind,
// the merge list's first row and the open dialogs' filters.

#include <QTest>

#include "ui/audio_list_rules.h"
#include "ui/durations_list_rules.h"
#include "ui/list_rules.h"
#include "ui_test_support.h"

using namespace varnix;
using test::Q;

namespace {

QStringList Texts(const AudioColumns& c) {
    return {Q(c.channels), Q(c.frequency), Q(c.bitRate), Q(c.system), QString::number(c.image)};
}

}  // namespace

class ListRulesTest : public QObject {
    Q_OBJECT
  private slots:
    void rowNumbersWidenWithTheRowCount_data() {
        QTest::addColumn<int>("i");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("nine rows") << 9 << 9 << "9";
        QTest::newRow("ten rows") << 1 << 10 << "01";
        QTest::newRow("99 rows") << 99 << 99 << "99";
        QTest::newRow("100 rows") << 7 << 100 << "007";
        QTest::newRow("999 rows") << 999 << 999 << "999";
        QTest::newRow("1000 rows") << 12 << 1000 << "0012";
        QTest::newRow("12345 rows") << 12345 << 12345 << "12345";
    }
    void rowNumbersWidenWithTheRowCount() {
        QFETCH(int, i);
        QFETCH(int, n);
        QFETCH(QString, text);
        QCOMPARE(Q(DurationNumberText(i, n)), text);
    }

    void movesWrapAroundAndUndoEachOther() {
        for (int rows = 1; rows <= 6; ++rows) {
            for (int row = 0; row < rows; ++row) {
                const int up = MoveTarget(MoveDirection::Up, row, rows);
                const int down = MoveTarget(MoveDirection::Down, row, rows);
                QVERIFY(up >= 0 && up < rows);
                QVERIFY(down >= 0 && down < rows);
                // A move down undoes a move up and the other way round.
                QCOMPARE(MoveTarget(MoveDirection::Down, up, rows), row);
                QCOMPARE(MoveTarget(MoveDirection::Up, down, rows), row);
            }
            QCOMPARE(MoveTarget(MoveDirection::Up, 0, rows), rows - 1);
            QCOMPARE(MoveTarget(MoveDirection::Down, rows - 1, rows), 0);
            QCOMPARE(MoveTarget(MoveDirection::Up, -1, rows), -1);
            QCOMPARE(MoveTarget(MoveDirection::Down, rows, rows), -1);
        }
    }

    void frequencyTexts_data() {
        QTest::addColumn<double>("kilohertz");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        QTest::newRow("48") << 48.0 << "48.0 kHz"
                            << "48,0 kHz";
        QTest::newRow("44.1") << 44.1 << "44.1 kHz"
                              << "44,1 kHz";
        QTest::newRow("32") << 32.0 << "32.0 kHz"
                            << "32,0 kHz";
        QTest::newRow("8") << 8.0 << "8 kHz"
                           << "8 kHz";
        QTest::newRow("11.025") << 11.025 << "11.025 kHz"
                                << "11,025 kHz";
        QTest::newRow("96") << 96.0 << "96.0 kHz"
                            << "96,0 kHz";
        QTest::newRow("192") << 192.0 << "192 kHz"
                             << "192 kHz";
    }
    void frequencyTexts() {
        QFETCH(double, kilohertz);
        QFETCH(QString, point);
        QFETCH(QString, comma);
        QCOMPARE(Q(FrequencyText(kilohertz, '.')), point);
        QCOMPARE(Q(FrequencyText(kilohertz, ',')), comma);
    }

    void columnsByKind_data() {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("AC3 2/0 at 192 kbit/s")
            << Texts(AC3Columns({192000, 2, 48.0, 0}, '.'))
            << QStringList{"CH:2", "48.0 kHz", "192 Kbps", "Dolby 2.0", "1"};
        QTest::newRow("AC3 3/2 with LFE at 44.1 kHz")
            << Texts(AC3Columns({448000, 7, 44.1, 1}, '.'))
            << QStringList{"CH:6", "44.1 kHz", "448 Kbps", "Dolby 5.1", "1"};
        QTest::newRow("AC3 1+1") << Texts(AC3Columns({64000, 0, 32.0, 0}, '.'))
                                 << QStringList{"CH:2", "32.0 kHz", "64 Kbps", "Dolby 2.0", "1"};
        QTest::newRow("DTS 5.1, bit rate 754.5 rounds to even")
            << Texts(DTSColumns({15, 9, 1, 13}, '.'))
            << QStringList{"CH:6", "48.0 kHz", "754 Kbps", "DTS 5.1", "2"};
        QTest::newRow("DTS stereo at 44.1 kHz")
            << Texts(DTSColumns({24, 2, 0, 8}, '.'))
            << QStringList{"CH:2", "44.1 kHz", "1510 Kbps", "DTS 2.0", "2"};
        QTest::newRow("DTS user-defined arrangement counts no channels")
            << Texts(DTSColumns({15, 15, 0, 13}, '.'))
            << QStringList{"CH:0", "48.0 kHz", "754 Kbps", "DTS 0.0", "2"};
        QTest::newRow("MPEG audio 44.1 kHz rounds to 44")
            << Texts(MPAColumns({192, 44100, 0}, '.'))
            << QStringList{"CH:2", "44.0 kHz", "192 Kbps", "Stereo", "3"};
        QTest::newRow("MPEG audio mono 22.05 kHz")
            << Texts(MPAColumns({64, 22050, 3}, '.'))
            << QStringList{"CH:1", "22.0 kHz", "64 Kbps", "Mono", "3"};
        QTest::newRow("MPEG audio joint stereo 8 kHz")
            << Texts(MPAColumns({8, 8000, 1}, '.'))
            << QStringList{"CH:2", "8 kHz", "8 Kbps", "Joint Stereo", "3"};
        QTest::newRow("WAV 44.1 kHz 16 bits stereo")
            << Texts(WAVColumns({44100, 16, 2}, '.'))
            << QStringList{"CH:2", "44.1 kHz", "16 bits", "PCM", "0"};
        QTest::newRow("WAV with a comma") << Texts(WAVColumns({48000, 24, 6}, ','))
                                          << QStringList{"CH:6", "48,0 kHz", "24 bits", "PCM", "0"};
    }
    void columnsByKind() {
        QFETCH(QStringList, columns);
        QFETCH(QStringList, expected);
        QCOMPARE(columns, expected);
    }

    void theFirstMergeRowStaysInPlace_data() {
        QTest::addColumn<bool>("mergePage");
        QTest::addColumn<bool>("checkHeader");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("upRefused");
        QTest::addColumn<bool>("downRefused");
        QTest::addColumn<bool>("deleteRefused");
        QTest::newRow("row 0") << true << false << 0 << 3 << true << true << true;
        QTest::newRow("row 1") << true << false << 1 << 3 << true << false << false;
        QTest::newRow("middle row") << true << false << 2 << 4 << false << false << false;
        QTest::newRow("last row") << true << false << 3 << 4 << false << true << false;
        QTest::newRow("only row") << true << false << 0 << 1 << true << true << false;
        QTest::newRow("header check") << true << true << 0 << 3 << false << false << false;
        QTest::newRow("cut page") << false << false << 0 << 3 << false << false << false;
    }
    void theFirstMergeRowStaysInPlace() {
        QFETCH(bool, mergePage);
        QFETCH(bool, checkHeader);
        QFETCH(int, row);
        QFETCH(int, rows);
        QFETCH(bool, upRefused);
        QFETCH(bool, downRefused);
        QFETCH(bool, deleteRefused);
        QCOMPARE(AudioMoveRefused(MoveDirection::Up, mergePage, checkHeader, row, rows), upRefused);
        QCOMPARE(AudioMoveRefused(MoveDirection::Down, mergePage, checkHeader, row, rows),
                 downRefused);
        QCOMPARE(AudioDeleteRefused(mergePage, checkHeader, row, rows), deleteRefused);
    }

    void openFiltersKeepTheirNamesAndPatterns() {
        const auto durations = ParseFileFilter(kDurationsOpenFilter);
        QCOMPARE(durations.size(), std::size_t{10});
        QCOMPARE(Q(durations[3].name),
                 QStringLiteral(" Mpeg1, Mpeg2 Video (m1v, m2v, mpeg, mpg, mpv)"));
        QCOMPARE(durations[3].patterns.size(), std::size_t{8});
        const auto audio = ParseFileFilter(kAudioOpenFilter);
        QCOMPARE(audio.size(), std::size_t{7});
        QCOMPARE(Q(audio[5].name),
                 QStringLiteral(" Mpeg1, Mpeg2  Audio (mpa, mp2, mp1, m2a, m1a)"));

        const auto windows = ToolkitNameFilters(kAudioOpenFilter, false);
        const auto posix = ToolkitNameFilters(kAudioOpenFilter, true);
        QCOMPARE(windows.size(), audio.size());
        QCOMPARE(Q(windows[0]), QStringLiteral("All files (*.*) (*.*)"));
        QCOMPARE(Q(posix[0]), QStringLiteral("All files (*.*) (*)"));
        QCOMPARE(Q(posix[1]), QStringLiteral("All Data Files (*.ac3 *.dts *.wav *.mpa *.mp2 *.mp1 "
                                             "*.m2a *.m1a)"));
        for (std::size_t i = 1; i < audio.size(); ++i) {
            // Only "*.*" differs; every name comes first as it is.
            QCOMPARE(windows[i], posix[i]);
            QVERIFY(Q(posix[i]).startsWith(Q(audio[i].name + " (")));
        }
        QVERIFY(ParseFileFilter("").empty());
        QVERIFY(ParseFileFilter("Name only|").empty());
    }
};

QTEST_GUILESS_MAIN(ListRulesTest)
#include "tst_list_rules.moc"
