// Construction and layout of the main window.

#include "ui/main_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/gui_host.h"
#include "ui/icons.h"
#include "ui/window_rules.h"

namespace varnix {

namespace {

QAction* MakeEntry(QMenu* menu, const QString& caption, const QList<QKeySequence>& keys = {}) {
    QAction* action = menu->addAction(caption);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    return action;
}

QWidget* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    return panel;
}

}  // namespace

TAC3Splitter::TAC3Splitter(std::unique_ptr<SettingsStorage> storage, QWidget* parent)
    : QMainWindow(parent), storage_(std::move(storage)) {
    if (!storage_) {
        storage_ = std::make_unique<UserSettingsStorage>();
    }
    folderPicker_ = [](QWidget* owner, const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    };
    eventPump_ = ProcessPendingEvents;
    setObjectName(QStringLiteral("AC3Splitter"));
    setWindowTitle(QStringLiteral("Varnix Freeware"));
    const int timeWidth = fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.00")) + 14;
    scale_ = std::max(1.0, timeWidth / 72.0);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(central);

    listsPanel_ = MakePanel(central, "Panel6");
    splitter_ = new QSplitter(Qt::Horizontal, listsPanel_);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setChildrenCollapsible(false);
    auto* listsLayout = new QHBoxLayout(listsPanel_);
    listsLayout->setContentsMargins(0, 0, 0, 0);
    listsLayout->addWidget(splitter_);
    BuildAudioPanel();
    BuildDurationsPanel();
    splitter_->addWidget(audioPanel_);
    splitter_->addWidget(durationsPanel_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    splitter_->setSizes({kDesignedClientSize.width() - Scaled(300), Scaled(300)});

    auto* bottom = new QWidget(central);
    bottom->setObjectName(QStringLiteral("BottomArea"));
    BuildBottom(bottom);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 2);
    layout->addWidget(listsPanel_, 1);
    layout->addWidget(bottom);

    BuildStatusBar();
    BuildMenus();

    progress_ = std::make_unique<ProgressBarAdapter>(progressBar_);
    progress_->setMinimum(0);
    progress_->setMaximum(100);
    progress_->setPosition(0);

    commandTimer_ = new QTimer(this);
    commandTimer_->setObjectName(QStringLiteral("Timer1"));
    commandTimer_->setInterval(kCommandTimerInterval);

    setMinimumSize(kMinimumClientSize);
    resize(kDesignedClientSize);
    ConnectCommands();
    QApplication::instance()->installEventFilter(this);
    commandTimer_->start();
}

TAC3Splitter::~TAC3Splitter() {
    QApplication::instance()->removeEventFilter(this);
}

void TAC3Splitter::AttachForms(TDurationForm* durationForm, TAddToOneForm* mergerForm,
                               TSplitterAboutForm* aboutForm) {
    durationForm_ = durationForm;
    mergerForm_ = mergerForm;
    aboutForm_ = aboutForm;
}

int TAC3Splitter::Scaled(int designedPixels) const {
    return static_cast<int>(designedPixels * scale_ + 0.5);
}

