#pragma once
// The main window: the durations list on the right, the two pages of audio files on the left,
// the destination folder, the TV system, progress, the commands at the bottom and the status
// bar. It owns the state the lists and jobs share. Its code is split by concern:
//   main_window.cpp           construction and layout
//   main_window_settings.cpp  settings, geometry, start-up and closing
//   main_window_commands.cpp  destination folder, Process rule, busy state, Close/Cancel, timer
//   main_window_status.cpp    status bar, totals, list focus and selection, pages, system
//   main_window_lists.cpp     what the three lists share: menus, drops, moves, open dialogs
//   main_window_durations.cpp the durations list and the duration dialog
//   main_window_audio.cpp     the audio files lists of both pages
//   main_window_process.cpp   the Process command and its progress

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "core/host.h"
#include "core/progress.h"
#include "cut/split_job.h"
#include "formats/detect.h"
#include "formats/format_options.h"
#include "ui/drop_list.h"
#include "ui/list_rules.h"
#include "ui/progress_bar_adapter.h"
#include "ui/settings.h"
#include "ui/window_state.h"

namespace varnix {

class TDurationForm;
class TAddToOneForm;
class TSplitterAboutForm;

// Entries of a list's popup menu. Only the durations list's menu has AddFromTime.
struct ListMenuEntries {
    QAction* Add = nullptr;          // "Add duration from file" or "Add"
    QAction* AddFromTime = nullptr;  // "Add duration from time "
    QAction* Information = nullptr;  // Enter
    QAction* Delete = nullptr;       // Del
    QAction* SelectAll = nullptr;    // Ctrl+A
    QAction* ClearAll = nullptr;     // Ctrl+Del
    QAction* MoveUp = nullptr;
    QAction* MoveDown = nullptr;
};

class TAC3Splitter : public QMainWindow {
    Q_OBJECT
  public:
    // The designed size of the window's client area.
    static constexpr QSize kDesignedClientSize{1423, 1003};
    static constexpr QSize kMinimumClientSize{640, 480};
    static constexpr int kTimer1Interval = 250;

    // Settings are kept in `storage`; the user's settings when it is null.
    explicit TAC3Splitter(std::unique_ptr<SettingsStorage> storage = nullptr,
                          QWidget* parent = nullptr);
    ~TAC3Splitter() override;

    // The dialogs and the merger object that start-up creates after the window.
    void AttachForms(TDurationForm* durationForm, TAddToOneForm* mergerForm,
                     TSplitterAboutForm* aboutForm);
    TDurationForm* DurationForm() const { return durationForm_; }
    TAddToOneForm* MergerForm() const { return mergerForm_; }
    TSplitterAboutForm* AboutForm() const { return aboutForm_; }

    WindowState& State() { return state_; }
    const VarnixSettings& Settings() const { return settings_; }
    SettingsStorage& Storage() { return *storage_; }

    // Settings and geometry.
    void LoadSettings();
    void SaveSettings();
    void SetDefaultSettings();
    void LoadPositions();
    void SavePositions();
    // Empties the tables and the durations list, clears the abort and busy bytes.
    void ResetLists();

    // Commands.
    // Applies the Process button's rule; true when the button is now disabled.
    bool UpdateProcessEnabled();
    void BeginBusy();
    void EndBusy();
    void UpdateDurationCommands(bool enable, bool skipSelectionCommands);
    void UpdateAudioCommands(bool enable, bool skipSelectionCommands);
    void Timer1Timer();
    void BitBtn5Click();   // choose the destination folder
    void BitBtn10Click();  // Process
    void BitBtn11Click();  // Close / Cancel
    void BitBtn14Click();  // About
    void Edit1KeyUp();
    void Edit1Exit();
    void RadioButton1Click();  // NTSC
    void RadioButton2Click();  // PAL
    void CheckBox1Click();
    // The extended formats check box: the lists take what it allows from the next file on.
    void ExtendedFormatsClick();
    // What the lists, reports and jobs take: the extended formats setting.
    FormatOptions Formats() const;
    // Says in the status bar why a file that a list passes over is refused, when that is known
    // ("MPEG-2 video 704 wide: accepted with Extended formats").
    void ShowRefusal(const std::string& fileName);
    void PageControl1Change();

