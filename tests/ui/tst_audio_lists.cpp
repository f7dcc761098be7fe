// The audio files lists of both pages driven as a user drives them, with real files: what a
// row shows for each kind, which files the lists refuse, the merge list's first row and header
// check, drops, moves, deletes, the popup menu's keys and the Information command.

#include <QTest>
#include <filesystem>
#include <memory>

#include "support/audio_builders.h"
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

QString MissingText(const QString& name) {
    return name + QStringLiteral(" file not exist or it is opened by another application!");
}

}  // namespace

class AudioListsTest : public QObject, protected test::WindowFixture {
    Q_OBJECT
  private:
    std::string Write(const std::string& name, const test::Bytes& bytes) {
        return dir_->write(name, bytes);
    }
    // A PCM WAV file of another format than the test data (44.1 kHz, 16 bits, stereo).
    std::string Wav44k1(const std::string& name = "other.wav") {
        test::WAVFormat format;
        format.sampleRate = 44100;
        return Write(name, test::BuildWAV(format, 44100 * 4));
    }
    std::string TextFile(const std::string& name = "notes.txt") {
        return Write(name, {'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't', '.', '\n', 'x'});
    }
    // An MPEG video elementary stream by its first bytes (a sequence header).
    std::string VideoFile(const std::string& name) {
        return Write(name, {0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02, 0x40, 0x33, 0xFF, 0xFF, 0xE0, 0x18,
                            0x00, 0x00, 0x01, 0xB8});
    }
    static void Add(TAC3Splitter& w, const std::vector<std::string>& files) {
        QStringList names;
        for (const std::string& file : files) {
            names << Q(file);
        }
        w.AddAudioFiles(names);
    }

  private slots:
    // The tests look at the commands themselves: no timer changes them.
    void init() { SetUpWindowFixture(false); }
    void cleanup() { TearDownWindowFixture(); }

    void rowsShowTheColumnsOfTheirKind_data() {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("image");
        QTest::newRow("AC3 2.0") << "ac3-stereo-192k.ac3"
                                 << QStringList{"CH:2", "48.0 kHz", "192 Kbps", "Dolby 2.0"} << 1;
        QTest::newRow("AC3 5.1") << "ac3-51-448k.ac3"
                                 << QStringList{"CH:6", "48.0 kHz", "448 Kbps", "Dolby 5.1"} << 1;
        QTest::newRow("AC3 at 44.1 kHz")
            << "ac3-44k1-192k.ac3" << QStringList{"CH:2", "44.1 kHz", "192 Kbps", "Dolby 2.0"} << 1;
        QTest::newRow("DTS 5.1") << "dts-51.dts"
                                 << QStringList{"CH:6", "48.0 kHz", "754 Kbps", "DTS 5.1"} << 2;
        QTest::newRow("MPEG audio")
            << "mp2-crc.mp2" << QStringList{"CH:2", "48.0 kHz", "192 Kbps", "Stereo"} << 3;
        QTest::newRow("WAV with a LIST chunk")
            << "wav-s16-list.wav" << QStringList{"CH:2", "48.0 kHz", "16 bits", "PCM"} << 0;
    }
    void rowsShowTheColumnsOfTheirKind() {
        QFETCH(QString, data);
        QFETCH(QStringList, columns);
        QFETCH(int, image);
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const std::string file = Copy(qPrintable(data), "in put ü.x");
        QVERIFY(w.AddAudioFile(w.ListView2, Q(file)));
        QCOMPARE(w.ListView2->topLevelItemCount(), 1);
        QTreeWidgetItem* row = w.ListView2->topLevelItem(0);
        const QStringList expected =
            QStringList{QStringLiteral("in put ü.x"), TimeOf(file, TvSystem::Ntsc)} + columns;
        QCOMPARE(test::RowTexts(row), expected);
        QCOMPARE(ImageIndexOf(row), image);
        QVERIFY(!row->icon(0).isNull());
        QCOMPARE(w.PathOfRow(row), Q(file));
        QCOMPARE(w.StatusText(1), Q(file));
        QCOMPARE(w.StatusText(0), QStringLiteral("   1 / 1"));
        QCOMPARE(w.StatusText(2),
                 test::TotalShown(test::DurationOf(file, TvSystem::Ntsc), TvSystem::Ntsc));
        QVERIFY(host_->messages.empty());
    }

    void mpegAudioAt44k1ShowsItsKilohertzRounded() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        test::MPAFrameParams params;
        params.sampleRateIndex = 0;  // 44.1 kHz
        params.mode = 3;             // mono
        Add(w, {Write("a.mp2", test::BuildMPAStream(params, 40))});
        QCOMPARE(test::RowTexts(w.ListView2->topLevelItem(0)).mid(2),
                 (QStringList{"CH:1", "44.0 kHz", "192 Kbps", "Mono"}));
    }

    void theCutPageSkipsWhatIsNoAudioWithoutAWord() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        Add(w, {Copy("wav-float.wav"), Copy("ac3-stereo-192k.ac3", "ac3 named.wav"),
                Copy("wav-s16-plain.wav", "pcm named.m2v"), TextFile(),
                Copy("video/ntsc_mpeg2.m2v"), Copy("video/mpeg1_cif.m1v", "video named.ac3"),
                VideoFile("stub.mpa"), dir_->path().string(), dir_->file("gone.ac3"),
                Copy("bad/ac3-truncated-header.ac3"), Copy("mp2-id3.mp2")});
        // Of all these only the truncated AC3 header is audio by its content: it has no
        // duration.
        QCOMPARE(w.ListView2->topLevelItemCount(), 1);
        QCOMPARE(test::RowTexts(w.ListView2->topLevelItem(0)),
                 (QStringList{"ac3-truncated-header.ac3", "???", "???", "???", "???", "???"}));
        QCOMPARE(ItemDataOf(w.ListView2->topLevelItem(0)), -1);
        QVERIFY(host_->messages.empty());
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:00.00 (NTSC)"));
    }

