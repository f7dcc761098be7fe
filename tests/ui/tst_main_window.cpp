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
        test::AddRow(w, w.durationsList_, QStringLiteral("1"), {}, pair);
        test::AddRow(w, w.cutList_, QStringLiteral("a.ac3"), "/in/a.ac3", pair);
        test::AddRow(w, w.mergeList_, QStringLiteral("b.ac3"), "/in/b.ac3", pair);
    }

  private slots:
    void init() { SetUpWindowFixture(); }
    void cleanup() { TearDownWindowFixture(); }

    void startUpCreatesTheWindowAndItsForms() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        QCOMPARE(w.windowTitle(), QStringLiteral("Varnix Freeware"));
        QCOMPARE(w.DurationForm(), forms.durationForm.get());
        QCOMPARE(w.MergerForm(), forms.mergerForm.get());
        QCOMPARE(w.AboutForm(), forms.aboutForm.get());
        QCOMPARE(forms.durationForm->windowTitle(), QStringLiteral("Set Duration"));
        QCOMPARE(forms.aboutForm->windowTitle(), QStringLiteral("About Varnix Freeware"));
        // The merger object lives on hidden.
        QCOMPARE(forms.mergerForm->windowTitle(), QStringLiteral("Add media files to one"));
        QVERIFY(!forms.mergerForm->isVisible());
        QCOMPARE(forms.mergerForm->ResultNameEdit()->text(), QStringLiteral("/"));

        QCOMPARE(HeaderTexts(w.durationsList_),
                 (QStringList{QStringLiteral("?"), QStringLiteral("File name"),
                              QStringLiteral("Time")}));
        const QStringList audioColumns = {QStringLiteral("File name"), QStringLiteral("Time"),
                                          QStringLiteral("Channels"),  QStringLiteral("Frequency"),
                                          QStringLiteral("Bit Rate"),  QStringLiteral("System")};
        QCOMPARE(HeaderTexts(w.cutList_), audioColumns);
        QCOMPARE(HeaderTexts(w.mergeList_), audioColumns);
        QCOMPARE(w.pages_->tabText(0), QStringLiteral("Cut every file from list"));
        QCOMPARE(w.pages_->tabText(1), QStringLiteral("Merge all files before processing"));
        QCOMPARE(w.durationsLabel_->text(),
                 QStringLiteral("Set times from files or input manualy"));
        for (TDropList* list :
             {static_cast<TDropList*>(w.durationsList_), static_cast<TDropList*>(w.cutList_),
              static_cast<TDropList*>(w.mergeList_)}) {
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
        QCOMPARE(w.systemGroup_->title(), QStringLiteral(" System "));
        for (const std::string& name : IdleEnabledControls()) {
            QVERIFY2(w.findChild<QWidget*>(QString::fromStdString(name)) != nullptr, name.c_str());
        }
        for (const QString& name : WindowControlNames() + Panel6ControlNames()) {
            QVERIFY2(w.findChild<QWidget*>(name) != nullptr, qPrintable(name));
        }
        QVERIFY(w.ntscButton_->isChecked());
        QVERIFY(!w.processButton_->isEnabled());
        QVERIFY(w.checkHeaderBox_->isHidden());
        QVERIFY(w.commandTimer_->isActive());
        QCOMPARE(w.commandTimer_->interval(), 250);
        QVERIFY(w.activeList_ == nullptr);
    }

    void firstStartWritesTheDefaults() {
        QVERIFY(!settings_->fileExists());
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
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
        QCOMPARE(w.destinationEdit_->text(), kHome);
        QCOMPARE(w.State().system, TvSystem::Ntsc);
    }

    void settingsAndGeometryRoundTrip() {
        const QRect geometry(40, 50, 900, 700);
        const QString destination = QStringLiteral("/tmp/varnix, out/");
        QList<int> splitterSizes;
        {
            VarnixForms forms = Start();
            TAC3Splitter& w = *forms.mainWindow;
            w.palButton_->click();
            QCOMPARE(w.State().system, TvSystem::Pal);
            w.pages_->setCurrentIndex(1);
            w.checkHeaderBox_->click();
            w.destinationEdit_->setText(destination);
            w.setGeometry(geometry);
            w.durationsList_->setColumnWidth(1, 201);
            w.cutList_->setColumnWidth(5, 123);
            w.mergeList_->setColumnWidth(0, 77);
            w.splitter_->setSizes({520, 360});
            splitterSizes = w.splitter_->sizes();
            CloseWithOk(w);
        }
        QCOMPARE(settings_->value(QStringLiteral("Positions/ListView2Col6Width")).toInt(), 123);
        QCOMPARE(settings_->value(QStringLiteral("Positions/FormPos")).toInt(), 0);
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        QVERIFY(w.palButton_->isChecked());
        QCOMPARE(w.State().system, TvSystem::Pal);
        QCOMPARE(w.pages_->currentIndex(), 1);
        QVERIFY(w.checkHeaderBox_->isChecked());
        QVERIFY(!w.checkHeaderBox_->isHidden());
        QCOMPARE(w.destinationEdit_->text(), destination);
        QCOMPARE(w.geometry(), geometry);
        QCOMPARE(w.durationsList_->columnWidth(1), 201);
        QCOMPARE(w.cutList_->columnWidth(5), 123);
        QCOMPARE(w.mergeList_->columnWidth(0), 77);
        QCOMPARE(w.splitter_->sizes(), splitterSizes);
    }

    void maximisedWindowOpensMaximised() {
        {
            VarnixForms forms = Start();
            forms.mainWindow->showMaximized();
            QVERIFY(forms.mainWindow->isMaximized());
            CloseWithOk(*forms.mainWindow);
        }
        QCOMPARE(settings_->value(QStringLiteral("Positions/FormPos")).toInt(), 1);
        VarnixForms forms = Start();
        QVERIFY(forms.mainWindow->isMaximized());
    }

    void missingGeometryValueEndsLoadingQuietly() {
        settings_->writeFile(
            "[Positions]\nFormPos=0\nFormTop=20\nFormLeft=30\nFormWidth=700\nFormHeight=500\n");
        VarnixForms forms = Start();
        QCOMPARE(forms.mainWindow->geometry(), QRect(30, 20, 700, 500));
        QVERIFY(host_->messages.empty());
    }

    void emptyDestinationResetsEverySettingUntilClosing() {
        settings_->writeFile(
            "[General]\nSplitterModeNTSC=0\nCheckHeader=1\nOpenPath1=/video/\nOpenPath2=/audio/\n"
            "ProcessPath=\nActivePage=1\n");
        {
            VarnixForms forms = Start();
            TAC3Splitter& w = *forms.mainWindow;
            QVERIFY(w.ntscButton_->isChecked());
            QCOMPARE(w.State().system, TvSystem::Ntsc);
            QCOMPARE(w.pages_->currentIndex(), 0);
            QVERIFY(!w.checkHeaderBox_->isChecked());
            QCOMPARE(w.destinationEdit_->text(), kHome);
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
        TAC3Splitter& w = *forms.mainWindow;
        QVERIFY(w.ntscButton_->isChecked());
        QCOMPARE(w.pages_->currentIndex(), 0);
        QCOMPARE(w.destinationEdit_->text(), kHome);
        QCOMPARE(settings_->value(QStringLiteral("SplitterModeNTSC")).toInt(), 1);
        QCOMPARE(settings_->value(QStringLiteral("CheckHeader")).toInt(), 0);
        QCOMPARE(settings_->value(QStringLiteral("ProcessPath")).toString(), kHome);
        QCOMPARE(settings_->value(QStringLiteral("ActivePage")).toInt(), 0);
        QVERIFY(host_->messages.empty());
    }

    void closeAsksAndCancelSavesNothing() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        w.palButton_->click();
        host_->answers = {false};
        w.closeButton_->click();
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
        TAC3Splitter& w = *forms.mainWindow;
        const QList<QWidget*> targets = {w.destinationEdit_, w.durationsList_, w.cutList_,
                                         w.palButton_,       w.aboutButton_,   &w};
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
        QTest::keyClick(w.mergeList_, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    void windowKeepsItsMinimumSize() {
        VarnixForms forms = Start();
        forms.mainWindow->resize(100, 100);
        QVERIFY(forms.mainWindow->width() >= 640);
        QVERIFY(forms.mainWindow->height() >= 480);
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
        TAC3Splitter& w = *forms.mainWindow;
        FillLists(w);
        w.destinationEdit_->setText(QStringLiteral("x"));
        QTest::keyClick(w.destinationEdit_, Qt::Key_Backspace);
        QVERIFY(!w.processButton_->isEnabled());
        QTest::keyClicks(w.destinationEdit_, typed);
        QCOMPARE(w.processButton_->isEnabled(), enabled);
        test::SendFocus(w.destinationEdit_, QEvent::FocusOut);
        QCOMPARE(w.destinationEdit_->text(), afterLeaving);
    }

    void processNeedsRowsOnThePageShown() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const auto pair = Pair(MakeTimeCode(0, 0, 1, 0), MakeTimeCode(0, 0, 1, 0));
        w.destinationEdit_->setText(QStringLiteral("/out/"));
        test::AddRow(w, w.cutList_, QStringLiteral("a.ac3"), "/in/a.ac3", pair);
        QVERIFY(w.UpdateProcessEnabled());  // no durations yet
        test::AddRow(w, w.durationsList_, QStringLiteral("1"), {}, pair);
        QVERIFY(!w.UpdateProcessEnabled());
        QVERIFY(w.processButton_->isEnabled());
        w.pages_->setCurrentIndex(1);  // the merge list is empty
        QVERIFY(!w.processButton_->isEnabled());
        w.pages_->setCurrentIndex(0);
        QVERIFY(w.processButton_->isEnabled());
    }

    void destinationFolderButton() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const QString temp = test::Q(dir_->path().string());
        QString title;
        QString start;
        QString answer = temp + QStringLiteral("/chosen");
        w.SetFolderPicker([&](QWidget*, const QString& t, const QString& s) {
            title = t;
            start = s;
            return answer;
        });
        w.destinationEdit_->setText(temp);
        w.destinationButton_->click();
        QCOMPARE(title, QStringLiteral("Select destination path:"));
        QCOMPARE(start, temp);
        QCOMPARE(w.destinationEdit_->text(), temp + QStringLiteral("/chosen/"));
        QCOMPARE(w.Settings().processPath, w.destinationEdit_->text());

        w.destinationEdit_->setText(QStringLiteral("/no/such/folder/"));
        answer = QStringLiteral("/");
        w.destinationButton_->click();
        QCOMPARE(start, QString());
        QCOMPARE(w.destinationEdit_->text(), QStringLiteral("/"));

        answer.clear();  // the browser was cancelled
        w.destinationButton_->click();
        QCOMPARE(w.destinationEdit_->text(), QStringLiteral("/"));
    }

    void busyStateDisablesExactlyItsControls() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        w.commandTimer_->stop();
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
        QVERIFY(w.closeButton_->isEnabled());
        QCOMPARE(w.closeButton_->text(), QStringLiteral("Cancel"));

        w.EndBusy();
        for (QWidget* widget : enabledBefore) {
            QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
        }
        QCOMPARE(w.closeButton_->text(), QStringLiteral("Close"));
        QCOMPARE(w.Progress().position(), w.Progress().minimum());
        QCOMPARE(w.progressBar_->value(), w.progressBar_->minimum());
    }

    void cancelWhileBusyAsksThenAborts() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        w.commandTimer_->stop();
        w.State().busy = 1;
        w.BeginBusy();
        host_->answers = {false};
        w.closeButton_->click();
        QCOMPARE(int{w.State().busy}, 1);
        QCOMPARE(int{w.State().abort}, 0);
        QCOMPARE(w.closeButton_->text(), QStringLiteral("Cancel"));
        const auto& question = host_->messages.back();
        QVERIFY(question.question);
        QCOMPARE(question.icon, MessageIcon::Information);
        QCOMPARE(QString::fromStdString(question.title), QStringLiteral("Warning!"));
        QCOMPARE(QString::fromStdString(question.text),
                 QStringLiteral("Abort current operation ?"));

        host_->answers = {true};
        w.closeButton_->click();
        QCOMPARE(int{w.State().busy}, 0);
        QCOMPARE(int{w.State().abort}, 1);
        QCOMPARE(int{forms.mergerForm->Abort()}, 1);
        QCOMPARE(w.closeButton_->text(), QStringLiteral("Close"));
        QVERIFY(w.pages_->isEnabled());
        QVERIFY(w.isVisible());  // Cancel does not close the window
    }

    void closingWhileBusyStopsTheJob() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        w.State().busy = 1;
        w.BeginBusy();
        host_->answers = {false};
        QVERIFY(!w.close());
        QCOMPARE(int{w.State().abort}, 0);
        CloseWithOk(w);
        QCOMPARE(int{w.State().abort}, 1);
        QCOMPARE(int{forms.mergerForm->Abort()}, 1);
    }

    void timerKeepsTheListCommandsInStep() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        w.commandTimer_->stop();  // each tick is the handler's call below
        auto& d = w.durationsMenuEntries_;
        auto& a = w.audioMenuEntries_;
        // Empty lists: every command of theirs goes off at the next tick.
        for (QWidget* control :
             {static_cast<QWidget*>(w.deleteDurationButton_),
              static_cast<QWidget*>(w.clearDurationsButton_),
              static_cast<QWidget*>(w.durationUpButton_),
              static_cast<QWidget*>(w.clearAudioButton_), static_cast<QWidget*>(w.audioUpButton_),
              static_cast<QWidget*>(w.deleteAudioButton_)}) {
            control->setEnabled(true);
        }
        for (QAction* entry :
             {d.deleteSelected, d.selectAll, d.information, a.clearAll, a.moveDown}) {
            entry->setEnabled(true);
        }
        w.Timer1Timer();
        for (QWidget* control :
             {static_cast<QWidget*>(w.deleteDurationButton_),
              static_cast<QWidget*>(w.clearDurationsButton_),
              static_cast<QWidget*>(w.durationUpButton_),
              static_cast<QWidget*>(w.clearAudioButton_), static_cast<QWidget*>(w.audioUpButton_),
              static_cast<QWidget*>(w.deleteAudioButton_)}) {
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        }
        for (QAction* entry :
             {d.deleteSelected, d.selectAll, d.information, a.clearAll, a.moveDown}) {
            QVERIFY2(!entry->isEnabled(), qPrintable(entry->text()));
        }

        // Rows without a selection: the list-wide commands come on, the row commands stay off.
        FillLists(w);
        w.Timer1Timer();
        QVERIFY(w.deleteDurationButton_->isEnabled());
        QVERIFY(w.clearDurationsButton_->isEnabled());
        QVERIFY(d.selectAll->isEnabled());
        QVERIFY(d.clearAll->isEnabled());
        QVERIFY(w.clearAudioButton_->isEnabled());
        QVERIFY(a.selectAll->isEnabled());
        QVERIFY(!w.durationUpButton_->isEnabled());
        QVERIFY(!d.information->isEnabled());
        QVERIFY(!w.audioUpButton_->isEnabled());
        QVERIFY(!a.deleteSelected->isEnabled());

        // A selected row brings its commands.
        w.durationsList_->topLevelItem(0)->setSelected(true);
        w.cutList_->topLevelItem(0)->setSelected(true);
        w.Timer1Timer();
        for (QWidget* control : {w.durationUpButton_, w.durationDownButton_, w.audioUpButton_,
                                 w.audioDownButton_, w.deleteAudioButton_}) {
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        }
        QVERIFY(d.moveUp->isEnabled());
        QVERIFY(d.information->isEnabled());
        QVERIFY(a.deleteSelected->isEnabled());

        // On the merge page without header check the first row stays in place.
        w.pages_->setCurrentIndex(1);
        test::AddRow(w, w.mergeList_, QStringLiteral("c.ac3"), "/in/c.ac3");
        w.mergeList_->topLevelItem(0)->setSelected(true);
        w.Timer1Timer();
        QVERIFY(!w.audioUpButton_->isEnabled());
        QVERIFY(!w.audioDownButton_->isEnabled());
        QVERIFY(!w.deleteAudioButton_->isEnabled());
        QVERIFY(a.moveUp->isEnabled());
        QVERIFY(a.deleteSelected->isEnabled());
        w.checkHeaderBox_->click();
        w.Timer1Timer();
        QVERIFY(w.audioUpButton_->isEnabled());
        QVERIFY(w.deleteAudioButton_->isEnabled());

        // The timer leaves the Add buttons and Process alone.
        w.addDurationButton_->setEnabled(false);
        w.addAudioButton_->setEnabled(false);
        w.processButton_->setEnabled(false);
        w.Timer1Timer();
        QVERIFY(!w.addDurationButton_->isEnabled());
        QVERIFY(!w.addAudioButton_->isEnabled());
        QVERIFY(!w.processButton_->isEnabled());
        // The handler is what the running timer calls.
        QVERIFY(
            QObject::disconnect(w.commandTimer_, &QTimer::timeout, &w, &TAC3Splitter::Timer1Timer));
    }

    void timerFollowsTheRowAJobWorksOn() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        w.commandTimer_->stop();
        for (const char* name : {"a.ac3", "b.ac3", "c.ac3"}) {
            test::AddRow(w, w.cutList_, QString::fromLatin1(name), std::string("/in/") + name);
        }
        w.State().busy = 1;
        {
            // As the job selects it: no selection handler runs.
            const QSignalBlocker quiet(w.cutList_);
            w.cutList_->topLevelItem(1)->setSelected(true);
        }
        QVERIFY(w.StatusText(1) != QStringLiteral("/in/b.ac3"));
        w.Timer1Timer();
        QCOMPARE(w.StatusText(1), QStringLiteral("/in/b.ac3"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   2 / 3"));
        // While busy it touches no command.
        w.deleteDurationButton_->setEnabled(true);
        w.Timer1Timer();
        QVERIFY(w.deleteDurationButton_->isEnabled());
        w.State().busy = 0;
    }

    void totalsFollowTheFocusedListAndTheSystem() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const auto pair = Pair(MakeTimeCode(0, 0, 1, 24), MakeTimeCode(0, 0, 1, 29));
        test::AddRow(w, w.durationsList_, QStringLiteral("1"), "/v/a.m2v", pair);
        test::AddRow(w, w.durationsList_, QStringLiteral("2"), {}, pair);
        test::AddRow(w, w.cutList_, QStringLiteral("a.ac3"), "/in/a.ac3", pair);
        test::AddRow(w, w.cutList_, QStringLiteral("b.ac3"), "/in/b.ac3");  // no duration

        test::SendFocus(w.durationsList_);
        QCOMPARE(w.activeList_, static_cast<QTreeWidget*>(w.durationsList_));
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:03.28 (NTSC)"));
        w.palButton_->click();
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:03.23 (PAL)"));
        w.durationsList_->topLevelItem(1)->setSelected(true);
        QCOMPARE(w.StatusText(1), QStringLiteral("Virtual duration"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   2 / 2"));

        test::SendFocus(w.cutList_);
        QCOMPARE(w.activeList_, static_cast<QTreeWidget*>(w.cutList_));
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:01.24 (PAL)"));
        w.ntscButton_->click();
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:01.29 (NTSC)"));
        w.cutList_->topLevelItem(0)->setSelected(true);
        QCOMPARE(w.StatusText(1), QStringLiteral("/in/a.ac3"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   1 / 2"));
    }

    void pagesShowTheHeaderCheckAndTheirRow() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        test::AddRow(w, w.mergeList_, QStringLiteral("m.wav"), "/in/m.wav");
        w.mergeList_->topLevelItem(0)->setSelected(true);
        w.pages_->setCurrentIndex(1);
        QVERIFY(!w.checkHeaderBox_->isHidden());
        QCOMPARE(w.Settings().activePage, 1);
        QCOMPARE(w.StatusText(1), QStringLiteral("/in/m.wav"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   1 / 1"));
        w.pages_->setCurrentIndex(0);
        QVERIFY(w.checkHeaderBox_->isHidden());
        QCOMPARE(w.Settings().activePage, 0);
        QCOMPARE(w.StatusText(1), QString());
        QCOMPARE(w.StatusText(0), QString());
    }

    void processOnAnEmptyMergeListWarnsAndReturnsToIdle() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const QString temp = test::Q(dir_->path().string());
        const QString folder = temp + QStringLiteral("/new/deeper/");
        w.destinationEdit_->setText(folder);
        test::AddRow(w, w.durationsList_, QStringLiteral("1"), {},
                     Pair(MakeTimeCode(0, 0, 10, 0), MakeTimeCode(0, 0, 10, 0)));
        test::AddRow(w, w.durationsList_, QStringLiteral("2"), {},
                     Pair(MakeTimeCode(0, 0, 0, 20), MakeTimeCode(0, 0, 0, 25)));
        w.durationsList_->setSelectionMode(QAbstractItemView::MultiSelection);
        w.pages_->setCurrentIndex(1);
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
        QCOMPARE(w.durationsList_->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void processRefusesADestinationThatCannotBeCreated() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const QString temp = test::Q(dir_->path().string());
        const QString file = temp + QStringLiteral("/plain");
        std::ofstream(file.toStdString()) << "x";
        w.destinationEdit_->setText(file + QStringLiteral("/out/"));
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
        TAC3Splitter& w = *forms.mainWindow;
        const QString temp = test::Q(dir_->path().string());
        FillLists(w);
        w.destinationEdit_->setText(temp + QStringLiteral("/pieces"));
        w.UpdateProcessEnabled();
        QVERIFY(w.processButton_->isEnabled());
        QTest::keyClick(w.destinationEdit_, Qt::Key_Return);
        // Process took the folder with its separator and made it.
        QCOMPARE(w.destinationEdit_->text(), temp + QStringLiteral("/pieces/"));
        QVERIFY(QFileInfo(temp + QStringLiteral("/pieces")).isDir());
        QCOMPARE(test::NotIdle(w), QStringList());
    }

    void showCurrentPieceSelectsTheDurationsRow() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        for (int i = 0; i < 3; ++i) {
            test::AddRow(w, w.durationsList_, QString::number(i + 1), {},
                         Pair(MakeTimeCode(0, 0, 1, 0), MakeTimeCode(0, 0, 1, 0)));
        }
        w.ShowCurrentPiece(2);
        QCOMPARE(FirstSelectedRow(w.durationsList_), 2);
        QCOMPARE(w.durationsList_->currentItem(), w.durationsList_->topLevelItem(2));
        w.ShowCurrentPiece(3);  // no such row
        QCOMPARE(FirstSelectedRow(w.durationsList_), 2);
        w.ShowCurrentPiece(-1);  // the tail piece has no row
        QCOMPARE(FirstSelectedRow(w.durationsList_), -1);
        QVERIFY(w.durationsList_->currentItem() == nullptr);
    }

    void aboutShowsTheDialog() {
        VarnixForms forms = Start();
        TSplitterAboutForm* about = forms.aboutForm.get();
        bool shown = false;
        QTimer::singleShot(0, about, [&] {
            shown = about->isVisible();
            about->OkButton()->click();
        });
        forms.mainWindow->aboutButton_->click();
        QVERIFY(shown);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->ProductNameLabel()->text(), QStringLiteral("Varnix"));
        QVERIFY(about->VersionLabel()->text().contains(QLatin1String(kVarnixVersion)));
        QVERIFY(about->OkButton()->isDefault());
        auto* band = about->findChild<QWidget*>(QStringLiteral("Panel1"));
        QVERIFY(band != nullptr);
        QCOMPARE(band->palette().color(QPalette::Window), QColor(0, 0, 128));
    }

    void droppedFilesAreHandedOn() {
        VarnixForms forms = Start();
        TDropList2* list = forms.mainWindow->cutList_;
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
