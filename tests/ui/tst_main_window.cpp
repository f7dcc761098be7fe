// The main window driven as a user drives it: start-up, settings and geometry, closing, the
// destination folder, the Process rule, the busy state, Cancel, the timer and the status bar.

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "support/recording_host.h"
#include "ui/app_forms.h"
#include "ui/list_roles.h"
#include "ui/window_rules.h"
#include "ui_test_support.h"
#include "varnix_version.h"

using namespace varnix;

namespace {

const QString kHome = QDir::homePath() + QLatin1Char('/');
const QString kCloseQuestion = QStringLiteral("Are you realy want to close Varnix ?");

QStringList HeaderTexts(const QTreeWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->columnCount(); ++i) {
        texts << list->headerItem()->text(i);
    }
    return texts;
}

DurationPair Pair(TimeCode pal, TimeCode ntsc) {
    return DurationPair{pal, ntsc};
}

}  // namespace

class MainWindowTest : public QObject, protected test::WindowFixture {
    Q_OBJECT
  private:
    // Closes the window, answering OK to the close question.
    void CloseWithOk(TAC3Splitter& window) {
        host_->answers = {true};
        QVERIFY(window.close());
    }
    // A window with one duration and one file on each page, so that Process can be enabled.
    void FillLists(TAC3Splitter& w) {
        const auto pair = Pair(MakeTimeCode(0, 0, 10, 0), MakeTimeCode(0, 0, 10, 0));
        test::AddRow(w, w.ListView1, QStringLiteral("1"), {}, pair);
        test::AddRow(w, w.ListView2, QStringLiteral("a.ac3"), "/in/a.ac3", pair);
        test::AddRow(w, w.ListView3, QStringLiteral("b.ac3"), "/in/b.ac3", pair);
    }

  private slots:
    void init() { SetUpWindowFixture(); }
    void cleanup() { TearDownWindowFixture(); }

    void startUpCreatesTheWindowAndItsForms() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        QCOMPARE(w.windowTitle(), QStringLiteral("Varnix Freeware"));
        QCOMPARE(w.DurationForm(), forms.DurationForm.get());
        QCOMPARE(w.MergerForm(), forms.AddToOneForm.get());
        QCOMPARE(w.AboutForm(), forms.SplitterAboutForm.get());
        QCOMPARE(forms.DurationForm->windowTitle(), QStringLiteral("Set Duration"));
        QCOMPARE(forms.SplitterAboutForm->windowTitle(), QStringLiteral("About Varnix Freeware"));
        // The merger object lives on hidden.
        QCOMPARE(forms.AddToOneForm->windowTitle(), QStringLiteral("Add media files to one"));
        QVERIFY(!forms.AddToOneForm->isVisible());
        QCOMPARE(forms.AddToOneForm->Edit10()->text(), QStringLiteral("/"));

        QCOMPARE(HeaderTexts(w.ListView1),
                 (QStringList{QStringLiteral("?"), QStringLiteral("File name"),
                              QStringLiteral("Time")}));
        const QStringList audioColumns = {QStringLiteral("File name"), QStringLiteral("Time"),
                                          QStringLiteral("Channels"),  QStringLiteral("Frequency"),
                                          QStringLiteral("Bit Rate"),  QStringLiteral("System")};
        QCOMPARE(HeaderTexts(w.ListView2), audioColumns);
        QCOMPARE(HeaderTexts(w.ListView3), audioColumns);
        QCOMPARE(w.PageControl1->tabText(0), QStringLiteral("Cut every file from list"));
        QCOMPARE(w.PageControl1->tabText(1), QStringLiteral("Merge all files before processing"));
        QCOMPARE(w.Label1->text(), QStringLiteral("Set times from files or input manualy"));
        for (TDropList* list :
             {static_cast<TDropList*>(w.ListView1), static_cast<TDropList*>(w.ListView2),
              static_cast<TDropList*>(w.ListView3)}) {
            QCOMPARE(list->editTriggers(), QAbstractItemView::NoEditTriggers);
            QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
            QVERIFY(!list->header()->sectionsClickable());
            QVERIFY(!list->isSortingEnabled());
            QVERIFY(list->acceptDrops());
        }

