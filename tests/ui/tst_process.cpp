// The Process command on a filled window: the pieces it writes are those that `varnix split`
// writes for the same inputs, the rows worked on are shown, the merge page merges first, and
// Cancel stops a job and leaves the flags at 0.

#include <QTest>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "cli/app.h"
#include "core/file_helpers.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "ui/app_forms.h"
#include "ui/list_roles.h"
#include "ui/merger_form.h"
#include "ui/window_rules.h"
#include "ui_test_support.h"

using namespace varnix;
namespace fs = std::filesystem;

using test::Q;

namespace {

// The files of a folder by name, with their bytes.
std::map<std::string, std::vector<std::uint8_t>> FolderContents(const fs::path& folder) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    if (!fs::is_directory(folder)) {
        return files;
    }
    for (const auto& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] = test::ReadAll(entry.path().string());
    }
    return files;
}

std::vector<std::string> Names(const std::map<std::string, std::vector<std::uint8_t>>& files) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) {
        names.push_back(name);
    }
    return names;
}

QStringList QNames(const std::vector<std::string>& names) {
    QStringList list;
    for (const auto& name : names) {
        list << Q(name);
    }
    return list;
}

// Runs `varnix` in-process; its status, with standard error for failure messages.
int RunCli(const std::vector<std::string>& args, std::string& err) {
    std::vector<const char*> argv = {"varnix"};
    for (const auto& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream errors;
    std::istringstream in;
    const int status = cli::RunVarnix(static_cast<int>(argv.size()), argv.data(),
                                      cli::Streams{out, errors, in, false, false});
    err = errors.str();
    return status;
}

}  // namespace

class ProcessTest : public QObject, protected test::WindowFixture {
    Q_OBJECT
  private:
    // An MPEG-2 video of `frames` frames at 25 (PAL) or 29.97 (NTSC) frames a second.
    std::string Video(const std::string& name, int frames, bool pal) const {
        return test::WriteVideo(*dir_, name, frames, pal, 12);
    }
    std::string OutFolder(const std::string& name) { return dir_->file(name); }

  private slots:
    void init() { SetUpWindowFixture(); }
    void cleanup() { TearDownWindowFixture(); }

    void processWritesThePiecesThatVarnixSplitWrites_data() {
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("merge");
        QTest::addColumn<QStringList>("audio");
        QTest::newRow("AC3 at 44.1 kHz, NTSC")
            << "ntsc" << false << QStringList{"ac3-44k1-32k.ac3"};
        QTest::newRow("AC3 at 44.1 kHz, PAL") << "pal" << false << QStringList{"ac3-44k1-32k.ac3"};
        QTest::newRow("DTS, NTSC") << "ntsc" << false << QStringList{"dts-51.dts"};
        QTest::newRow("MPEG audio, PAL") << "pal" << false << QStringList{"mp2-crc.mp2"};
        QTest::newRow("WAV and AC3, NTSC")
            << "ntsc" << false << QStringList{"wav-s16-list.wav", "ac3-51-448k.ac3"};
        QTest::newRow("merged AC3, PAL")
            << "pal" << true << QStringList{"ac3-stereo-192k.ac3", "ac3-stereo-192k.ac3"};
        QTest::newRow("merged WAV, NTSC")
            << "ntsc" << true << QStringList{"wav-s16-plain.wav", "wav-s16-list.wav"};
    }
    void processWritesThePiecesThatVarnixSplitWrites() {
        QFETCH(QString, system);
        QFETCH(bool, merge);
        QFETCH(QStringList, audio);
        const bool pal = system == QStringLiteral("pal");
        // Two titles: 0.8 s at 25 frames a second, and 27 NTSC frames.
        const std::string title1 = Video("title 1.m2v", 20, true);
        const std::string title2 = Video("title 2.m2v", 27, false);
        std::vector<std::string> inputs;
        for (int i = 0; i < audio.size(); ++i) {
            inputs.push_back(Copy(audio[i].toStdString(),
                                  "in " + std::to_string(i + 1) + "-" + audio[i].toStdString()));
        }

        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        (pal ? w.RadioButton2 : w.RadioButton1)->click();
        w.AddDurationsFromFiles({Q(title1), Q(title2)});
        w.PageControl1->setCurrentIndex(merge ? kMergePage : kCutPage);
        if (merge) {
            w.CheckBox1->click();  // both files go through the checks
        }
        QStringList names;
        for (const auto& input : inputs) {
            names << Q(input);
        }
        w.AddAudioFiles(names);
        QCOMPARE(w.ShownAudioList()->topLevelItemCount(), audio.size());
        const std::string gui = OutFolder("window pieces");
        w.Edit1->setText(Q(gui));
        w.UpdateProcessEnabled();
        QVERIFY(w.BitBtn10->isEnabled());
        w.BitBtn10->click();
        QVERIFY2(host_->messages.empty(),
                 host_->messages.empty() ? "" : host_->messages.front().text.c_str());

        const std::string cli = OutFolder("command-line pieces");
        std::vector<std::string> args = {
            "split", "-s", system.toStdString(), "-o", cli, "-d", title1, "-d", title2, "--yes"};
        if (merge) {
            args.push_back("-m");
        }
        args.insert(args.end(), inputs.begin(), inputs.end());
        std::string err;
        QCOMPARE(RunCli(args, err), 0);

        const auto window = FolderContents(gui);
        const auto command = FolderContents(cli);
        QCOMPARE(QNames(Names(window)), QNames(Names(command)));
        QVERIFY(window.size() >= 2);  // the first duration and what follows it at least
        for (const auto& [name, bytes] : window) {
            QVERIFY2(bytes == command.at(name), name.c_str());
        }
        // The window shows the folder as the job took it and is idle again.
        QCOMPARE(w.Edit1->text(), Q(gui) + QLatin1Char('/'));
        QCOMPARE(test::NotIdle(w), QStringList());
        QCOMPARE(w.Progress().position(), std::int64_t{0});
        QCOMPARE(static_cast<int>(w.LastJob().pieces.size()),
                 static_cast<int>(window.size()) - (merge ? 1 : 0));
    }

