// The duration dialog, the merger object, the progress bar adapter and the message boxes.

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <limits>

#include "core/progress.h"
#include "ui/duration_form.h"
#include "ui/gui_host.h"
#include "ui/merger_form.h"
#include "ui/progress_bar_adapter.h"
#include "ui_test_support.h"

using namespace varnix;

class FormsTest : public QObject {
    Q_OBJECT
  private slots:
    void durationDialogShowsAndReadsItsFields() {
        TDurationForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Set Duration"));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(form.Edit(i)->text(), QStringLiteral("0"));
            QCOMPARE(form.Edit(i)->maxLength(), 2);
        }
        QVERIFY(form.OkButton()->isDefault());
        QCOMPARE(form.OkButton()->text(), QStringLiteral("Ok"));
        form.SetDialogDuration(MakeTimeCode(1, 2, 30, 0));
        QCOMPARE(form.Edit(2)->text(), QStringLiteral("30"));
        QCOMPARE(form.GetDialogDuration(), MakeTimeCode(1, 2, 30, 0));
        form.Edit(0)->clear();
        QTest::keyClicks(form.Edit(0), QStringLiteral("9x7"));  // the edit keeps two characters
        QCOMPARE(form.Edit(0)->text(), QStringLiteral("9x"));
        QCOMPARE(form.GetDialogDuration().hours, std::uint8_t{0});
    }

    void durationDialogClosesWithOkOrEscape() {
        TDurationForm form;
        QTimer::singleShot(0, &form, [&] { form.OkButton()->click(); });
        QCOMPARE(form.exec(), int{QDialog::Accepted});
        QTimer::singleShot(0, &form, [&] { QTest::keyClick(&form, Qt::Key_Escape); });
        QCOMPARE(form.exec(), int{QDialog::Rejected});
    }

    void mergerSwitchesBetweenWorkingAndIdle() {
        TAddToOneForm merger;
        QCOMPARE(merger.Edit10()->text(), QStringLiteral("/"));
        QVERIFY(!merger.ProcessButton()->isEnabled());
        QCOMPARE(merger.Readiness(), 0);
        QCOMPARE(merger.ListView1()->columnCount(), 6);
        QCOMPARE(merger.ListView1()->headerItem()->text(5), QStringLiteral("Type"));

        const QStringList switched = {"BitBtn4",      "ListView1",    "BitBtn1",      "BitBtn3",
                                      "SpeedButton1", "RadioButton1", "RadioButton2", "BitBtn6",
                                      "BitBtn7",      "BitBtn5",      "Edit10"};
        // A running merge's progress switches the controls.
        merger.ShowMergeProgress({0, 10, true});
        QVERIFY(merger.Busy());
        for (const QString& name : switched) {
            auto* control = merger.findChild<QWidget*>(name);
            QVERIFY2(control != nullptr, qPrintable(name));
            QVERIFY2(!control->isEnabled(), qPrintable(name));
        }
        QVERIFY(merger.CloseButton()->isEnabled());
        QCOMPARE(merger.CloseButton()->text(), QStringLiteral("Cancel"));

        merger.ShowMergeProgress({7, 10, true});
        QCOMPARE(merger.ProgressBar1()->value(), 7);
        merger.ShowMergeProgress({0, 0, false});
        QVERIFY(!merger.Busy());
        for (const QString& name : switched) {
            QVERIFY2(merger.findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        }
        QCOMPARE(merger.CloseButton()->text(), QStringLiteral("Close"));
        QCOMPARE(merger.ProgressBar1()->value(), 0);
    }

    void mergerShowsWhatItsOperationsDo() {
        TAddToOneForm merger;
        merger.SetResultName("/out/a_Merged");  // no file yet: readiness 2
        QCOMPARE(merger.Readiness(), 2);
        QVERIFY(!merger.ProcessButton()->isEnabled());
        merger.AddMergeFile("/in/a.ac3");
        merger.AddMergeFile("/in/b.mpeg");
        QVERIFY(merger.ProcessButton()->isEnabled());
        QCOMPARE(merger.ListView1()->topLevelItemCount(), 2);
        QCOMPARE(test::RowTexts(merger.ListView1()->topLevelItem(0), 4),
                 (QStringList{"/in/a.ac3", "?????", "?????", "AC3"}));
        QCOMPARE(merger.ListView1()->topLevelItem(1)->text(3), QStringLiteral(".MPEG"));
        merger.SetResultName("/out/b_Merged");
        QCOMPARE(merger.Edit10()->text(), QStringLiteral("/out/b_Merged.ac3"));
        merger.SetResultName("/");  // the root is ignored
        QCOMPARE(merger.Edit10()->text(), QStringLiteral("/out/b_Merged.ac3"));
        merger.ResetMerger();
        QCOMPARE(merger.ListView1()->topLevelItemCount(), 0);
        QCOMPARE(merger.Edit10()->text(), QStringLiteral("/"));
        QVERIFY(!merger.ProcessButton()->isEnabled());
        // The main window's Cancel sets the merger's flag; the next run clears it.
        merger.Abort() = 1;
        merger.ShowMergeProgress({0, 1, true});
        QCOMPARE(int{merger.Abort()}, 0);
    }

    void mergerReadinessEnablesProcessOnceAFileAndAResultNameAreThere() {
        MergerState first;  // a file, then a result name
        first.AddMergeFile("/in/a.ac3");
        QCOMPARE(first.readiness(), 1);
        QVERIFY(!first.processEnabled());
        first.SetResultName(PlatformRoot());  // ignored, readiness too
        QCOMPARE(first.readiness(), 1);
        QCOMPARE(first.resultName(), PlatformRoot());
        first.SetResultName("/out/r.ac3");
        QVERIFY(first.processEnabled());
        first.ResetMerger();
        QVERIFY(!first.processEnabled());
        QVERIFY(first.files().empty());
        QCOMPARE(first.resultName(), PlatformRoot());

        MergerState empty;  // nothing listed: a name stays without extension
        empty.SetResultName("/out/plain");
        QCOMPARE(empty.resultName(), std::string("/out/plain"));
        QCOMPARE(empty.readiness(), 2);
        QCOMPARE(MergeExtensionText("a.Ac3"), std::string("AC3"));
        empty.AddMergeFile("/in/noext");
        QCOMPARE(empty.files().back().columns, (std::array<std::string, 3>{"?????", "?????", ""}));
    }

    void mergerUsesALentProgressBarUntilReturned() {
        TAddToOneForm merger;
        ProgressState lent;
        lent.setMaximum(100);
        lent.setPosition(40);
        merger.LendProgressBar(&lent);
        QCOMPARE(&merger.Progress(), static_cast<ProgressIndicator*>(&lent));
        merger.ShowMergeProgress({3, 10, true});
        QCOMPARE(lent.maximum(), std::int64_t{10});
        QCOMPARE(lent.position(), std::int64_t{3});
        merger.ShowMergeProgress({0, 0, false});  // the bar in use goes to its minimum
        QCOMPARE(lent.position(), std::int64_t{0});
        merger.ReturnProgressBar();
        QVERIFY(&merger.Progress() != static_cast<ProgressIndicator*>(&lent));
        merger.Progress().setMaximum(4);
        merger.Progress().setPosition(3);
        merger.ShowMergerState();
        QCOMPARE(merger.ProgressBar1()->maximum(), 4);
        QCOMPARE(merger.ProgressBar1()->value(), 3);
        QCOMPARE(lent.maximum(), std::int64_t{0});
    }

    void progressBarScalesLargeRanges_data() {
        QTest::addColumn<qint64>("maximum");
        QTest::newRow("small") << qint64{1000};
        QTest::newRow("largest int") << qint64{std::numeric_limits<int>::max()};
        QTest::newRow("4 GiB") << (qint64{4} << 30);
        QTest::newRow("1 TiB") << (qint64{1} << 40);
        QTest::newRow("largest") << qint64{std::numeric_limits<qint64>::max()};
    }
    void progressBarScalesLargeRanges() {
        QFETCH(qint64, maximum);
        QProgressBar bar;
        ProgressBarAdapter adapter(&bar);
        adapter.setMinimum(0);
        adapter.setMaximum(maximum);
        QCOMPARE(adapter.shift() == 0, maximum <= std::numeric_limits<int>::max());
        for (int quarter = 0; quarter <= 4; ++quarter) {
            const qint64 position = maximum / 4 * quarter;
            adapter.setPosition(position);
            QCOMPARE(adapter.position(), position);
            // The bar shows the same share of its range as the position of the full range.
            const double shown =
                double(bar.value() - bar.minimum()) / (bar.maximum() - bar.minimum());
            QVERIFY2(qAbs(shown - double(position) / double(maximum)) < 1e-6,
                     qPrintable(QString::number(shown)));
        }
    }

    void progressBarWithAnEmptyRangeIsNoBusyIndicator() {
        QProgressBar bar;
        ProgressBarAdapter adapter(&bar);
        adapter.setMaximum(0);
        adapter.setMinimum(0);
        QVERIFY(bar.maximum() > bar.minimum());
        QCOMPARE(bar.value(), bar.minimum());
        adapter.setMaximum(50);
        adapter.setPosition(80);  // beyond the end: the bar is full, the position kept
        QCOMPARE(bar.value(), 50);
        QCOMPARE(adapter.position(), std::int64_t{80});
    }

    void messageBoxesUseTheIconTitleTextAndButtons() {
        QCOMPARE(MessageBoxIcon(MessageIcon::None), QMessageBox::NoIcon);
        QCOMPARE(MessageBoxIcon(MessageIcon::Information), QMessageBox::Information);
        QCOMPARE(MessageBoxIcon(MessageIcon::Warning), QMessageBox::Warning);
        QCOMPARE(MessageBoxIcon(MessageIcon::Error), QMessageBox::Critical);

        GuiHost host;
        for (bool ok : {true, false}) {
            QString seen;
            QMessageBox::StandardButtons buttons;
            QTimer::singleShot(0, [&, ok] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                seen = box->windowTitle() + QLatin1Char('|') + box->text();
                buttons = box->standardButtons();
                QCOMPARE(box->icon(), QMessageBox::Warning);
                box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
            });
            QCOMPARE(host.confirm(MessageIcon::Warning, "Warning!", "Abort current operation ?"),
                     ok);
            QCOMPARE(seen, QStringLiteral("Warning!|Abort current operation ?"));
            QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);
        }

        QMessageBox::StandardButtons buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            buttons = box->standardButtons();
            QCOMPARE(box->icon(), QMessageBox::Critical);
            box->button(QMessageBox::Ok)->click();
        });
        host.showMessage(MessageIcon::Error, "Error!", "Result file can not be created!");
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void pumpingRunsPendingWork() {
        bool ran = false;
        QMetaObject::invokeMethod(
            qApp, [&] { ran = true; }, Qt::QueuedConnection);
        ProcessPendingEvents();
        QVERIFY(ran);
    }
};

QTEST_MAIN(FormsTest)
#include "tst_forms.moc"