void TAC3Splitter::BuildDurationsPanel() {
    durationsPanel_ = MakePanel(splitter_, "Panel1");
    durationsLabel_ =
        new QLabel(QStringLiteral("Set times from files or input manualy"), durationsPanel_);
    durationsLabel_->setObjectName(QStringLiteral("Label1"));
    durationsList_ = new TDropList1(durationsPanel_);
    durationsList_->setObjectName(QStringLiteral("ListView1"));
    durationsList_->SetColumns(
        {QStringLiteral("?"), QStringLiteral("File name"), QStringLiteral("Time")},
        {Scaled(30), Scaled(135), Scaled(72)});

    addDurationButton_ = MakeButton(durationsPanel_, "BitBtn1", {},
                                    QStringLiteral("Add duration from file"), ButtonIcon::AddFile);
    addVirtualDurationButton_ =
        MakeButton(durationsPanel_, "BitBtn12", {}, QStringLiteral("Add virtual duration time"),
                   ButtonIcon::AddTime);
    deleteDurationButton_ = MakeButton(durationsPanel_, "BitBtn3", {},
                                       QStringLiteral("Delete file"), ButtonIcon::Delete);
    clearDurationsButton_ = MakeButton(durationsPanel_, "SpeedButton4", QStringLiteral("Clear all"),
                                       {}, ButtonIcon::ClearAll);
    durationUpButton_ =
        MakeButton(durationsPanel_, "BitBtn6", {}, QStringLiteral("Move up"), ButtonIcon::MoveUp);
    durationDownButton_ = MakeButton(durationsPanel_, "BitBtn7", {}, QStringLiteral("Move down"),
                                     ButtonIcon::MoveDown);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {addDurationButton_, addVirtualDurationButton_, deleteDurationButton_,
                           clearDurationsButton_}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    buttons->addWidget(durationUpButton_);
    buttons->addWidget(durationDownButton_);
    auto* layout = new QVBoxLayout(durationsPanel_);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(durationsLabel_);
    layout->addWidget(durationsList_, 1);
    layout->addLayout(buttons);
}

void TAC3Splitter::BuildAudioPanel() {
    audioPanel_ = MakePanel(splitter_, "Panel3");
    pages_ = new QTabWidget(audioPanel_);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    const QStringList columns = {QStringLiteral("File name"), QStringLiteral("Time"),
                                 QStringLiteral("Channels"),  QStringLiteral("Frequency"),
                                 QStringLiteral("Bit Rate"),  QStringLiteral("System")};
    const QList<int> widths = {Scaled(145), Scaled(72), Scaled(60),
                               Scaled(65),  Scaled(60), Scaled(60)};
    auto makePage = [&](const char* sheetName, const char* listName, const QString& caption,
                        QWidget*& sheet, TDropList2*& list) {
        sheet = new QWidget(pages_);
        sheet->setObjectName(QString::fromLatin1(sheetName));
        list = new TDropList2(sheet);
        list->setObjectName(QString::fromLatin1(listName));
        list->SetColumns(columns, widths);
        list->setIconSize(kFileKindIconSize);
        auto* pageLayout = new QVBoxLayout(sheet);
        pageLayout->setContentsMargins(2, 2, 2, 2);
        pageLayout->addWidget(list);
        pages_->addTab(sheet, caption);
    };
    makePage("TabSheet1", "ListView2", QStringLiteral("Cut every file from list"), cutPage_,
             cutList_);
    makePage("TabSheet2", "ListView3", QStringLiteral("Merge all files before processing"),
             mergePage_, mergeList_);

    addAudioButton_ =
        MakeButton(audioPanel_, "BitBtn2", {}, QStringLiteral("Add file..."), ButtonIcon::AddFile);
    deleteAudioButton_ = MakeButton(audioPanel_, "BitBtn4", {}, QStringLiteral("Delete file..."),
                                    ButtonIcon::Delete);
    clearAudioButton_ = MakeButton(audioPanel_, "SpeedButton3", QStringLiteral("Clear all"), {},
                                   ButtonIcon::ClearAll);
    checkHeaderBox_ = new QCheckBox(QStringLiteral("Check file format header"), audioPanel_);
    checkHeaderBox_->setObjectName(QStringLiteral("CheckBox1"));
    checkHeaderBox_->setVisible(false);  // shown with the merge page only
    audioUpButton_ =
        MakeButton(audioPanel_, "BitBtn8", {}, QStringLiteral("Move up"), ButtonIcon::MoveUp);
    audioDownButton_ =
        MakeButton(audioPanel_, "BitBtn9", {}, QStringLiteral("Move down"), ButtonIcon::MoveDown);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {addAudioButton_, deleteAudioButton_, clearAudioButton_}) {
        buttons->addWidget(b);
    }
    buttons->addSpacing(12);
    buttons->addWidget(checkHeaderBox_);
    buttons->addStretch(1);
    buttons->addWidget(audioUpButton_);
    buttons->addWidget(audioDownButton_);
    auto* layout = new QVBoxLayout(audioPanel_);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);
}