    // The durations list.
    void BitBtn1Click();       // add durations from files chosen in the open dialog
    void BitBtn12Click();      // add a typed ("virtual") duration
    void BitBtn3Click();       // delete the selected durations
    void SpeedButton4Click();  // clear all durations
    void SelectAllDurations();
    void BitBtn6Click();       // move the selected duration up
    void BitBtn7Click();       // move the selected duration down
    void ListView1DblClick();  // Information: the file's report, or edit a typed duration
    // Adds each file of a known kind, in order, as the open dialog and a drop do.
    void AddDurationsFromFiles(const QStringList& fileNames);
    // Adds one file's duration as a new row; false when no row was added.
    bool AddDurationFromFile(const QString& fileName);
    void RenumberDurations();
    void RefreshDurationTimes();
    TimeCode DurationsTotal() const;
    // Shows every time of the three lists in the system chosen now.
    void RecomputeAllTimes();

    // The audio files lists; the commands act on the list of the page shown.
    void BitBtn2Click();       // add files chosen in the open dialog
    void BitBtn4Click();       // delete the selected files
    void SpeedButton3Click();  // clear all files
    void SelectAllAudio();
    void BitBtn8Click();       // move the selected file up
    void BitBtn9Click();       // move the selected file down
    void AudioListDblClick();  // Information: the report of the selected file
    // Adds the files, in order, to the list of the page shown, as the open dialog and a drop do.
    void AddAudioFiles(const QStringList& fileNames);
    // Adds one file as a new row of `list`; false when no row was added (or it was removed
    // again by the header check).
    bool AddAudioFile(TDropList2* list, const QString& fileName);
    // Shows the time of every row of both audio lists in the system chosen now.
    void RecomputeAudioTimes();
    // Compares a new WAV row of the merge list with its first row under the header check and
    // deletes it when the channels, frequency or bit rate differ; false when it was deleted.
    bool CheckMergeFormat(TDropList2* list, QTreeWidgetItem* added, MediaKind kind);

    // What the lists share.
    // Moves the selected row one place up or down; the first row wraps to the end, the last
    // to the top. The row keeps its texts, picture and numbers.
    void MoveRowUp(QTreeWidget* list);
    void MoveRowDown(QTreeWidget* list);
    void ScrollSelectedIntoView(QTreeWidget* list);
    // The information report of a file in a message box, with the window's progress bar.
    void ShowInformation(const QString& fileName);
    // The decimal separator of the user's locale.
    char DecimalSeparator() const;

    // Status bar, totals, lists.
    QString StatusText(int panel) const;
    void SetStatusText(int panel, const QString& text);
    void ShowDurationsTotal();
    // 0: the cut page's list, 1: the merge page's list, -1: the list of the page shown.
    void ShowAudioTotal(int which);
    // The full file name of a row; empty for a row without a file.
    QString PathOfRow(const QTreeWidgetItem* item) const;
    bool MergePageShown() const;
    TDropList2* ShownAudioList() const;
    void ListView1Enter();
    void ListView1SelectItem();
    void AudioListEnter(TDropList2* list);
    void AudioListSelectItem(TDropList2* list);

    // Progress of long work on ProgressBar1.
    ProgressIndicator& Progress() { return *progress_; }
    // Lets the window handle its pending events: the progress callbacks of long work call it, so
    // that the window repaints and its Cancel button works meanwhile.
    void PumpEvents();
    // The event pump; tests put a scripted one in its place.
    void SetEventPump(std::function<void()> pump) { eventPump_ = std::move(pump); }
    // Selects, focuses and scrolls to the durations row of the piece being written; -1 (the
    // tail piece) clears the selection.
    void ShowCurrentPiece(int listIndex);
    // What the last Process wrote.
    const SplitJobResult& LastJob() const { return lastJob_; }

    // The folder browser; tests put a scripted one in its place.
    using FolderPicker =
        std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)>;
    void SetFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    // The open dialog (several files, start folder, the toolkit's name filters); tests put a
    // scripted one in its place. Returns the chosen files, none when cancelled.
    using FilesPicker = std::function<QStringList(QWidget* parent, const QString& startFolder,
                                                  const QStringList& nameFilters)>;
    void SetFilesPicker(FilesPicker picker) { filesPicker_ = std::move(picker); }