    void theRowsWorkedOnAreShownWhileBusy() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        AddTypedRows(w, 3);
        const std::vector<std::string> inputs = {Copy("ac3-51-448k.ac3", "a.ac3"),
                                                 Copy("mp2-crc.mp2", "b.mp2"),
                                                 Copy("bad/ac3-truncated-header.ac3", "c.ac3")};
        for (const auto& input : inputs) {
            w.AddAudioFile(w.ListView2, Q(input));
        }
        w.ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
        w.Edit1->setText(Q(OutFolder("out")));
        std::set<std::pair<int, int>> seen;  // (audio row, durations row) while busy
        bool busyState = true;
        onPump_ = [&](int) {
            if (w.State().Busy == 0) {
                return;
            }
            busyState = busyState && w.BitBtn11->text() == QStringLiteral("Cancel") &&
                        !w.PageControl1->isEnabled() && !w.Panel1->isEnabled();
            seen.insert({FirstSelectedRow(w.ListView2), FirstSelectedRow(w.ListView1)});
            QCOMPARE(w.ListView1->selectionMode(), QAbstractItemView::SingleSelection);
        };
        w.BitBtn10Click();
        onPump_ = nullptr;
        QVERIFY(busyState);
        // Both audio files were shown with the durations rows of their pieces.
        for (int input : {0, 1}) {
            for (int row : {0, 1, 2}) {
                QVERIFY2(seen.count({input, row}) == 1,
                         qPrintable(QStringLiteral("input %1, row %2").arg(input).arg(row)));
            }
        }
        // The file that gave no piece is named once at the end.
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(host_->messages[0].icon, MessageIcon::Warning);
        QVERIFY(Q(host_->messages[0].text).contains(Q(inputs[2])));
        QVERIFY(!Q(host_->messages[0].text).contains(Q(inputs[0])));
        QCOMPARE(w.BitBtn11->text(), QStringLiteral("Close"));
    }

    void theMergePageMergesFirstAndTheMergerShowsIt() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        AddTypedRows(w, 2);
        const std::string a = Copy("ac3-stereo-192k.ac3", "a.ac3");
        const std::string b = Copy("ac3-stereo-192k.ac3", "b.ac3");
        w.PageControl1->setCurrentIndex(kMergePage);
        w.AddAudioFiles({Q(a), Q(b)});
        const std::string out = OutFolder("merged");
        w.Edit1->setText(Q(out));
        std::set<int> mergeRows;
        onPump_ = [&](int) {
            if (forms.AddToOneForm->Busy()) {
                mergeRows.insert(FirstSelectedRow(w.ListView3));
                QCOMPARE(forms.AddToOneForm->CloseButton()->text(), QStringLiteral("Cancel"));
            }
        };
        w.BitBtn10->click();
        onPump_ = nullptr;
        const std::string merged = out + "/a_Merged.ac3";
        QCOMPARE(FileSizeOf(merged), 2 * FileSizeOf(a));
        QCOMPARE(QNames(Names(FolderContents(out))),
                 (QStringList{"a_1.ac3", "a_2.ac3", "a_3.ac3", "a_Merged.ac3"}));
        QCOMPARE(mergeRows, (std::set<int>{0, 1}));
        // The merger object holds what the merge used.
        TAddToOneForm& merger = *forms.AddToOneForm;
        QCOMPARE(test::ColumnTexts(merger.ListView1(), 0), (QStringList{Q(a), Q(b)}));
        QCOMPARE(merger.Edit10()->text(), Q(merged));
        QCOMPARE(merger.CloseButton()->text(), QStringLiteral("Close"));
        QVERIFY(&merger.Progress() != &w.Progress());  // the lent bar was given back
        QVERIFY(host_->messages.empty());

        // An existing merged file is replaced only on OK; refused, nothing is cut.
        for (const auto& piece : {"a_1.ac3", "a_2.ac3", "a_3.ac3"}) {
            fs::remove(out + "/" + piece);
        }
        host_->answers = {false};
        w.BitBtn10->click();
        QCOMPARE(host_->messages.size(), std::size_t{1});
        QCOMPARE(Q(host_->messages[0].text),
                 QStringLiteral("Overwrite file ") + Q(merged) + QStringLiteral(" ?"));
        QCOMPARE(QNames(Names(FolderContents(out))), QStringList{"a_Merged.ac3"});
        QCOMPARE(test::NotIdle(w), QStringList());
    }

    void cancelStopsTheJobAndLeavesTheFlagsAtZero() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        AddTypedRows(w, 2);
        std::vector<std::string> inputs;
        for (const char* name : {"first.ac3", "second.ac3", "third.ac3"}) {
            inputs.push_back(Copy("ac3-51-448k.ac3", name));
            w.AddAudioFile(w.ListView2, Q(inputs.back()));
        }
        const std::string out = OutFolder("cancelled");
        w.Edit1->setText(Q(out));
        bool asked = false;
        onPump_ = [&](int) {
            // Cancel while the second file is being cut.
            if (!asked && w.State().Busy != 0 && FirstSelectedRow(w.ListView2) == 1) {
                asked = true;
                host_->answers = {true};
                w.BitBtn11->click();
            }
        };
        w.BitBtn10->click();
        onPump_ = nullptr;
        QVERIFY(asked);
        QCOMPARE(Q(host_->messages.back().text), QStringLiteral("Abort current operation ?"));
        const QStringList written = QNames(Names(FolderContents(out)));
        QVERIFY(written.contains(QStringLiteral("first_1.ac3")));
        QVERIFY(!written.contains(QStringLiteral("second_3.ac3")));
        for (const QString& name : written) {
            QVERIFY2(!name.startsWith(QStringLiteral("third")), qPrintable(name));
        }
        QCOMPARE(test::NotIdle(w), QStringList());
        QVERIFY(w.LastJob().aborted);
        // The next Process runs to its end.
        w.BitBtn10->click();
        QVERIFY(QNames(Names(FolderContents(out))).contains(QStringLiteral("third_3.ac3")));
    }

    // Whatever ends a job, an exception included, the window leaves its busy state.
    void aJobThatThrowsLeavesTheWindowIdle() {
        VarnixForms forms = Start();
        TAC3Splitter& w = *forms.AC3Splitter;
        AddTypedRows(w, 2);
        for (const int page : {kCutPage, kMergePage}) {
            w.PageControl1->setCurrentIndex(page);
            w.AddAudioFile(w.ShownAudioList(),
                           Q(Copy("ac3-51-448k.ac3", "in" + std::to_string(page) + ".ac3")));
            w.Edit1->setText(Q(OutFolder("thrown" + std::to_string(page))));
            bool wasBusy = false;
            onPump_ = [&](int) {
                wasBusy = !test::NotIdle(w).isEmpty();
                throw std::runtime_error("out of memory");
            };
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.BitBtn10Click());
            onPump_ = nullptr;
            QVERIFY(wasBusy);
            QCOMPARE(test::NotIdle(w), QStringList());
            QVERIFY(&forms.AddToOneForm->Progress() != &w.Progress());
            QVERIFY(!forms.AddToOneForm->Busy());
        }
    }

  private:
    // Typed durations of 0.5 s (15 NTSC frames) each.
    static void AddTypedRows(TAC3Splitter& w, int count) {
        for (int i = 0; i < count; ++i) {
            test::AddRow(w, w.ListView1, QString::number(i + 1), {},
                         DurationPair{MakeTimeCode(0, 0, 0, 12), MakeTimeCode(0, 0, 0, 15)});
        }
    }
};

QTEST_MAIN(ProcessTest)
#include "tst_process.moc"