        const QList<QPair<const char*, const char*>> hints = {
            {"BitBtn1", "Add duration from file"},
            {"BitBtn12", "Add virtual duration time"},
            {"BitBtn3", "Delete file"},
            {"BitBtn6", "Move up"},
            {"BitBtn7", "Move down"},
            {"BitBtn2", "Add file..."},
            {"BitBtn4", "Delete file..."},
            {"BitBtn8", "Move up"},
            {"BitBtn9", "Move down"},
            {"BitBtn5", "Select destination folder"}};
        for (const auto& [name, hint] : hints) {
            auto* button = w.findChild<QPushButton*>(QString::fromLatin1(name));
            QVERIFY2(button != nullptr, name);
            QCOMPARE(button->toolTip(), QString::fromLatin1(hint));
            QVERIFY(!button->icon().isNull());
        }
        const QList<QPair<const char*, const char*>> captions = {
            {"BitBtn13", "  Help"},
            {"BitBtn14", " About"},
            {"BitBtn10", "Process"},
            {"BitBtn11", "Close"},
            {"SpeedButton3", "Clear all"},
            {"SpeedButton4", "Clear all"},
            {"CheckBox1", "Check file format header"},
            {"RadioButton1", "NTSC"},
            {"RadioButton2", "PAL"}};
        for (const auto& [name, caption] : captions) {
            auto* button = w.findChild<QAbstractButton*>(QString::fromLatin1(name));
            QVERIFY2(button != nullptr, name);
            QCOMPARE(button->text(), QString::fromLatin1(caption));
        }
        QCOMPARE(w.GroupBox1->title(), QStringLiteral(" System "));
        for (const std::string& name : IdleEnabledControls()) {
            QVERIFY2(w.findChild<QWidget*>(QString::fromStdString(name)) != nullptr, name.c_str());
        }
        for (const QString& name : WindowControlNames() + Panel6ControlNames()) {
            QVERIFY2(w.findChild<QWidget*>(name) != nullptr, qPrintable(name));
        }
        QVERIFY(w.RadioButton1->isChecked());
        QVERIFY(!w.BitBtn10->isEnabled());
        QVERIFY(w.CheckBox1->isHidden());
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 250);
        QVERIFY(w.ActiveList == nullptr);
    }

    void firstStartWritesTheDefaults() {
        QVERIFY(!settings_->fileExists());
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        QVERIFY(settings_->fileExists());
        QCOMPARE(settings_->value(QStringLiteral("SplitterModeNTSC")).toInt(), 1);
        QCOMPARE(settings_->value(QStringLiteral("CheckHeader")).toInt(), 0);
        QCOMPARE(settings_->value(QStringLiteral("OpenPath1")).toString(), QString());
        QCOMPARE(settings_->value(QStringLiteral("OpenPath2")).toString(), QString());
        QCOMPARE(settings_->value(QStringLiteral("ProcessPath")).toString(), kHome);
        QCOMPARE(settings_->value(QStringLiteral("ActivePage")).toInt(), 0);
        // The geometry is written on closing only.
        QVERIFY(!settings_->value(QStringLiteral("Positions/FormTop")).isValid());
        QCOMPARE(w.size(), TAC3Splitter::kDesignedClientSize.boundedTo(
                               w.screen()->availableGeometry().size()));
        QCOMPARE(w.Edit1->text(), kHome);
        QCOMPARE(w.State().SystemRate, TvSystem::Ntsc);
    }

    void settingsAndGeometryRoundTrip() {
        const QRect geometry(40, 50, 900, 700);
        const QString destination = QStringLiteral("/tmp/varnix, out/");
        QList<int> splitterSizes;
        {
            VarnixForms forms = Start();
            TAC3Splitter& w = *forms.AC3Splitter;
            w.RadioButton2->click();
            QCOMPARE(w.State().SystemRate, TvSystem::Pal);
            w.PageControl1->setCurrentIndex(1);
            w.CheckBox1->click();
            w.Edit1->setText(destination);
            w.setGeometry(geometry);
            w.ListView1->setColumnWidth(1, 201);
            w.ListView2->setColumnWidth(5, 123);
            w.ListView3->setColumnWidth(0, 77);
            w.Splitter1->setSizes({520, 360});
            splitterSizes = w.Splitter1->sizes();
            CloseWithOk(w);
        }
        QCOMPARE(settings_->value(QStringLiteral("Positions/ListView2Col6Width")).toInt(), 123);
        QCOMPARE(settings_->value(QStringLiteral("Positions/FormPos")).toInt(), 0);
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        QVERIFY(w.RadioButton2->isChecked());
        QCOMPARE(w.State().SystemRate, TvSystem::Pal);
        QCOMPARE(w.PageControl1->currentIndex(), 1);
        QVERIFY(w.CheckBox1->isChecked());
        QVERIFY(!w.CheckBox1->isHidden());
        QCOMPARE(w.Edit1->text(), destination);
        QCOMPARE(w.geometry(), geometry);
        QCOMPARE(w.ListView1->columnWidth(1), 201);
        QCOMPARE(w.ListView2->columnWidth(5), 123);
        QCOMPARE(w.ListView3->columnWidth(0), 77);
        QCOMPARE(w.Splitter1->sizes(), splitterSizes);
    }

    void maximisedWindowOpensMaximised() {
        {
            VarnixForms forms = Start();
            forms.AC3Splitter->showMaximized();
            QVERIFY(forms.AC3Splitter->isMaximized());
            CloseWithOk(*forms.AC3Splitter);
        }
        QCOMPARE(settings_->value(QStringLiteral("Positions/FormPos")).toInt(), 1);
        VarnixForms forms = Start();
        QVERIFY(forms.AC3Splitter->isMaximized());
    }

    void missingGeometryValueEndsLoadingQuietly() {
        settings_->writeFile(
            "[Positions]\nFormPos=0\nFormTop=20\nFormLeft=30\nFormWidth=700\nFormHeight=500\n");
        VarnixForms forms = Start();
        QCOMPARE(forms.AC3Splitter->geometry(), QRect(30, 20, 700, 500));
        QVERIFY(host_->messages.empty());
    }

    void emptyDestinationResetsEverySettingUntilClosing() {
        settings_->writeFile(
            "[General]\nSplitterModeNTSC=0\nCheckHeader=1\nOpenPath1=/video/\nOpenPath2=/audio/\n"
            "ProcessPath=\nActivePage=1\n");
        {
            VarnixForms forms = Start();
            TAC3Splitter& w = *forms.AC3Splitter;
            QVERIFY(w.RadioButton1->isChecked());
            QCOMPARE(w.State().SystemRate, TvSystem::Ntsc);
            QCOMPARE(w.PageControl1->currentIndex(), 0);
            QVERIFY(!w.CheckBox1->isChecked());
            QCOMPARE(w.Edit1->text(), kHome);
            QVERIFY(w.Settings().openPath1.isEmpty());
            // Nothing is written before the window closes.
            QCOMPARE(settings_->value(QStringLiteral("SplitterModeNTSC")).toInt(), 0);
            QCOMPARE(settings_->value(QStringLiteral("OpenPath1")).toString(),
                     QStringLiteral("/video/"));
            CloseWithOk(w);
        }
        QCOMPARE(settings_->value(QStringLiteral("SplitterModeNTSC")).toInt(), 1);
        QCOMPARE(settings_->value(QStringLiteral("CheckHeader")).toInt(), 0);
        QCOMPARE(settings_->value(QStringLiteral("OpenPath1")).toString(), QString());
        QCOMPARE(settings_->value(QStringLiteral("ProcessPath")).toString(), kHome);
        QCOMPARE(settings_->value(QStringLiteral("ActivePage")).toInt(), 0);
    }

    void badSettingsAreReplacedByTheDefaultsAtOnce_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("flag as a word") << QByteArray(
            "[General]\nSplitterModeNTSC=0\nCheckHeader=yes\nOpenPath1=\nOpenPath2=\n"
            "ProcessPath=/srv/out/\nActivePage=1\n");
        QTest::newRow("missing value") << QByteArray(
            "[General]\nSplitterModeNTSC=0\nCheckHeader=0\nProcessPath=/srv/out/\nActivePage=1\n");
        QTest::newRow("page out of range") << QByteArray(
            "[General]\nSplitterModeNTSC=0\nCheckHeader=0\nOpenPath1=\nOpenPath2=\n"
            "ProcessPath=/srv/out/\nActivePage=7\n");
        QTest::newRow("garbage") << QByteArray(
            "\x01\x02\xff[[[\nSplitterModeNTSC=@Variant(\x00\x00)\n=\n[General\nActivePage");
    }
    void badSettingsAreReplacedByTheDefaultsAtOnce() {
        QFETCH(QByteArray, content);
        settings_->writeFile(content);
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        QVERIFY(w.RadioButton1->isChecked());
        QCOMPARE(w.PageControl1->currentIndex(), 0);
        QCOMPARE(w.Edit1->text(), kHome);
        QCOMPARE(settings_->value(QStringLiteral("SplitterModeNTSC")).toInt(), 1);
        QCOMPARE(settings_->value(QStringLiteral("CheckHeader")).toInt(), 0);
        QCOMPARE(settings_->value(QStringLiteral("ProcessPath")).toString(), kHome);
        QCOMPARE(settings_->value(QStringLiteral("ActivePage")).toInt(), 0);
        QVERIFY(host_->messages.empty());
    }

    void closeAsksAndCancelSavesNothing() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        w.RadioButton2->click();
        host_->answers = {false};
        w.BitBtn11->click();
        QVERIFY(w.isVisible());
        QCOMPARE(host_->messages.size(), std::size_t{1});
        const auto& question = host_->messages.back();
        QVERIFY(question.question);
        QCOMPARE(question.icon, MessageIcon::Warning);
        QCOMPARE(QString::fromStdString(question.title), QStringLiteral("Warning!"));
        QCOMPARE(QString::fromStdString(question.text), kCloseQuestion);
        QCOMPARE(settings_->value(QStringLiteral("SplitterModeNTSC")).toInt(), 1);
        QVERIFY(!settings_->value(QStringLiteral("Positions/FormPos")).isValid());

        CloseWithOk(w);
        QVERIFY(!w.isVisible());
        QCOMPARE(settings_->value(QStringLiteral("SplitterModeNTSC")).toInt(), 0);
        QVERIFY(settings_->value(QStringLiteral("Positions/FormPos")).isValid());
    }

    void escapeAnywhereMakesACloseRequest() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const QList<QWidget*> targets = {w.Edit1,        w.ListView1, w.ListView2,
                                         w.RadioButton2, w.BitBtn14,  &w};
        for (QWidget* target : targets) {
            host_->answers = {false};
            QTest::keyClick(target, Qt::Key_Escape);
        }
        QCOMPARE(host_->messages.size(), static_cast<std::size_t>(targets.size()));
        for (const auto& message : host_->messages) {
            QCOMPARE(QString::fromStdString(message.text), kCloseQuestion);
        }
        QVERIFY(w.isVisible());
        host_->answers = {true};
        QTest::keyClick(w.ListView3, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    void windowKeepsItsMinimumSize() {
        VarnixForms forms = Start();
        forms.AC3Splitter->resize(100, 100);
        QVERIFY(forms.AC3Splitter->width() >= 640);
        QVERIFY(forms.AC3Splitter->height() >= 480);
    }

    void processFollowsTheDestinationText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("afterLeaving");
        QTest::newRow("root") << "/" << true << "/";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("relative") << "out" << false << "out/";
        QTest::newRow("drive letter") << "C:" << false << "C:";
        QTest::newRow("folder") << "/tmp/x" << true << "/tmp/x/";
        QTest::newRow("short folder") << "/a" << true << "/a";
    }
    void processFollowsTheDestinationText() {
        QFETCH(QString, typed);
        QFETCH(bool, enabled);
        QFETCH(QString, afterLeaving);
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        FillLists(w);
        w.Edit1->setText(QStringLiteral("x"));
        QTest::keyClick(w.Edit1, Qt::Key_Backspace);
        QVERIFY(!w.BitBtn10->isEnabled());
        QTest::keyClicks(w.Edit1, typed);
        QCOMPARE(w.BitBtn10->isEnabled(), enabled);
        test::SendFocus(w.Edit1, QEvent::FocusOut);
        QCOMPARE(w.Edit1->text(), afterLeaving);
    }

    void processNeedsRowsOnThePageShown() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const auto pair = Pair(MakeTimeCode(0, 0, 1, 0), MakeTimeCode(0, 0, 1, 0));
        w.Edit1->setText(QStringLiteral("/out/"));
        test::AddRow(w, w.ListView2, QStringLiteral("a.ac3"), "/in/a.ac3", pair);
        QVERIFY(w.UpdateProcessEnabled());  // no durations yet
        test::AddRow(w, w.ListView1, QStringLiteral("1"), {}, pair);
        QVERIFY(!w.UpdateProcessEnabled());
        QVERIFY(w.BitBtn10->isEnabled());
        w.PageControl1->setCurrentIndex(1);  // the merge list is empty
        QVERIFY(!w.BitBtn10->isEnabled());
        w.PageControl1->setCurrentIndex(0);
        QVERIFY(w.BitBtn10->isEnabled());
    }

    void destinationFolderButton() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const QString temp = test::Q(dir_->path().string());
        QString title;
        QString start;
        QString answer = temp + QStringLiteral("/chosen");
        w.SetFolderPicker([&](QWidget*, const QString& t, const QString& s) {
            title = t;
            start = s;
            return answer;
        });
        w.Edit1->setText(temp);
        w.BitBtn5->click();
        QCOMPARE(title, QStringLiteral("Select destination path:"));
        QCOMPARE(start, temp);
        QCOMPARE(w.Edit1->text(), temp + QStringLiteral("/chosen/"));
        QCOMPARE(w.Settings().processPath, w.Edit1->text());

        w.Edit1->setText(QStringLiteral("/no/such/folder/"));
        answer = QStringLiteral("/");
        w.BitBtn5->click();
        QCOMPARE(start, QString());
        QCOMPARE(w.Edit1->text(), QStringLiteral("/"));

        answer.clear();  // the browser was cancelled
        w.BitBtn5->click();
        QCOMPARE(w.Edit1->text(), QStringLiteral("/"));
    }

    void busyStateDisablesExactlyItsControls() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        w.Timer1->stop();
        w.EndBusy();
        const QList<QWidget*> all = w.findChildren<QWidget*>();
        QSet<QWidget*> enabledBefore;
        for (QWidget* widget : all) {
            if (widget->isEnabled()) {
                enabledBefore.insert(widget);
            }
        }
        QSet<QWidget*> expected;
        const QStringList busyControls = {
            "PageControl1", "BitBtn2",      "BitBtn4",   "BitBtn8",      "BitBtn9",
            "BitBtn1",      "BitBtn12",     "BitBtn3",   "RadioButton1", "RadioButton2",
            "SpeedButton3", "SpeedButton4", "BitBtn6",   "BitBtn7",      "BitBtn5",
            "Edit1",        "BitBtn10",     "CheckBox1", "Panel1"};
        for (const QString& name : busyControls) {
            auto* control = w.findChild<QWidget*>(name);
            QVERIFY2(control != nullptr, qPrintable(name));
            expected.insert(control);
            for (QWidget* inner : control->findChildren<QWidget*>()) {
                expected.insert(inner);
            }
        }
        expected.intersect(enabledBefore);

        w.Progress().setMaximum(1000);
        w.Progress().setPosition(600);
        w.BeginBusy();
        QSet<QWidget*> disabled;
        for (QWidget* widget : enabledBefore) {
            if (!widget->isEnabled()) {
                disabled.insert(widget);
            }
        }
        QCOMPARE(disabled, expected);
        QVERIFY(w.BitBtn11->isEnabled());
        QCOMPARE(w.BitBtn11->text(), QStringLiteral("Cancel"));

        w.EndBusy();
        for (QWidget* widget : enabledBefore) {
            QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
        }
        QCOMPARE(w.BitBtn11->text(), QStringLiteral("Close"));
        QCOMPARE(w.Progress().position(), w.Progress().minimum());
        QCOMPARE(w.ProgressBar1->value(), w.ProgressBar1->minimum());
    }

    void cancelWhileBusyAsksThenAborts() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        w.Timer1->stop();
        w.State().Busy = 1;
        w.BeginBusy();
        host_->answers = {false};
        w.BitBtn11->click();
        QCOMPARE(int{w.State().Busy}, 1);
        QCOMPARE(int{w.State().AbortFlag}, 0);
        QCOMPARE(w.BitBtn11->text(), QStringLiteral("Cancel"));
        const auto& question = host_->messages.back();
        QVERIFY(question.question);
        QCOMPARE(question.icon, MessageIcon::Information);
        QCOMPARE(QString::fromStdString(question.title), QStringLiteral("Warning!"));
        QCOMPARE(QString::fromStdString(question.text),
                 QStringLiteral("Abort current operation ?"));

        host_->answers = {true};
        w.BitBtn11->click();
        QCOMPARE(int{w.State().Busy}, 0);
        QCOMPARE(int{w.State().AbortFlag}, 1);
        QCOMPARE(int{forms.AddToOneForm->Abort()}, 1);
        QCOMPARE(w.BitBtn11->text(), QStringLiteral("Close"));
        QVERIFY(w.PageControl1->isEnabled());
        QVERIFY(w.isVisible());  // Cancel does not close the window
    }

    void closingWhileBusyStopsTheJob() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        w.State().Busy = 1;
        w.BeginBusy();
        host_->answers = {false};
        QVERIFY(!w.close());
        QCOMPARE(int{w.State().AbortFlag}, 0);
        CloseWithOk(w);
        QCOMPARE(int{w.State().AbortFlag}, 1);
        QCOMPARE(int{forms.AddToOneForm->Abort()}, 1);
    }

    void timerKeepsTheListCommandsInStep() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        w.Timer1->stop();  // each tick is the handler's call below
        auto& d = w.PopupMenu1Items;
        auto& a = w.PopupMenu2Items;
        // Empty lists: every command of theirs goes off at the next tick.
        for (QWidget* control :
             {static_cast<QWidget*>(w.BitBtn3), static_cast<QWidget*>(w.SpeedButton4),
              static_cast<QWidget*>(w.BitBtn6), static_cast<QWidget*>(w.SpeedButton3),
              static_cast<QWidget*>(w.BitBtn8), static_cast<QWidget*>(w.BitBtn4)}) {
            control->setEnabled(true);
        }
        for (QAction* entry : {d.Delete, d.SelectAll, d.Information, a.ClearAll, a.MoveDown}) {
            entry->setEnabled(true);
        }
        w.Timer1Timer();
        for (QWidget* control :
             {static_cast<QWidget*>(w.BitBtn3), static_cast<QWidget*>(w.SpeedButton4),
              static_cast<QWidget*>(w.BitBtn6), static_cast<QWidget*>(w.SpeedButton3),
              static_cast<QWidget*>(w.BitBtn8), static_cast<QWidget*>(w.BitBtn4)}) {
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        }
        for (QAction* entry : {d.Delete, d.SelectAll, d.Information, a.ClearAll, a.MoveDown}) {
            QVERIFY2(!entry->isEnabled(), qPrintable(entry->text()));
        }

        // Rows without a selection: the list-wide commands come on, the row commands stay off.
        FillLists(w);
        w.Timer1Timer();
        QVERIFY(w.BitBtn3->isEnabled());
        QVERIFY(w.SpeedButton4->isEnabled());
        QVERIFY(d.SelectAll->isEnabled());
        QVERIFY(d.ClearAll->isEnabled());
        QVERIFY(w.SpeedButton3->isEnabled());
        QVERIFY(a.SelectAll->isEnabled());
        QVERIFY(!w.BitBtn6->isEnabled());
        QVERIFY(!d.Information->isEnabled());
        QVERIFY(!w.BitBtn8->isEnabled());
        QVERIFY(!a.Delete->isEnabled());

        // A selected row brings its commands.
        w.ListView1->topLevelItem(0)->setSelected(true);
        w.ListView2->topLevelItem(0)->setSelected(true);
        w.Timer1Timer();
        for (QWidget* control : {w.BitBtn6, w.BitBtn7, w.BitBtn8, w.BitBtn9, w.BitBtn4}) {
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        }
        QVERIFY(d.MoveUp->isEnabled());
        QVERIFY(d.Information->isEnabled());
        QVERIFY(a.Delete->isEnabled());

        // On the merge page without header check the first row stays in place.
        w.PageControl1->setCurrentIndex(1);
        test::AddRow(w, w.ListView3, QStringLiteral("c.ac3"), "/in/c.ac3");
        w.ListView3->topLevelItem(0)->setSelected(true);
        w.Timer1Timer();
        QVERIFY(!w.BitBtn8->isEnabled());
        QVERIFY(!w.BitBtn9->isEnabled());
        QVERIFY(!w.BitBtn4->isEnabled());
        QVERIFY(a.MoveUp->isEnabled());
        QVERIFY(a.Delete->isEnabled());
        w.CheckBox1->click();
        w.Timer1Timer();
        QVERIFY(w.BitBtn8->isEnabled());
        QVERIFY(w.BitBtn4->isEnabled());

        // The timer leaves the Add buttons and Process alone.
        w.BitBtn1->setEnabled(false);
        w.BitBtn2->setEnabled(false);
        w.BitBtn10->setEnabled(false);
        w.Timer1Timer();
        QVERIFY(!w.BitBtn1->isEnabled());
        QVERIFY(!w.BitBtn2->isEnabled());
        QVERIFY(!w.BitBtn10->isEnabled());
        // The handler is what the running timer calls.
        QVERIFY(QObject::disconnect(w.Timer1, &QTimer::timeout, &w, &TAC3Splitter::Timer1Timer));
    }

    void timerFollowsTheRowAJobWorksOn() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        w.Timer1->stop();
        for (const char* name : {"a.ac3", "b.ac3", "c.ac3"}) {
            test::AddRow(w, w.ListView2, QString::fromLatin1(name), std::string("/in/") + name);
        }
        w.State().Busy = 1;
        {
            // As the job selects it: no selection handler runs.
            const QSignalBlocker quiet(w.ListView2);
            w.ListView2->topLevelItem(1)->setSelected(true);
        }
        QVERIFY(w.StatusText(1) != QStringLiteral("/in/b.ac3"));
        w.Timer1Timer();
        QCOMPARE(w.StatusText(1), QStringLiteral("/in/b.ac3"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   2 / 3"));
        // While busy it touches no command.
        w.BitBtn3->setEnabled(true);
        w.Timer1Timer();
        QVERIFY(w.BitBtn3->isEnabled());
        w.State().Busy = 0;
    }

    void totalsFollowTheFocusedListAndTheSystem() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const auto pair = Pair(MakeTimeCode(0, 0, 1, 24), MakeTimeCode(0, 0, 1, 29));
        test::AddRow(w, w.ListView1, QStringLiteral("1"), "/v/a.m2v", pair);
        test::AddRow(w, w.ListView1, QStringLiteral("2"), {}, pair);
        test::AddRow(w, w.ListView2, QStringLiteral("a.ac3"), "/in/a.ac3", pair);
        test::AddRow(w, w.ListView2, QStringLiteral("b.ac3"), "/in/b.ac3");  // no duration

        test::SendFocus(w.ListView1);
        QCOMPARE(w.ActiveList, static_cast<QTreeWidget*>(w.ListView1));
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:03.28 (NTSC)"));
        w.RadioButton2->click();
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:03.23 (PAL)"));
        w.ListView1->topLevelItem(1)->setSelected(true);
        QCOMPARE(w.StatusText(1), QStringLiteral("Virtual duration"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   2 / 2"));

        test::SendFocus(w.ListView2);
        QCOMPARE(w.ActiveList, static_cast<QTreeWidget*>(w.ListView2));
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:01.24 (PAL)"));
        w.RadioButton1->click();
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:01.29 (NTSC)"));
        w.ListView2->topLevelItem(0)->setSelected(true);
        QCOMPARE(w.StatusText(1), QStringLiteral("/in/a.ac3"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   1 / 2"));
    }

    void pagesShowTheHeaderCheckAndTheirRow() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        test::AddRow(w, w.ListView3, QStringLiteral("m.wav"), "/in/m.wav");
        w.ListView3->topLevelItem(0)->setSelected(true);
        w.PageControl1->setCurrentIndex(1);
        QVERIFY(!w.CheckBox1->isHidden());
        QCOMPARE(w.Settings().activePage, 1);
        QCOMPARE(w.StatusText(1), QStringLiteral("/in/m.wav"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   1 / 1"));
        w.PageControl1->setCurrentIndex(0);
        QVERIFY(w.CheckBox1->isHidden());
        QCOMPARE(w.Settings().activePage, 0);
        QCOMPARE(w.StatusText(1), QString());
        QCOMPARE(w.StatusText(0), QString());
    }

    void processOnAnEmptyMergeListWarnsAndReturnsToIdle() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const QString temp = test::Q(dir_->path().string());
        const QString folder = temp + QStringLiteral("/new/deeper/");
        w.Edit1->setText(folder);
        test::AddRow(w, w.ListView1, QStringLiteral("1"), {},
                     Pair(MakeTimeCode(0, 0, 10, 0), MakeTimeCode(0, 0, 10, 0)));
        test::AddRow(w, w.ListView1, QStringLiteral("2"), {},
                     Pair(MakeTimeCode(0, 0, 0, 20), MakeTimeCode(0, 0, 0, 25)));
        w.ListView1->setSelectionMode(QAbstractItemView::MultiSelection);
        w.PageControl1->setCurrentIndex(1);
        w.BitBtn10Click();

        QCOMPARE(host_->messages.size(), std::size_t{1});
        const auto& warning = host_->messages.back();
        QVERIFY(!warning.question);
        QCOMPARE(warning.icon, MessageIcon::Warning);
        QCOMPARE(QString::fromStdString(warning.title), QStringLiteral("Warning!"));
        QCOMPARE(QString::fromStdString(warning.text),
                 QStringLiteral("Please, specify file to divide."));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(test::NotIdle(w), QStringList());
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:10.25 (NTSC)"));
        QCOMPARE(w.ListView1->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void processRefusesADestinationThatCannotBeCreated() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const QString temp = test::Q(dir_->path().string());
        const QString file = temp + QStringLiteral("/plain");
        std::ofstream(file.toStdString()) << "x";
        w.Edit1->setText(file + QStringLiteral("/out/"));
        FillLists(w);
        w.BitBtn10Click();
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(host_->messages.back().icon, MessageIcon::Error);
        QCOMPARE(QString::fromStdString(host_->messages.back().title), QStringLiteral("Error!"));
        QVERIFY(QString::fromStdString(host_->messages.back().text).contains(file + "/out/"));
        QCOMPARE(test::NotIdle(w), QStringList());
    }

    void enterInTheDestinationPressesProcess() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const QString temp = test::Q(dir_->path().string());
        FillLists(w);
        w.Edit1->setText(temp + QStringLiteral("/pieces"));
        w.UpdateProcessEnabled();
        QVERIFY(w.BitBtn10->isEnabled());
        QTest::keyClick(w.Edit1, Qt::Key_Return);
        // Process took the folder with its separator and made it.
        QCOMPARE(w.Edit1->text(), temp + QStringLiteral("/pieces/"));
        QVERIFY(QFileInfo(temp + QStringLiteral("/pieces")).isDir());
        QCOMPARE(test::NotIdle(w), QStringList());
    }

    void showCurrentPieceSelectsTheDurationsRow() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        for (int i = 0; i < 3; ++i) {
            test::AddRow(w, w.ListView1, QString::number(i + 1), {},
                         Pair(MakeTimeCode(0, 0, 1, 0), MakeTimeCode(0, 0, 1, 0)));
        }
        w.ShowCurrentPiece(2);
        QCOMPARE(FirstSelectedRow(w.ListView1), 2);
        QCOMPARE(w.ListView1->currentItem(), w.ListView1->topLevelItem(2));
        w.ShowCurrentPiece(3);  // no such row
        QCOMPARE(FirstSelectedRow(w.ListView1), 2);
        w.ShowCurrentPiece(-1);  // the tail piece has no row
        QCOMPARE(FirstSelectedRow(w.ListView1), -1);
        QVERIFY(w.ListView1->currentItem() == nullptr);
    }

    void aboutShowsTheDialog() {
        VarnixForms forms = Start();
        TSplitterAboutForm* about = forms.SplitterAboutForm.get();
        bool shown = false;
        QTimer::singleShot(0, about, [&] {
            shown = about->isVisible();
            about->OKButton()->click();
        });
        forms.AC3Splitter->BitBtn14->click();
        QVERIFY(shown);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->ProductName()->text(), QStringLiteral("Varnix"));
        QVERIFY(about->Version()->text().contains(QLatin1String(kVarnixVersion)));
        QVERIFY(about->OKButton()->isDefault());
        auto* band = about->findChild<QWidget*>(QStringLiteral("Panel1"));
        QVERIFY(band != nullptr);
        QCOMPARE(band->palette().color(QPalette::Window), QColor(0, 0, 128));
    }

    void droppedFilesAreHandedOn() {
        VarnixForms forms = Start();
        TDropList2* list = forms.AC3Splitter->ListView2;
        QSignalSpy dropped(list, &TDropList::filesDropped);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/in/a.ac3")),
                      QUrl(QStringLiteral("https://example.org/b.ac3")),
                      QUrl::fromLocalFile(QStringLiteral("/in/c d.wav"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &drop);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toStringList(),
                 (QStringList{QStringLiteral("/in/a.ac3"), QStringLiteral("/in/c d.wav")}));

        QMimeData text;
        text.setText(QStringLiteral("not a file"));
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton,
                                Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &refused);
        QVERIFY(!refused.isAccepted());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
