// The window's rules that need no widget.

#include <QTest>
#include <filesystem>
#include <fstream>

#include "core/progress.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "ui/duration_rules.h"
#include "ui/window_rules.h"
#include "ui/window_state.h"
#include "ui_test_support.h"

using namespace varnix;
using test::Q;

Q_DECLARE_METATYPE(varnix::TimeCode)
Q_DECLARE_METATYPE(varnix::TvSystem)

namespace {

TimeCode TC(int h, int m, int s, int f) {
    return MakeTimeCode(h, m, s, f);
}

}  // namespace

class WindowRulesTest : public QObject {
    Q_OBJECT
  private slots:
    void destinationRules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("posix");
        QTest::addColumn<bool>("windows");
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("one character") << "C" << false << false;
        QTest::newRow("root") << "/" << true << false;
        QTest::newRow("drive") << "D:" << false << true;
        QTest::newRow("drive root") << "C:\\" << false << true;
        QTest::newRow("three without colon") << "ab\\" << false << false;
        QTest::newRow("two without colon") << "ab" << false << false;
        QTest::newRow("long relative") << "abcd" << false << true;
        QTest::newRow("absolute folder") << "/home/user/out/" << true << true;
        QTest::newRow("relative folder") << "out/pieces" << false << true;
    }
    void destinationRules() {
        QFETCH(QString, text);
        QFETCH(bool, posix);
        QFETCH(bool, windows);
        QCOMPARE(DestinationAllowsProcessPosix(text.toStdString()), posix);
        QCOMPARE(DestinationAllowsProcessWindows(text.toStdString()), windows);
    }

    void processNeedsRowsOnThePageShownAndDurations_data() {
        QTest::addColumn<bool>("mergePage");
        QTest::addColumn<int>("cutRows");
        QTest::addColumn<int>("mergeRows");
        QTest::addColumn<int>("durationRows");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("cut page filled") << false << 2 << 0 << 1 << true;
        QTest::newRow("cut page empty") << false << 0 << 3 << 1 << false;
        QTest::newRow("merge page filled") << true << 0 << 1 << 4 << true;
        QTest::newRow("merge page empty") << true << 5 << 0 << 4 << false;
        QTest::newRow("no durations") << false << 2 << 2 << 0 << false;
    }
    void processNeedsRowsOnThePageShownAndDurations() {
        QFETCH(bool, mergePage);
        QFETCH(int, cutRows);
        QFETCH(int, mergeRows);
        QFETCH(int, durationRows);
        QFETCH(bool, enabled);
        ProcessInputs inputs{mergePage, cutRows, mergeRows, durationRows, PlatformRoot() + "out"};
        QCOMPARE(ProcessEnabled(inputs), enabled);
        inputs.destination.clear();
        QVERIFY(!ProcessEnabled(inputs));
    }

    void leavingTheDestinationAppendsASeparator_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("left");
        QTest::newRow("empty stays") << ""
                                     << "";
        QTest::newRow("two characters stay") << "D:"
                                             << "D:";
        QTest::newRow("short absolute stays") << "/a"
                                              << "/a";
        QTest::newRow("folder gets one") << "/tmp/x"
                                         << "/tmp/x/";
        QTest::newRow("folder with one stays") << "/tmp/x/"
                                               << "/tmp/x/";
        QTest::newRow("three characters get one") << "abc"
                                                  << "abc/";
    }
    void leavingTheDestinationAppendsASeparator() {
        QFETCH(QString, text);
        QFETCH(QString, left);
        QCOMPARE(QString::fromStdString(DestinationTextOnLeave(text.toStdString())), left);
        // Leaving twice changes nothing more.
        QCOMPARE(QString::fromStdString(
                     DestinationTextOnLeave(DestinationTextOnLeave(text.toStdString()))),
                 left);
    }

    void statusTexts() {
        QCOMPARE(Q(PositionText(3, 12)), QStringLiteral("   3 / 12"));
        QCOMPARE(Q(TotalTimeText(TC(1, 2, 3, 4), TvSystem::Ntsc)),
                 QStringLiteral("   Total time: 01:02:03.04 (NTSC)"));
        QCOMPARE(Q(TotalTimeText(TC(0, 0, 0, 0), TvSystem::Pal)),
                 QStringLiteral("   Total time: 00:00:00.00 (PAL)"));
    }

    void totalsCarryFramesAtTheSystemRate_data() {
        QTest::addColumn<TvSystem>("system");
        QTest::addColumn<TimeCode>("a");
        QTest::addColumn<TimeCode>("b");
        QTest::addColumn<TimeCode>("total");
        QTest::newRow("PAL frames carry at 25")
            << TvSystem::Pal << TC(0, 0, 0, 24) << TC(0, 0, 0, 1) << TC(0, 0, 1, 0);
        QTest::newRow("NTSC frames carry at 30")
            << TvSystem::Ntsc << TC(0, 0, 0, 29) << TC(0, 0, 0, 1) << TC(0, 0, 1, 0);
        QTest::newRow("minutes carry into hours")
            << TvSystem::Ntsc << TC(0, 59, 59, 29) << TC(0, 0, 0, 1) << TC(1, 0, 0, 0);
        QTest::newRow("NTSC entries under PAL")
            << TvSystem::Pal << TC(0, 0, 0, 20) << TC(0, 0, 0, 10) << TC(0, 0, 1, 5);
    }
    void totalsCarryFramesAtTheSystemRate() {
        QFETCH(TvSystem, system);
        QFETCH(TimeCode, a);
        QFETCH(TimeCode, b);
        QFETCH(TimeCode, total);
        QCOMPARE(DurationsTotal({a, b}, system), total);
        QCOMPARE(AudioTotal({a, b}, system), total);
        // A row without a duration counts nothing.
        QCOMPARE(DurationsTotal({a, TimeCode::None(), b}, system), total);
        QCOMPARE(AudioTotal({TimeCode::None(), a, b}, system), total);
    }

    void emptyListsTotalZero() {
        QCOMPARE(DurationsTotal({}, TvSystem::Ntsc), TimeCode{});
        QCOMPARE(AudioTotal({}, TvSystem::Pal), TimeCode{});
    }

    void firstMergeRowLock() {
        QVERIFY(FirstMergeRowLocked(true, false, 2, 0));
        QVERIFY(FirstMergeRowLocked(true, false, 1, 0));
        QVERIFY(!FirstMergeRowLocked(true, true, 2, 0));    // header check on
        QVERIFY(!FirstMergeRowLocked(false, false, 2, 0));  // cut page
        QVERIFY(!FirstMergeRowLocked(true, false, 2, 1));   // another row
        QVERIFY(!FirstMergeRowLocked(true, false, 0, 0));   // empty list
    }

    void dialogFields_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("number") << "12" << 12;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("letters") << "ab" << 0;
        QTest::newRow("digits then letter") << "1a" << 0;
        QTest::newRow("spaces around") << " 7 " << 7;
        QTest::newRow("negative keeps low byte") << "-1" << 255;
        QTest::newRow("large keeps low byte") << "300" << 44;
        QTest::newRow("sign only") << "-" << 0;
    }
    void dialogFields() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(int{DialogFieldValue(text.toStdString())}, value);
    }

    void dialogDurationRoundTrips() {
        for (int h = 0; h < 100; h += 7) {
            for (int f = 0; f < 100; f += 3) {
                const TimeCode tc = TC(h, (h * 3) % 60, (f * 7) % 60, f);
                QCOMPARE(GetDialogDuration(SetDialogDuration(tc)), tc);
            }
        }
        QCOMPARE(SetDialogDuration(TC(1, 2, 30, 0)), (DurationFields{"1", "2", "30", "0"}));
    }

    void tablesKeepTheirIndices() {
        WindowTables tables;
        QCOMPARE(tables.AddFilePath("/a.ac3"), 0);
        QCOMPARE(tables.AddFilePath("/b.ac3"), 1);
        QCOMPARE(tables.AddDuration({TC(0, 0, 1, 0), TC(0, 0, 1, 1)}), 0);
        QCOMPARE(Q(tables.PathAt(1)), QStringLiteral("/b.ac3"));
        QCOMPARE(Q(tables.PathAt(-1)), QString());
        QCOMPARE(Q(tables.PathAt(2)), QString());
        QVERIFY(tables.DurationAt(1) == nullptr);
        QCOMPARE(tables.DurationAt(0)->ForSystem(TvSystem::Pal), TC(0, 0, 1, 0));
        QCOMPARE(tables.DurationAt(0)->ForSystem(TvSystem::Ntsc), TC(0, 0, 1, 1));
        tables.Clear();
        QCOMPARE(Q(tables.PathAt(0)), QString());
        QCOMPARE(tables.DurationCount(), 0);
    }
};

QTEST_GUILESS_MAIN(WindowRulesTest)
#include "tst_window_rules.moc"