void TAC3Splitter::BuildBottom(QWidget* bottom) {
    destinationPanel_ = MakePanel(bottom, "Panel2");
    destinationButton_ =
        MakeButton(destinationPanel_, "BitBtn5", {}, QStringLiteral("Select destination folder"),
                   ButtonIcon::Folder);
    destinationEdit_ = new QLineEdit(DefaultDestination(), destinationPanel_);
    destinationEdit_->setObjectName(QStringLiteral("Edit1"));
    auto* destination = new QHBoxLayout(destinationPanel_);
    destination->setContentsMargins(0, 0, 0, 0);
    destination->addWidget(destinationButton_);
    destination->addWidget(destinationEdit_, 1);

    systemPanel_ = MakePanel(bottom, "Panel4");
    systemGroup_ = new QGroupBox(QStringLiteral(" System "), systemPanel_);
    systemGroup_->setObjectName(QStringLiteral("GroupBox1"));
    ntscButton_ = new QRadioButton(QStringLiteral("NTSC"), systemGroup_);
    ntscButton_->setObjectName(QStringLiteral("RadioButton1"));
    ntscButton_->setChecked(true);
    palButton_ = new QRadioButton(QStringLiteral("PAL"), systemGroup_);
    palButton_->setObjectName(QStringLiteral("RadioButton2"));
    auto* system = new QHBoxLayout(systemGroup_);
    system->addWidget(ntscButton_);
    system->addWidget(palButton_);
    extendedFormatsBox_ = new QCheckBox(QStringLiteral("Extended formats"), systemPanel_);
    extendedFormatsBox_->setObjectName(QStringLiteral("ExtendedFormats"));
    extendedFormatsBox_->setToolTip(
        QStringLiteral("Also take MPEG video of any picture size and MPEG program (.mpg, .vob)\n"
                       "and transport streams (.ts, .m2ts)"));
    auto* systemLayout = new QHBoxLayout(systemPanel_);
    systemLayout->setContentsMargins(0, 0, 0, 0);
    systemLayout->addWidget(extendedFormatsBox_);
    systemLayout->addWidget(systemGroup_);

    progressPanel_ = MakePanel(bottom, "Panel5");
    progressBar_ = new QProgressBar(progressPanel_);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setTextVisible(false);
    auto* progressLayout = new QHBoxLayout(progressPanel_);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(progressBar_);

    helpButton_ = MakeButton(bottom, "BitBtn13", QStringLiteral("  Help"), {}, ButtonIcon::Help);
    aboutButton_ = MakeButton(bottom, "BitBtn14", QStringLiteral(" About"), {}, ButtonIcon::About);
    processButton_ =
        MakeButton(bottom, "BitBtn10", QStringLiteral("Process"), {}, ButtonIcon::Process);
    processButton_->setEnabled(false);
    closeButton_ = MakeButton(bottom, "BitBtn11", QStringLiteral("Close"), {}, ButtonIcon::Close);
    for (QPushButton* b : {helpButton_, aboutButton_, processButton_, closeButton_}) {
        b->setMinimumWidth(Scaled(96));
        b->setMinimumHeight(32);
    }
    // Enter in a control that does not use it presses Process.
    processButton_->setDefault(true);

    auto* upper = new QHBoxLayout;
    upper->addWidget(destinationPanel_, 1);
    upper->addSpacing(12);
    upper->addWidget(systemPanel_);
    auto* lower = new QHBoxLayout;
    lower->addWidget(progressPanel_, 1);
    lower->addSpacing(12);
    for (QPushButton* b : {helpButton_, aboutButton_, processButton_, closeButton_}) {
        lower->addWidget(b);
    }
    auto* layout = new QVBoxLayout(bottom);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(upper);
    layout->addLayout(lower);
}

