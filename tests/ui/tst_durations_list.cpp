// The durations list driven as a user drives it: durations from audio files and typed in the
// duration dialog, numbering, deleting, moving, Information, drops and the TV system switch
// that changes every time shown.

#include <QTest>
#include <filesystem>
#include <memory>

#include "core/file.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "ui/app_forms.h"
#include "ui/list_roles.h"
#include "ui/window_rules.h"
#include "ui_test_support.h"

using namespace varnix;

using test::Q;
using test::TimeOf;

namespace {

struct Typed {
    QString hours, minutes, seconds, frames;
};

}  // namespace

class DurationsListTest : public QObject, protected test::WindowFixture {
    Q_OBJECT
  private:
    // Runs `command`, which shows the duration dialog, and answers it: the fields typed (none:
    // as they are) and OK, or Cancel. Returns the fields the dialog showed when it opened.
    static QStringList AnswerDialog(VarnixForms& forms, const std::optional<Typed>& typed, bool ok,
                                    const std::function<void()>& command) {
        TDurationForm* form = forms.durationForm.get();
        QStringList shown;
        QTimer::singleShot(0, form, [&] {
            for (int i = 0; i < 4; ++i) {
                shown << form->FieldEdit(i)->text();
            }
            if (typed) {
                const QString fields[] = {typed->hours, typed->minutes, typed->seconds,
                                          typed->frames};
                for (int i = 0; i < 4; ++i) {
                    form->FieldEdit(i)->clear();
                    QTest::keyClicks(form->FieldEdit(i), fields[i]);
                }
            }
            (ok ? form->OkButton() : form->CancelButton())->click();
        });
        command();
        return shown;
    }
    // An NTSC (29.97) MPEG-2 stream of `frames` frames in GOPs of 15.
    std::string NtscVideo(const std::string& name, int frames) const {
        return test::WriteVideo(*dir_, name, frames, false, 15);
    }
    static void AddTyped(VarnixForms& forms, const Typed& typed) {
        AnswerDialog(forms, typed, true,
                     [&] { forms.mainWindow->addVirtualDurationButton_->click(); });
    }

  private slots:
    void init() { SetUpWindowFixture(false); }
    void cleanup() { TearDownWindowFixture(); }

