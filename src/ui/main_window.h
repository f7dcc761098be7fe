#pragma once
// The main window: the durations list on the right, the two pages of audio files on the left,
// the destination folder, the TV system, progress, the commands at the bottom and the status
// bar. It owns the state the lists and jobs share. Its code is split by concern:
//   main_window.cpp           construction and layout
//   main_window_settings.cpp  settings, geometry, start-up and closing
//   main_window_commands.cpp  destination folder, Process rule, busy state, Close/Cancel, timer
//   main_window_status.cpp    status bar, totals, list focus and selection, pages, system
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

#include "core/host.h"
#include "core/progress.h"
#include "ui/drop_list.h"
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
    void PageControl1Change();

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
    void ReportProgress(std::uint64_t position);
    ProgressCallback ProgressReporter();
    // Selects, focuses and scrolls to the durations row of the piece being written.
    void ShowCurrentPiece(int listIndex);

    // The folder browser; tests put a scripted one in its place.
    using FolderPicker =
        std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)>;
    void SetFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }

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
    TDropList2* ListView2 = nullptr;      // "Cut every file from list"
    TDropList2* ListView3 = nullptr;      // "Merge all files before processing"
    QPushButton* BitBtn2 = nullptr;       // add audio files
    QPushButton* BitBtn4 = nullptr;       // delete audio files
    QPushButton* SpeedButton3 = nullptr;  // clear all audio files
    QCheckBox* CheckBox1 = nullptr;       // "Check file format header"
    QPushButton* BitBtn8 = nullptr;       // move audio file up
    QPushButton* BitBtn9 = nullptr;       // move audio file down
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
    // Runs once, before the window is first shown.
    void FormShow();
    // The close question; true when the window may close.
    bool FormCloseQuery();
    void FormClose();
    void ApplySettingsToControls();
    // Sets the TV system and shows the total of the list in use in it.
    void SystemChanged(int systemRate);
    // The merge and the cutters over the lists, run by Process inside the busy state. Returns
    // true when the job was cancelled between two files: Cancel has restored the window then.
    bool RunProcess(bool mergePage);
    // Pixels for a designed width, grown with the font when the font is larger than designed.
    int Scaled(int designedPixels) const;

    WindowState state_;
    VarnixSettings settings_;
    std::unique_ptr<SettingsStorage> storage_;
    std::unique_ptr<ProgressBarAdapter> progress_;
    FolderPicker folderPicker_;
    TDurationForm* durationForm_ = nullptr;
    TAddToOneForm* mergerForm_ = nullptr;
    TSplitterAboutForm* aboutForm_ = nullptr;
    std::string savedOutputFolder_;
    double scale_ = 1.0;
    bool shown_ = false;
};

}  // namespace varnix