void TAC3Splitter::BuildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(statusBar_);
    const int totalWidth = fontMetrics().horizontalAdvance(
                               QString::fromStdString(TotalTimeText(TimeCode{}, TvSystem::Ntsc))) +
                           16;
    const int widths[] = {Scaled(120), 0, std::max(Scaled(180), totalWidth), Scaled(50)};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(statusBar_);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        if (widths[i] > 0) {
            panel->setFixedWidth(widths[i]);
            statusBar_->addWidget(panel);
        } else {
            // The second panel takes the width that the other three leave.
            panel->setMinimumWidth(Scaled(80));
            statusBar_->addWidget(panel, 1);
        }
        statusPanels_[static_cast<std::size_t>(i)] = panel;
    }
    statusPanels_[0]->setAlignment(Qt::AlignCenter);
    statusPanels_[1]->setText(QStringLiteral("File: "));
}

void TAC3Splitter::BuildMenus() {
    // The entries every list's menu has, after its Add entries; the shortcuts work in the lists
    // that show the menu.
    auto fill = [this](const char* name, const QStringList& adds, const QString& selectAll,
                       ListMenuEntries& entries) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(name));
        entries.add = MakeEntry(menu, adds.front());
        if (adds.size() > 1) {
            entries.addFromTime = MakeEntry(menu, adds.back());
        }
        menu->addSeparator();
        entries.information =
            MakeEntry(menu, QStringLiteral("Information"),
                      {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
        entries.deleteSelected =
            MakeEntry(menu, QStringLiteral("Delete"), {QKeySequence(Qt::Key_Delete)});
        entries.selectAll = MakeEntry(menu, selectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)});
        entries.clearAll =
            MakeEntry(menu, QStringLiteral("Clear all"), {QKeySequence(Qt::CTRL | Qt::Key_Delete)});
        menu->addSeparator();
        entries.moveUp = MakeEntry(menu, QStringLiteral("Move Up"));
        entries.moveDown = MakeEntry(menu, QStringLiteral("Move Down"));
        return menu;
    };
    durationsMenu_ =
        fill("PopupMenu1",
             {QStringLiteral("Add duration from file"), QStringLiteral("Add duration from time ")},
             QStringLiteral("Select All"), durationsMenuEntries_);
    audioMenu_ = fill("PopupMenu2", {QStringLiteral("Add")}, QStringLiteral("Select all"),
                      audioMenuEntries_);

    for (TDropList* list :
         {static_cast<TDropList*>(durationsList_), static_cast<TDropList*>(cutList_),
          static_cast<TDropList*>(mergeList_)}) {
        QMenu* menu = list == durationsList_ ? durationsMenu_ : audioMenu_;
        list->addActions(menu->actions());
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this,
                [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    }
}

void TAC3Splitter::ConnectCommands() {
    connect(destinationButton_, &QPushButton::clicked, this, &TAC3Splitter::BitBtn5Click);
    connect(processButton_, &QPushButton::clicked, this, &TAC3Splitter::BitBtn10Click);
    connect(closeButton_, &QPushButton::clicked, this, &TAC3Splitter::BitBtn11Click);
    connect(aboutButton_, &QPushButton::clicked, this, &TAC3Splitter::BitBtn14Click);
    connect(ntscButton_, &QRadioButton::clicked, this, &TAC3Splitter::RadioButton1Click);
    connect(palButton_, &QRadioButton::clicked, this, &TAC3Splitter::RadioButton2Click);
    connect(checkHeaderBox_, &QCheckBox::clicked, this, &TAC3Splitter::CheckBox1Click);
    connect(extendedFormatsBox_, &QCheckBox::clicked, this, &TAC3Splitter::ExtendedFormatsClick);
    connect(pages_, &QTabWidget::currentChanged, this, &TAC3Splitter::PageControl1Change);
    connect(commandTimer_, &QTimer::timeout, this, &TAC3Splitter::Timer1Timer);
    ConnectListCommands();
    connect(durationsList_, &QTreeWidget::itemSelectionChanged, this,
            &TAC3Splitter::ListView1SelectItem);
    for (TDropList2* list : {cutList_, mergeList_}) {
        connect(list, &QTreeWidget::itemSelectionChanged, this,
                [this, list] { AudioListSelectItem(list); });
    }
}

}  // namespace varnix