    // Controls, named as in the window's design.
    QWidget* Panel6 = nullptr;  // holds the two halves and the splitter between them
    QSplitter* Splitter1 = nullptr;
    QWidget* Panel3 = nullptr;  // left: the pages of audio files
    QWidget* Panel1 = nullptr;  // right: the durations list
    QLabel* Label1 = nullptr;
    TDropList1* ListView1 = nullptr;
    QPushButton* BitBtn1 = nullptr;       // add duration from file
    QPushButton* BitBtn12 = nullptr;      // add virtual duration
    QPushButton* BitBtn3 = nullptr;       // delete durations
    QPushButton* SpeedButton4 = nullptr;  // clear all durations
    QPushButton* BitBtn6 = nullptr;       // move duration up
    QPushButton* BitBtn7 = nullptr;       // move duration down
    QMenu* PopupMenu1 = nullptr;
    ListMenuEntries PopupMenu1Items;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    TDropList2* ListView2 = nullptr;           // "Cut every file from list"
    TDropList2* ListView3 = nullptr;           // "Merge all files before processing"
    QPushButton* BitBtn2 = nullptr;            // add audio files
    QPushButton* BitBtn4 = nullptr;            // delete audio files
    QPushButton* SpeedButton3 = nullptr;       // clear all audio files
    QCheckBox* CheckBox1 = nullptr;            // "Check file format header"
    QCheckBox* extendedFormatsBox_ = nullptr;  // "Extended formats"
    QPushButton* BitBtn8 = nullptr;            // move audio file up
    QPushButton* BitBtn9 = nullptr;            // move audio file down
    QMenu* PopupMenu2 = nullptr;
    ListMenuEntries PopupMenu2Items;
    QWidget* Panel2 = nullptr;  // destination folder
    QPushButton* BitBtn5 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QWidget* Panel4 = nullptr;  // TV system
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "NTSC"
    QRadioButton* RadioButton2 = nullptr;  // "PAL"
    QWidget* Panel5 = nullptr;             // progress
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* BitBtn13 = nullptr;  // "  Help"
    QPushButton* BitBtn14 = nullptr;  // " About"
    QPushButton* BitBtn10 = nullptr;  // "Process"
    QPushButton* BitBtn11 = nullptr;  // "Close" / "Cancel"
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 4> StatusPanels{};
    QTimer* Timer1 = nullptr;
    // The list that last received the input focus; none after creation.
    QTreeWidget* ActiveList = nullptr;

    // Loads the geometry and the settings before the window is shown the first time.
    void setVisible(bool visible) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildDurationsPanel();
    void BuildAudioPanel();
    void BuildBottom(QWidget* bottom);
    void BuildStatusBar();
    void BuildMenus();
    void ConnectCommands();
    void ConnectListCommands();
    // The open dialog over the filter text; the chosen names in the platform's form.
    QStringList ChooseFiles(const QString& startFolder, std::string_view filter);
    void TakeOutRow(QTreeWidget* list, int row);
    void InsertMovedRow(QTreeWidget* list, int index);
    void MoveSelectedRow(QTreeWidget* list, MoveDirection direction);
    // Deletes the selected rows and selects the row at the first one's place; returns the
    // index of the first deleted row, -1 when none was selected.
    int DeleteSelectedRows(QTreeWidget* list);
    // Runs a video scan in the busy state (Cancel stops it); the abort byte is clear after it.
    void RunScan(const std::function<void()>& scan);
    // The duration pair of a file; a video is scanned in the busy state.
    DurationPair FileDurationPair(const std::string& fileName, MediaKind kind);
    void FillAudioColumns(QTreeWidgetItem* item, const std::string& fileName, MediaKind kind);
    // Runs once, before the window is first shown.
    void FormShow();
    // The close question; true when the window may close.
    bool FormCloseQuery();
    void FormClose();
    void ApplySettingsToControls();
    // Sets the TV system and shows the total of the list in use in it.
    void SystemChanged(TvSystem system);
    // Pixels for a designed width, grown with the font when the font is larger than designed.
    int Scaled(int designedPixels) const;

    WindowState state_;
    VarnixSettings settings_;
    std::unique_ptr<SettingsStorage> storage_;
    std::unique_ptr<ProgressBarAdapter> progress_;
    FolderPicker folderPicker_;
    FilesPicker filesPicker_;
    std::function<void()> eventPump_;
    TDurationForm* durationForm_ = nullptr;
    TAddToOneForm* mergerForm_ = nullptr;
    TSplitterAboutForm* aboutForm_ = nullptr;
    SplitJobResult lastJob_;
    double scale_ = 1.0;
    bool shown_ = false;
};

// The window's busy state for the length of a video scan or a job: Begin enters it (the abort
// byte cleared, the busy byte set, the controls disabled, Close reading "Cancel"), and it is left
// (both bytes 0, the controls restored, the progress bar at its minimum) by End or when the scope
// ends, however the work ends, exceptions included.
class BusyScope {
  public:
    explicit BusyScope(TAC3Splitter& window) : window_(window) {}
    ~BusyScope() { End(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    void Begin();
    void End();

  private:
    TAC3Splitter& window_;
    bool active_ = false;
};

}  // namespace varnix