    void typedDurationsAreLimitedToTheSystem_data() {
        QTest::addColumn<bool>("pal");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<TimeCode>("palEntry");
        QTest::newRow("all zero") << false << QStringList{"0", "0", "0", "0"} << "00:00:00.01"
                                  << MakeTimeCode(0, 0, 0, 1);
        QTest::newRow("30 frames under NTSC") << false << QStringList{"0", "0", "0", "30"}
                                              << "00:00:00.29" << MakeTimeCode(0, 0, 0, 24);
        QTest::newRow("30 frames under PAL") << true << QStringList{"0", "0", "0", "30"}
                                             << "00:00:00.24" << MakeTimeCode(0, 0, 0, 24);
        QTest::newRow("99 hours") << false << QStringList{"99", "0", "0", "0"} << "24:00:00.00"
                                  << MakeTimeCode(24, 0, 0, 0);
        QTest::newRow("letters count as 0") << false << QStringList{"1", "x", "-", "5"}
                                            << "01:00:00.05" << MakeTimeCode(1, 0, 0, 5);
    }
    void typedDurationsAreLimitedToTheSystem() {
        QFETCH(bool, pal);
        QFETCH(QStringList, fields);
        QFETCH(QString, shown);
        QFETCH(TimeCode, palEntry);
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        if (pal) {
            w.palButton_->click();
        }
        AddTyped(forms, {fields[0], fields[1], fields[2], fields[3]});
        QCOMPARE(w.durationsList_->topLevelItemCount(), 1);
        QTreeWidgetItem* row = w.durationsList_->topLevelItem(0);
        QCOMPARE(test::RowTexts(row),
                 (QStringList{"1", "Virtual duration", shown,
                              pal ? QStringLiteral("PAL") : QStringLiteral("NTSC")}));
        QCOMPARE(StateIndexOf(row), -1);
        QCOMPARE(ImageIndexOf(row), 0);
        const DurationPair* pair = w.State().tables.DurationAt(ItemDataOf(row));
        QVERIFY(pair != nullptr);
        QCOMPARE(pair->pal, palEntry);
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: ") + shown +
                                      (pal ? QStringLiteral(" (PAL)") : QStringLiteral(" (NTSC)")));
    }

    void videoDurationsFollowThePairRules() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string ntsc = NtscVideo("ten minutes.m2v", 10 * 60 * 30 + 29);
        const std::string pal = Copy("video/pal_mpeg2.m2v");
        const std::string m1v = Copy("video/mpeg1_cif.m1v", "mpeg1 named.ac3");
        w.AddDurationsFromFiles({Q(ntsc), Q(pal), Q(m1v)});
        QCOMPARE(test::ColumnTexts(w.durationsList_, 1),
                 (QStringList{"ten minutes.m2v", "pal_mpeg2.m2v", "mpeg1 named.ac3"}));
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2),
                 (QStringList{"00:10:00.29", "00:00:10.00", "00:00:04.00"}));
        const DurationPair* pair =
            w.State().tables.DurationAt(ItemDataOf(w.durationsList_->topLevelItem(0)));
        QCOMPARE(pair->pal, MakeTimeCode(0, 10, 0, 24));
        QCOMPARE(pair->ntsc, MakeTimeCode(0, 10, 0, 29));
        w.palButton_->click();
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2),
                 (QStringList{"00:10:00.24", "00:00:10.00", "00:00:04.00"}));
        QCOMPARE(test::ColumnTexts(w.durationsList_, 3), (QStringList{"PAL", "PAL", "PAL"}));
        // The scan left its cache beside the video, and the window its busy state.
        QVERIFY(std::filesystem::exists(ntsc + ".vnf"));
        QCOMPARE(test::NotIdle(w), QStringList());
        QVERIFY(host_->messages.empty());
    }

    void aVideoScanRunsBusyAndCancelStopsIt() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string video = NtscVideo("long.m2v", 30 * 60 * 30);
        bool busyDuringScan = false;
        int pumpsBeforeCancel = 0;
        onPump_ = [&](int pumps) {
            if (w.State().busy == 0 || pumpsBeforeCancel > 0) {
                return;
            }
            busyDuringScan = w.closeButton_->text() == QStringLiteral("Cancel") &&
                             !w.durationsPanel_->isEnabled() && !w.addAudioButton_->isEnabled() &&
                             w.closeButton_->isEnabled();
            pumpsBeforeCancel = pumps;
            host_->answers = {true};
            w.closeButton_->click();  // Cancel, and OK to "Abort current operation ?"
        };
        QVERIFY(w.AddDurationFromFile(Q(video)));
        onPump_ = nullptr;
        QVERIFY(busyDuringScan);
        QCOMPARE(Q(host_->messages.back().text), QStringLiteral("Abort current operation ?"));
        // The aborted scan still gives its row, with the duration it had reached.
        QCOMPARE(w.durationsList_->topLevelItemCount(), 1);
        const DurationPair* pair =
            w.State().tables.DurationAt(ItemDataOf(w.durationsList_->topLevelItem(0)));
        QVERIFY(pair != nullptr);
        QVERIFY(TimeCodeToFrames(pair->ntsc, 30.0) < 30 * 60 * 30);
        QVERIFY(!std::filesystem::exists(video + ".vnf"));  // no half-written cache
        QCOMPARE(test::NotIdle(w), QStringList());

        // Scanned to its end the next time.
        QVERIFY(w.AddDurationFromFile(Q(video)));
        QCOMPARE(w.durationsList_->topLevelItem(1)->text(2), QStringLiteral("00:30:00.00"));
    }

    // A read error during the scan gives no row and no cache, and the message says why.
    void aVideoThatCannotBeReadGivesNoRow() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string video = Copy("video/pal_mpeg2.m2v");
        {
            const InjectedReadFault fault(video, 100000);
            QVERIFY(!w.AddDurationFromFile(Q(video)));
        }
        QCOMPARE(w.durationsList_->topLevelItemCount(), 0);
        QVERIFY(!std::filesystem::exists(video + ".vnf"));
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(Q(host_->messages[0].title), QStringLiteral("Error!"));
        QVERIFY(Q(host_->messages[0].text)
                    .startsWith(QStringLiteral("Error in file ") + Q(video) +
                                QStringLiteral(": Unable to read from file ") + Q(video) + ": "));
        QCOMPARE(test::NotIdle(w), QStringList());
    }

    void theDialogKeepsItsValuesAndCancelAddsNothing() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        AddTyped(forms, {"0", "1", "2", "3"});
        const QStringList shown = AnswerDialog(
            forms, std::nullopt, false, [&] { w.durationsMenuEntries_.addFromTime->trigger(); });
        QCOMPARE(shown, (QStringList{"0", "1", "2", "3"}));
        QCOMPARE(w.durationsList_->topLevelItemCount(), 1);
        AnswerDialog(forms, std::nullopt, true, [&] { w.BitBtn12Click(); });
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2),
                 (QStringList{"00:01:02.03", "00:01:02.03"}));
        QVERIFY(host_->messages.empty());
    }

    void durationsFromAudioFiles() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string wav = Copy("wav-s16-list.wav", "a wav ä.wav");
        const std::string ac3 = Copy("ac3-44k1-32k.ac3");
        w.AddDurationsFromFiles({Q(wav), Q(ac3)});
        QCOMPARE(w.durationsList_->topLevelItemCount(), 2);
        QCOMPARE(test::RowTexts(w.durationsList_->topLevelItem(0)),
                 (QStringList{"1", "a wav ä.wav", TimeOf(wav, TvSystem::Ntsc), "NTSC"}));
        QCOMPARE(w.PathOfRow(w.durationsList_->topLevelItem(0)), Q(wav));
        const DurationPair* pair =
            w.State().tables.DurationAt(ItemDataOf(w.durationsList_->topLevelItem(0)));
        QCOMPARE(pair->pal, test::DurationOf(wav, TvSystem::Pal));
        QCOMPARE(pair->ntsc, test::DurationOf(wav, TvSystem::Ntsc));
        QCOMPARE(w.StatusText(1), Q(ac3));
        QCOMPARE(w.StatusText(0), QStringLiteral("   2 / 2"));
        const TimeCode total =
            AddTimeCodes(pair->ntsc, test::DurationOf(ac3, TvSystem::Ntsc), 30.0);
        QCOMPARE(w.StatusText(2), test::TotalShown(total, TvSystem::Ntsc));
        QCOMPARE(w.activeList_, static_cast<QTreeWidget*>(w.durationsList_));
        QVERIFY(host_->messages.empty());
    }

    void filesThatGiveNoDurationAreRefused() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        w.AddDurationsFromFiles({Q(Copy("wav-float.wav")), Q(Copy("ac3-stereo-192k.ac3", "x.wav")),
                                 Q(Copy("mp2-id3.mp2")), Q(dir_->file("gone.ac3")),
                                 Q(dir_->path().string())});
        QCOMPARE(w.durationsList_->topLevelItemCount(), 0);
        QVERIFY(host_->messages.empty());  // none of these is of a usable kind

        // A missing file named directly, and a file of a known kind without a duration.
        QVERIFY(!w.AddDurationFromFile(Q(dir_->file("gone é.ac3"))));
        const std::string broken = Copy("bad/ac3-truncated-header.ac3");
        QVERIFY(!w.AddDurationFromFile(Q(broken)));
        QCOMPARE(host_->messages.size(), std::size_t{2});
        QCOMPARE(
            Q(host_->messages[0].text),
            QStringLiteral("gone é.ac3 file not exist or it is opened by another application!"));
        QCOMPARE(Q(host_->messages[0].title), QStringLiteral("Error!"));
        QCOMPARE(host_->messages[0].icon, MessageIcon::Error);
        QVERIFY(
            Q(host_->messages[1].text).startsWith(QStringLiteral("Error in file ") + Q(broken)));
        QCOMPARE(w.durationsList_->topLevelItemCount(), 0);
        QVERIFY(!w.processButton_->isEnabled());
    }

    // Off, a stream the extended formats take is passed over with the reason in the status bar;
    // ticking the box takes it from the next file on.
    void theExtendedFormatsBoxWidensTheListAtOnce() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const QString w704 = Q(Copy("video/w704_pal.m2v"));
        QVERIFY(!w.Formats().extended);
        w.AddDurationsFromFiles({w704});
        QCOMPARE(w.durationsList_->topLevelItemCount(), 0);
        QCOMPARE(
            w.StatusText(1),
            QStringLiteral("w704_pal.m2v: MPEG-2 video 704 wide: accepted with Extended formats"));
        QVERIFY(host_->messages.empty());

        auto* box = w.findChild<QCheckBox*>(QStringLiteral("ExtendedFormats"));
        QVERIFY(box != nullptr && box->isVisible());
        box->click();
        QVERIFY(w.Formats().extended);
        w.AddDurationsFromFiles({w704});
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2), (QStringList{"00:00:02.00"}));
        QCOMPARE(w.StatusText(1), w704);

        // A transport stream: refused with its reason while the box is off, then a video row;
        // the cut page passes over it as over any video.
        const QString ts = Q(Copy("video/pulldown.ts"));
        box->click();
        w.AddDurationsFromFiles({ts});
        QCOMPARE(
            w.StatusText(1),
            QStringLiteral("pulldown.ts: MPEG transport stream: accepted with Extended formats"));
        box->click();
        w.AddDurationsFromFiles({ts});
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2),
                 (QStringList{"00:00:02.00", "00:00:10.00"}));
        w.AddAudioFiles({ts});
        QCOMPARE(w.cutList_->topLevelItemCount(), 0);
        w.SaveSettings();
        QCOMPARE(settings_->value(settings_keys::kExtendedFormats).toInt(), 1);
    }

    void tenRowsAreNumberedAndRenumberedAfterADelete() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string ac3 = Copy("ac3-stereo-192k.ac3");
        for (int i = 0; i < 9; ++i) {
            w.AddDurationsFromFiles({Q(ac3)});
        }
        QCOMPARE(test::ColumnTexts(w.durationsList_, 0),
                 (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        AddTyped(forms, {"0", "0", "1", "0"});
        QCOMPARE(test::ColumnTexts(w.durationsList_, 0),
                 (QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}));
        SelectOnlyRow(w.durationsList_, 9);
        w.BitBtn3Click();
        QCOMPARE(test::ColumnTexts(w.durationsList_, 0),
                 (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        QCOMPARE(FirstSelectedRow(w.durationsList_), 8);  // the row before the deleted last one

        w.SelectAllDurations();
        QCOMPARE(w.durationsList_->selectedItems().size(), 9);
        w.durationsList_->topLevelItem(4)->setSelected(false);
        w.durationsMenuEntries_.deleteSelected->trigger();
        QCOMPARE(test::ColumnTexts(w.durationsList_, 0), QStringList{"1"});
        SelectOnlyRow(w.durationsList_, 0);
        w.deleteDurationButton_->click();
        QCOMPARE(w.durationsList_->topLevelItemCount(), 0);
        QCOMPARE(w.StatusText(0), QString());
        QCOMPARE(w.StatusText(1), QString());
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:00.00 (NTSC)"));
        QVERIFY(!w.processButton_->isEnabled());
        // Deleted rows keep their entries in the tables.
        QCOMPARE(w.State().tables.DurationCount(), 10);
    }

    void clearAllEmptiesTheListAndDisablesProcess() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        AddTyped(forms, {"0", "0", "5", "0"});
        test::AddRow(w, w.cutList_, "a.ac3", "/in/a.ac3");
        w.destinationEdit_->setText(QStringLiteral("/"));
        QVERIFY(!w.UpdateProcessEnabled());
        w.durationsMenuEntries_.clearAll->trigger();
        QCOMPARE(w.durationsList_->topLevelItemCount(), 0);
        QVERIFY(!w.processButton_->isEnabled());
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:00.00 (NTSC)"));
    }

    void movesWrapAroundAndRenumber() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string wav = Copy("wav-s16-plain.wav");
        AddTyped(forms, {"0", "0", "1", "0"});
        w.AddDurationsFromFiles({Q(wav)});
        AddTyped(forms, {"0", "0", "3", "0"});
        const QStringList middle = test::RowTexts(w.durationsList_->topLevelItem(1)).mid(1);
        SelectOnlyRow(w.durationsList_, 2);
        w.BitBtn7Click();  // the last row goes to the top
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2),
                 (QStringList{"00:00:03.00", "00:00:01.00", TimeOf(wav, TvSystem::Ntsc)}));
        QCOMPARE(test::ColumnTexts(w.durationsList_, 0), (QStringList{"1", "2", "3"}));
        QCOMPARE(FirstSelectedRow(w.durationsList_), 0);
        SelectOnlyRow(w.durationsList_, 0);
        w.BitBtn6Click();  // the first row goes to the end
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2),
                 (QStringList{"00:00:01.00", TimeOf(wav, TvSystem::Ntsc), "00:00:03.00"}));
        SelectOnlyRow(w.durationsList_, 1);
        w.durationsMenuEntries_.moveUp->trigger();
        QTreeWidgetItem* moved = w.durationsList_->topLevelItem(0);
        QCOMPARE(test::RowTexts(moved).mid(1), middle);
        QCOMPARE(w.PathOfRow(moved), Q(wav));
        QCOMPARE(moved->toolTip(1), Q(wav));
        QCOMPARE(test::ColumnTexts(w.durationsList_, 0), (QStringList{"1", "2", "3"}));
        // The order of the durations is the order of the total's terms only; it stays.
        QCOMPARE(w.DurationsTotal(), AddTimeCodes(MakeTimeCode(0, 0, 4, 0),
                                                  test::DurationOf(wav, TvSystem::Ntsc), 30.0));
    }

    void informationShowsTheReportOrEditsATypedDuration() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string dts = Copy("dts-51.dts");
        w.AddDurationsFromFiles({Q(dts)});
        AddTyped(forms, {"0", "0", "10", "29"});
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.durationsList_->setFocus();
        SelectOnlyRow(w.durationsList_, 0);
        QTest::keyClick(w.durationsList_, Qt::Key_Return);
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(Q(host_->messages[0].title), QStringLiteral("Information"));
        QVERIFY(Q(host_->messages[0].text).contains(QStringLiteral("/dts-51.dts\r\n")));
        // The report shows the separator of the user's locale in the DTS bit rate.
        QVERIFY(Q(host_->messages[0].text)
                    .contains(QStringLiteral("754") + w.DecimalSeparator() + QStringLiteral("5")));

        w.palButton_->click();  // PAL: the dialog shows the PAL entry
        SelectOnlyRow(w.durationsList_, 1);
        QTreeWidgetItem* typed = w.durationsList_->topLevelItem(1);
        const QStringList shown = AnswerDialog(forms, Typed{"0", "0", "20", "30"}, true, [&] {
            emit w.durationsList_->itemDoubleClicked(typed, 1);
        });
        QCOMPARE(shown, (QStringList{"0", "0", "10", "24"}));
        QCOMPARE(typed->text(2), QStringLiteral("00:00:20.24"));
        const DurationPair* pair = w.State().tables.DurationAt(ItemDataOf(typed));
        QCOMPARE(pair->pal, MakeTimeCode(0, 0, 20, 24));
        QCOMPARE(pair->ntsc, MakeTimeCode(0, 0, 20, 24));
        QCOMPARE(w.StatusText(2),
                 test::TotalShown(AddTimeCodes(test::DurationOf(dts, TvSystem::Pal),
                                               MakeTimeCode(0, 0, 20, 24), 25.0),
                                  TvSystem::Pal));
        // Cancel keeps the duration.
        AnswerDialog(forms, Typed{"1", "0", "0", "0"}, false, [&] { w.ListView1DblClick(); });
        QCOMPARE(typed->text(2), QStringLiteral("00:00:20.24"));
        QCOMPARE(host_->messages.size(), std::size_t{1});
    }

    void dropsAddDurationsInOrder() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string a = Copy("mp2-crc.mp2", "première prise.mp2");
        const std::string b = Copy("ac3-51-448k.ac3");
        QVERIFY(test::DropFiles(w.durationsList_, {b, dir_->path().string(), a}));
        QCOMPARE(test::ColumnTexts(w.durationsList_, 1),
                 (QStringList{"ac3-51-448k.ac3", "première prise.mp2"}));
        QVERIFY(host_->messages.empty());
    }

    void theOpenDialogStartsInTheDurationsFolder() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string a = Copy("ac3-stereo-192k.ac3");
        QStringList filters;
        QString start = QStringLiteral("unset");
        w.SetFilesPicker([&](QWidget*, const QString& folder, const QStringList& names) {
            start = folder;
            filters = names;
            return QStringList{Q(a)};
        });
        w.addDurationButton_->click();
        QCOMPARE(start, QString());
        QCOMPARE(filters.size(), 10);
        QCOMPARE(filters[3], QStringLiteral(" Mpeg1, Mpeg2 Video (m1v, m2v, mpeg, mpg, mpv) (*.m2v "
                                            "*.m1v *.mpg *.mpeg *.mpv *.mpv2 *.mp2v *.m2p)"));
        QCOMPARE(w.durationsList_->topLevelItemCount(), 1);
        QCOMPARE(w.Settings().openPath1, Q(dir_->path().string()) + QLatin1Char('/'));
        w.durationsMenuEntries_.add->trigger();
        QCOMPARE(start, w.Settings().openPath1);
        QCOMPARE(w.durationsList_->topLevelItemCount(), 2);
    }

    void theSystemSwitchChangesEveryTimeShown() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.mainWindow;
        const std::string wav = Copy("wav-s16-list.wav");
        const std::string mp2 = Copy("mp2-crc.mp2");
        w.AddDurationsFromFiles({Q(wav)});
        AddTyped(forms, {"0", "10", "0", "29"});
        w.AddAudioFile(w.cutList_, Q(wav));
        w.AddAudioFile(w.cutList_, Q(mp2));
        w.AddAudioFile(w.mergeList_, Q(wav));
        const QString wavNtsc = TimeOf(wav, TvSystem::Ntsc);
        const QString wavPal = TimeOf(wav, TvSystem::Pal);
        QVERIFY(wavNtsc != wavPal);
        test::SendFocus(w.durationsList_);

        w.palButton_->click();
        QCOMPARE(w.State().system, TvSystem::Pal);
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2), (QStringList{wavPal, "00:10:00.24"}));
        QCOMPARE(test::ColumnTexts(w.durationsList_, 3), (QStringList{"PAL", "NTSC"}));
        QCOMPARE(test::ColumnTexts(w.cutList_, 1),
                 (QStringList{wavPal, TimeOf(mp2, TvSystem::Pal)}));
        QCOMPARE(test::ColumnTexts(w.mergeList_, 1), QStringList{wavPal});
        QVERIFY(w.StatusText(2).endsWith(QStringLiteral(" (PAL)")));

        w.ntscButton_->click();
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2), (QStringList{wavNtsc, "00:10:00.29"}));
        QCOMPARE(test::ColumnTexts(w.cutList_, 1),
                 (QStringList{wavNtsc, TimeOf(mp2, TvSystem::Ntsc)}));
        QCOMPARE(test::ColumnTexts(w.mergeList_, 1), QStringList{wavNtsc});
        QCOMPARE(w.StatusText(2),
                 test::TotalShown(AddTimeCodes(test::DurationOf(wav, TvSystem::Ntsc),
                                               MakeTimeCode(0, 10, 0, 29), 30.0),
                                  TvSystem::Ntsc));

        // A file that is gone keeps the time of its pair; one that changed shows its own.
        std::filesystem::remove(wav);
        w.palButton_->click();
        QCOMPARE(test::ColumnTexts(w.durationsList_, 2), (QStringList{wavPal, "00:10:00.24"}));
        QCOMPARE(test::ColumnTexts(w.cutList_, 1),
                 (QStringList{"???", TimeOf(mp2, TvSystem::Pal)}));
    }
};

QTEST_MAIN(DurationsListTest)
#include "tst_durations_list.moc"