    void aFileThatIsGoneIsNamed() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        QVERIFY(!w.AddAudioFile(w.ListView2, Q(dir_->file("gone é.ac3"))));
        QVERIFY(!w.AddAudioFile(w.ListView2, Q(dir_->path().string())));  // a folder
        QCOMPARE(host_->messages.size(), std::size_t{2});
        const auto& message = host_->messages.front();
        QCOMPARE(Q(message.text), MissingText(QStringLiteral("gone é.ac3")));
        QCOMPARE(Q(message.title), QStringLiteral("Error!"));
        QCOMPARE(message.icon, MessageIcon::None);
        QVERIFY(!message.question);
        QCOMPARE(w.ListView2->topLevelItemCount(), 0);
    }

    void theMergeListTakesAnythingAfterItsFirstRow() {
        VarnixForms forms = Start(kMergePage);
        TAC3Splitter& w = *forms.AC3Splitter;
        // The first row passes the checks.
        Add(w, {TextFile(), dir_->file("gone.ac3"), Copy("wav-float.wav"),
                Copy("video/ntsc_mpeg2.m2v", "first.m2v")});
        QCOMPARE(w.ListView3->topLevelItemCount(), 0);
        QVERIFY(host_->messages.empty());
        const std::string first = Copy("ac3-stereo-192k.ac3");
        Add(w, {first, TextFile(), Copy("wav-float.wav"), dir_->file("gone.ac3"),
                Copy("video/ntsc_mpeg2.m2v"), Copy("ac3-stereo-192k.ac3", "second.ac3")});
        QCOMPARE(test::ColumnTexts(w.ListView3, 0),
                 (QStringList{"ac3-stereo-192k.ac3", "notes.txt", "wav-float.wav", "ntsc_mpeg2.m2v",
                              "second.ac3"}));
        // A video shows its duration and no other columns.
        QCOMPARE(test::RowTexts(w.ListView3->topLevelItem(3), 6),
                 (QStringList{"ntsc_mpeg2.m2v", "00:00:03.00", "", "", "", ""}));
        const QStringList unknown = {"???", "???", "???", "???", "???"};
        QCOMPARE(test::RowTexts(w.ListView3->topLevelItem(1)).mid(1), unknown);
        QCOMPARE(test::RowTexts(w.ListView3->topLevelItem(2)).mid(1), unknown);
        QCOMPARE(ItemDataOf(w.ListView3->topLevelItem(1)), -1);
        QCOMPARE(ImageIndexOf(w.ListView3->topLevelItem(1)), -1);
        // The file that was gone is named; the others go on without a word.
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(Q(host_->messages.front().text), MissingText(QStringLiteral("gone.ac3")));
        // Rows without a duration count nothing in the total.
        const TimeCode one = test::DurationOf(first, TvSystem::Ntsc);
        const TimeCode total =
            AddTimeCodes(AddTimeCodes(one, one, 30.0), MakeTimeCode(0, 0, 3, 0), 30.0);
        QCOMPARE(w.StatusText(2), test::TotalShown(total, TvSystem::Ntsc));
        // Nothing of this reaches the cut page.
        QCOMPARE(w.ListView2->topLevelItemCount(), 0);
    }

    void aVideoOnTheMergeListIsScannedInTheBusyState() {
        VarnixForms forms = Start(kMergePage);
        TAC3Splitter& w = *forms.AC3Splitter;
        Add(w, {Copy("ac3-stereo-192k.ac3")});
        bool busy = false;
        onPump_ = [&](int) {
            busy = busy || (w.State().Busy != 0 && !w.PageControl1->isEnabled() &&
                            w.BitBtn11->text() == QStringLiteral("Cancel"));
        };
        Add(w, {Copy("video/pal_mpeg2.m2v")});
        onPump_ = nullptr;
        QVERIFY(busy);  // no row can go away under the scan
        QCOMPARE(w.ListView3->topLevelItem(1)->text(1), QStringLiteral("00:00:10.00"));
        QCOMPARE(test::NotIdle(w), QStringList());
    }

    void theFirstMergeRowIsLockedWithoutHeaderCheck() {
        VarnixForms forms = Start(kMergePage);
        TAC3Splitter& w = *forms.AC3Splitter;
        Add(w, {Copy("ac3-stereo-192k.ac3", "a.ac3"), Copy("ac3-stereo-192k.ac3", "b.ac3"),
                Copy("ac3-stereo-192k.ac3", "c.ac3")});
        const QStringList order = {"a.ac3", "b.ac3", "c.ac3"};
        auto select = [&](int row) { SelectOnlyRow(w.ListView3, row); };

        // Row 0 stays: Delete, Move up and Move down refuse (the refusals of the other rows are
        // the plain rules' table).
        select(0);
        w.BitBtn4Click();
        w.BitBtn8Click();
        w.BitBtn9Click();
        QCOMPARE(test::ColumnTexts(w.ListView3, 0), order);
        select(2);
        w.BitBtn8Click();
        QCOMPARE(test::ColumnTexts(w.ListView3, 0), (QStringList{"a.ac3", "c.ac3", "b.ac3"}));
        QCOMPARE(FirstSelectedRow(w.ListView3), 1);

        // With the header check the first row moves and goes like any other.
        w.CheckBox1->click();
        select(0);
        w.BitBtn8Click();
        QCOMPARE(test::ColumnTexts(w.ListView3, 0), (QStringList{"c.ac3", "b.ac3", "a.ac3"}));
        w.CheckBox1->click();
        select(1);
        w.BitBtn4Click();
        w.BitBtn4Click();
        QCOMPARE(test::ColumnTexts(w.ListView3, 0), QStringList{"c.ac3"});
        select(0);
        w.BitBtn4Click();  // the only row goes
        QCOMPARE(w.ListView3->topLevelItemCount(), 0);
        QCOMPARE(w.StatusText(0), QString());
        QCOMPARE(w.StatusText(1), QString());
    }

    void theHeaderCheckRemovesAWAVOfAnotherFormat() {
        VarnixForms forms = Start(kMergePage);
        TAC3Splitter& w = *forms.AC3Splitter;
        w.CheckBox1->click();
        const int pathsBefore = w.State().Tables.FilePathCount();
        Add(w, {Copy("wav-s16-list.wav"), Wav44k1(), Copy("wav-s16-plain.wav"),
                Copy("ac3-44k1-32k.ac3"), TextFile()});
        QCOMPARE(test::ColumnTexts(w.ListView3, 0),
                 (QStringList{"wav-s16-list.wav", "wav-s16-plain.wav", "ac3-44k1-32k.ac3"}));
        // The refused file keeps its entries in the tables, as deleted rows do.
        QCOMPARE(w.State().Tables.FilePathCount(), pathsBefore + 4);
        QVERIFY(host_->messages.empty());
        Add(w, {Wav44k1("last.wav")});
        QCOMPARE(w.ListView3->topLevelItemCount(), 3);
        QCOMPARE(w.StatusText(0), QString());
        QCOMPARE(w.StatusText(1), QString());
    }

    void dropsAddToTheListOfThePageShownInOrder() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const std::string a = Copy("mp2-crc.mp2", "Größe 1.mp2");
        const std::string b = Copy("ac3-stereo-192k.ac3", "#2 [b].ac3");
        QVERIFY(test::DropFiles(w.ListView2, {a, dir_->path().string(), TextFile(), b}));
        QCOMPARE(test::ColumnTexts(w.ListView2, 0), (QStringList{"Größe 1.mp2", "#2 [b].ac3"}));
        QCOMPARE(w.PathOfRow(w.ListView2->topLevelItem(0)), Q(a));
        QCOMPARE(w.StatusText(2),
                 test::TotalShown(AddTimeCodes(test::DurationOf(a, TvSystem::Ntsc),
                                               test::DurationOf(b, TvSystem::Ntsc), 30.0),
                                  TvSystem::Ntsc));
        // Links that are no local files are not taken.
        QVERIFY(!test::DropUrls(w.ListView2, {QUrl(QStringLiteral("https://example.org/x.ac3"))}));

        w.PageControl1->setCurrentIndex(kMergePage);
        QVERIFY(test::DropFiles(w.ListView3, {b, a}));
        QCOMPARE(test::ColumnTexts(w.ListView3, 0), (QStringList{"#2 [b].ac3", "Größe 1.mp2"}));
        QCOMPARE(w.ListView2->topLevelItemCount(), 2);
    }

    void theOpenDialogStartsInTheAudioFolderAndRemembersIt() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const std::string a = Copy("ac3-stereo-192k.ac3");
        const std::string b = Copy("dts-51.dts");
        QString start;
        QStringList filters;
        QStringList answer = {Q(a), Q(TextFile()), Q(b)};
        w.SetFilesPicker([&](QWidget*, const QString& folder, const QStringList& names) {
            start = folder;
            filters = names;
            return answer;
        });
        w.BitBtn2->click();
        QCOMPARE(start, QString());
        QCOMPARE(filters.size(), 7);
        QCOMPARE(filters.front(), QStringLiteral("All files (*.*) (*)"));
        QCOMPARE(test::ColumnTexts(w.ListView2, 0),
                 (QStringList{"ac3-stereo-192k.ac3", "dts-51.dts"}));
        const QString folder = Q(dir_->path().string()) + QLatin1Char('/');
        QCOMPARE(w.Settings().openPath2, folder);
        w.PopupMenu2Items.Add->trigger();
        QCOMPARE(start, folder);
        QCOMPARE(w.ListView2->topLevelItemCount(), 4);

        answer.clear();  // cancelled: the folder stays, the total is shown anew
        w.SetStatusText(2, {});
        w.BitBtn2->click();
        QCOMPARE(w.Settings().openPath2, folder);
        QVERIFY(w.StatusText(2).startsWith(QStringLiteral("   Total time: ")));
    }

    void movesWrapAroundOnTheCutPage() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        Add(w, {Copy("wav-s16-list.wav"), Copy("ac3-stereo-192k.ac3"), Copy("dts-51.dts")});
        const QStringList first = test::RowTexts(w.ListView2->topLevelItem(0));
        const int stateIndex = StateIndexOf(w.ListView2->topLevelItem(0));
        const int itemData = ItemDataOf(w.ListView2->topLevelItem(0));
        SelectOnlyRow(w.ListView2, 0);
        w.BitBtn8Click();
        QCOMPARE(test::ColumnTexts(w.ListView2, 0),
                 (QStringList{"ac3-stereo-192k.ac3", "dts-51.dts", "wav-s16-list.wav"}));
        QTreeWidgetItem* moved = w.ListView2->topLevelItem(2);
        QCOMPARE(test::RowTexts(moved), first);
        QCOMPARE(StateIndexOf(moved), stateIndex);
        QCOMPARE(ItemDataOf(moved), itemData);
        QCOMPARE(moved->toolTip(0), w.PathOfRow(moved));
        QCOMPARE(ImageIndexOf(moved), 0);
        QVERIFY(!moved->icon(0).isNull());
        QVERIFY(moved->isSelected());
        QCOMPARE(w.ListView2->currentItem(), moved);
        QVERIFY(w.State().MovedItem.empty());
        w.BitBtn9Click();  // the last row goes to the top
        QCOMPARE(w.ListView2->topLevelItem(0)->text(0), QStringLiteral("wav-s16-list.wav"));
        QCOMPARE(w.StatusText(0), QStringLiteral("   1 / 3"));
        // Without a selected row nothing moves.
        w.ListView2->clearSelection();
        w.BitBtn9Click();
        QCOMPARE(w.ListView2->topLevelItem(0)->text(0), QStringLiteral("wav-s16-list.wav"));
    }

    void selectAllThenDeleteAndClear() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const auto files = std::vector<std::string>{Copy("ac3-stereo-192k.ac3", "1.ac3"),
                                                    Copy("ac3-stereo-192k.ac3", "2.ac3"),
                                                    Copy("ac3-stereo-192k.ac3", "3.ac3")};
        Add(w, files);
        w.SelectAllAudio();
        QCOMPARE(w.ListView2->selectedItems().size(), 3);
        // Adding a file lets one row be selected again.
        Add(w, {Copy("ac3-stereo-192k.ac3", "4.ac3")});
        QCOMPARE(w.ListView2->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(w.ListView2->selectedItems().size() <= 1);

        w.SelectAllAudio();
        w.ListView2->topLevelItem(0)->setSelected(false);
        w.BitBtn4Click();
        QCOMPARE(test::ColumnTexts(w.ListView2, 0), QStringList{"1.ac3"});
        QCOMPARE(FirstSelectedRow(w.ListView2), 0);

        Add(w, {Copy("ac3-stereo-192k.ac3", "5.ac3")});
        w.UpdateProcessEnabled();
        w.SpeedButton3Click();
        QCOMPARE(w.ListView2->topLevelItemCount(), 0);
        QCOMPARE(w.StatusText(2), QStringLiteral("   Total time: 00:00:00.00 (NTSC)"));
        QVERIFY(!w.BitBtn10->isEnabled());
    }

    void theMenuKeysWorkInTheList() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const std::string ac3 = Copy("ac3-stereo-192k.ac3");
        Add(w, {ac3, Copy("mp2-crc.mp2"), Copy("dts-51.dts")});
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.ListView2->setFocus();
        SelectOnlyRow(w.ListView2, 0);

        QTest::keyClick(w.ListView2, Qt::Key_Return);  // Information
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(Q(host_->messages.back().title), QStringLiteral("Information"));
        QVERIFY(
            Q(host_->messages.back().text).contains(QStringLiteral("/ac3-stereo-192k.ac3\r\n")));

        QTest::keyClick(w.ListView2, Qt::Key_A, Qt::ControlModifier);  // Select all
        QCOMPARE(w.ListView2->selectedItems().size(), 3);
        w.ListView2->topLevelItem(0)->setSelected(false);
        QTest::keyClick(w.ListView2, Qt::Key_Delete);  // Delete
        QCOMPARE(test::ColumnTexts(w.ListView2, 0), QStringList{"ac3-stereo-192k.ac3"});
        QTest::keyClick(w.ListView2, Qt::Key_Delete, Qt::ControlModifier);  // Clear all
        QCOMPARE(w.ListView2->topLevelItemCount(), 0);
    }

    void doubleClickShowsTheReport() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        const std::string wav = Copy("wav-s16-plain.wav");
        Add(w, {wav});
        QTreeWidgetItem* row = w.ListView2->topLevelItem(0);
        SelectOnlyRow(w.ListView2, 0);
        emit w.ListView2->itemDoubleClicked(row, 0);
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(host_->messages.back().icon, MessageIcon::Information);
        QVERIFY(Q(host_->messages.back().text).contains(QStringLiteral("/wav-s16-plain.wav\r\n")));
        // A file removed since it was added shows nothing.
        std::filesystem::remove(wav);
        w.AudioListDblClick();
        QCOMPARE(host_->messages.size(), std::size_t{1});
    }
};

QTEST_MAIN(AudioListsTest)
#include "tst_audio_lists.moc"
