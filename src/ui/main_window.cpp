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

    Panel6 = MakePanel(central, "Panel6");
    Splitter1 = new QSplitter(Qt::Horizontal, Panel6);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    auto* panel6Layout = new QHBoxLayout(Panel6);
    panel6Layout->setContentsMargins(0, 0, 0, 0);
    panel6Layout->addWidget(Splitter1);
    BuildAudioPanel();
    BuildDurationsPanel();
    Splitter1->addWidget(Panel3);
    Splitter1->addWidget(Panel1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({kDesignedClientSize.width() - Scaled(300), Scaled(300)});

    auto* bottom = new QWidget(central);
    bottom->setObjectName(QStringLiteral("BottomArea"));
    BuildBottom(bottom);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 2);
    layout->addWidget(Panel6, 1);
    layout->addWidget(bottom);

    BuildStatusBar();
    BuildMenus();

    progress_ = std::make_unique<ProgressBarAdapter>(ProgressBar1);
    progress_->setMinimum(0);
    progress_->setMaximum(100);
    progress_->setPosition(0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1Interval);

    setMinimumSize(kMinimumClientSize);
    resize(kDesignedClientSize);
    ConnectCommands();
    QApplication::instance()->installEventFilter(this);
    Timer1->start();
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
    Panel1 = MakePanel(Splitter1, "Panel1");
    Label1 = new QLabel(QStringLiteral("Set times from files or input manualy"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    ListView1 = new TDropList1(Panel1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->SetColumns(
        {QStringLiteral("?"), QStringLiteral("File name"), QStringLiteral("Time")},
        {Scaled(30), Scaled(135), Scaled(72)});

    BitBtn1 = MakeButton(Panel1, "BitBtn1", {}, QStringLiteral("Add duration from file"),
                         ButtonIcon::AddFile);
    BitBtn12 = MakeButton(Panel1, "BitBtn12", {}, QStringLiteral("Add virtual duration time"),
                          ButtonIcon::AddTime);
    BitBtn3 = MakeButton(Panel1, "BitBtn3", {}, QStringLiteral("Delete file"), ButtonIcon::Delete);
    SpeedButton4 =
        MakeButton(Panel1, "SpeedButton4", QStringLiteral("Clear all"), {}, ButtonIcon::ClearAll);
    BitBtn6 = MakeButton(Panel1, "BitBtn6", {}, QStringLiteral("Move up"), ButtonIcon::MoveUp);
    BitBtn7 = MakeButton(Panel1, "BitBtn7", {}, QStringLiteral("Move down"), ButtonIcon::MoveDown);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn12, BitBtn3, SpeedButton4}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    buttons->addWidget(BitBtn6);
    buttons->addWidget(BitBtn7);
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(Label1);
    layout->addWidget(ListView1, 1);
    layout->addLayout(buttons);
}

void TAC3Splitter::BuildAudioPanel() {
    Panel3 = MakePanel(Splitter1, "Panel3");
    PageControl1 = new QTabWidget(Panel3);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    const QStringList columns = {QStringLiteral("File name"), QStringLiteral("Time"),
                                 QStringLiteral("Channels"),  QStringLiteral("Frequency"),
                                 QStringLiteral("Bit Rate"),  QStringLiteral("System")};
    const QList<int> widths = {Scaled(145), Scaled(72), Scaled(60),
                               Scaled(65),  Scaled(60), Scaled(60)};
    auto makePage = [&](const char* sheetName, const char* listName, const QString& caption,
                        QWidget*& sheet, TDropList2*& list) {
        sheet = new QWidget(PageControl1);
        sheet->setObjectName(QString::fromLatin1(sheetName));
        list = new TDropList2(sheet);
        list->setObjectName(QString::fromLatin1(listName));
        list->SetColumns(columns, widths);
        list->setIconSize(kFileKindIconSize);
        auto* pageLayout = new QVBoxLayout(sheet);
        pageLayout->setContentsMargins(2, 2, 2, 2);
        pageLayout->addWidget(list);
        PageControl1->addTab(sheet, caption);
    };
    makePage("TabSheet1", "ListView2", QStringLiteral("Cut every file from list"), TabSheet1,
             ListView2);
    makePage("TabSheet2", "ListView3", QStringLiteral("Merge all files before processing"),
             TabSheet2, ListView3);

    BitBtn2 = MakeButton(Panel3, "BitBtn2", {}, QStringLiteral("Add file..."), ButtonIcon::AddFile);
    BitBtn4 =
        MakeButton(Panel3, "BitBtn4", {}, QStringLiteral("Delete file..."), ButtonIcon::Delete);
    SpeedButton3 =
        MakeButton(Panel3, "SpeedButton3", QStringLiteral("Clear all"), {}, ButtonIcon::ClearAll);
    CheckBox1 = new QCheckBox(QStringLiteral("Check file format header"), Panel3);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setVisible(false);  // shown with the merge page only
    BitBtn8 = MakeButton(Panel3, "BitBtn8", {}, QStringLiteral("Move up"), ButtonIcon::MoveUp);
    BitBtn9 = MakeButton(Panel3, "BitBtn9", {}, QStringLiteral("Move down"), ButtonIcon::MoveDown);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn2, BitBtn4, SpeedButton3}) {
        buttons->addWidget(b);
    }
    buttons->addSpacing(12);
    buttons->addWidget(CheckBox1);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn8);
    buttons->addWidget(BitBtn9);
    auto* layout = new QVBoxLayout(Panel3);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
}

void TAC3Splitter::BuildBottom(QWidget* bottom) {
    Panel2 = MakePanel(bottom, "Panel2");
    BitBtn5 = MakeButton(Panel2, "BitBtn5", {}, QStringLiteral("Select destination folder"),
                         ButtonIcon::Folder);
    Edit1 = new QLineEdit(DefaultDestination(), Panel2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    auto* destination = new QHBoxLayout(Panel2);
    destination->setContentsMargins(0, 0, 0, 0);
    destination->addWidget(BitBtn5);
    destination->addWidget(Edit1, 1);

    Panel4 = MakePanel(bottom, "Panel4");
    GroupBox1 = new QGroupBox(QStringLiteral(" System "), Panel4);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RadioButton1 = new QRadioButton(QStringLiteral("NTSC"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("PAL"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* system = new QHBoxLayout(GroupBox1);
    system->addWidget(RadioButton1);
    system->addWidget(RadioButton2);
    extendedFormatsBox_ = new QCheckBox(QStringLiteral("Extended formats"), Panel4);
    extendedFormatsBox_->setObjectName(QStringLiteral("ExtendedFormats"));
    extendedFormatsBox_->setToolTip(
        QStringLiteral("Also take MPEG video of any picture size and MPEG program (.mpg, .vob)\n"
                       "and transport streams (.ts, .m2ts)"));
    auto* panel4Layout = new QHBoxLayout(Panel4);
    panel4Layout->setContentsMargins(0, 0, 0, 0);
    panel4Layout->addWidget(extendedFormatsBox_);
    panel4Layout->addWidget(GroupBox1);

    Panel5 = MakePanel(bottom, "Panel5");
    ProgressBar1 = new QProgressBar(Panel5);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    auto* panel5Layout = new QHBoxLayout(Panel5);
    panel5Layout->setContentsMargins(0, 0, 0, 0);
    panel5Layout->addWidget(ProgressBar1);

    BitBtn13 = MakeButton(bottom, "BitBtn13", QStringLiteral("  Help"), {}, ButtonIcon::Help);
    BitBtn14 = MakeButton(bottom, "BitBtn14", QStringLiteral(" About"), {}, ButtonIcon::About);
    BitBtn10 = MakeButton(bottom, "BitBtn10", QStringLiteral("Process"), {}, ButtonIcon::Process);
    BitBtn10->setEnabled(false);
    BitBtn11 = MakeButton(bottom, "BitBtn11", QStringLiteral("Close"), {}, ButtonIcon::Close);
    for (QPushButton* b : {BitBtn13, BitBtn14, BitBtn10, BitBtn11}) {
        b->setMinimumWidth(Scaled(96));
        b->setMinimumHeight(32);
    }
    // Enter in a control that does not use it presses Process.
    BitBtn10->setDefault(true);

    auto* upper = new QHBoxLayout;
    upper->addWidget(Panel2, 1);
    upper->addSpacing(12);
    upper->addWidget(Panel4);
    auto* lower = new QHBoxLayout;
    lower->addWidget(Panel5, 1);
    lower->addSpacing(12);
    for (QPushButton* b : {BitBtn13, BitBtn14, BitBtn10, BitBtn11}) {
        lower->addWidget(b);
    }
    auto* layout = new QVBoxLayout(bottom);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(upper);
    layout->addLayout(lower);
}

void TAC3Splitter::BuildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    const int totalWidth = fontMetrics().horizontalAdvance(
                               QString::fromStdString(TotalTimeText(TimeCode{}, TvSystem::Ntsc))) +
                           16;
    const int widths[] = {Scaled(120), 0, std::max(Scaled(180), totalWidth), Scaled(50)};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        if (widths[i] > 0) {
            panel->setFixedWidth(widths[i]);
            StatusBar1->addWidget(panel);
        } else {
            // The second panel takes the width that the other three leave.
            panel->setMinimumWidth(Scaled(80));
            StatusBar1->addWidget(panel, 1);
        }
        StatusPanels[static_cast<std::size_t>(i)] = panel;
    }
    StatusPanels[0]->setAlignment(Qt::AlignCenter);
    StatusPanels[1]->setText(QStringLiteral("File: "));
}

void TAC3Splitter::BuildMenus() {
    // The entries every list's menu has, after its Add entries; the shortcuts work in the lists
    // that show the menu.
    auto fill = [this](const char* name, const QStringList& adds, const QString& selectAll,
                       ListMenuEntries& entries) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(name));
        entries.Add = MakeEntry(menu, adds.front());
        if (adds.size() > 1) {
            entries.AddFromTime = MakeEntry(menu, adds.back());
        }
        menu->addSeparator();
        entries.Information =
            MakeEntry(menu, QStringLiteral("Information"),
                      {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
        entries.Delete = MakeEntry(menu, QStringLiteral("Delete"), {QKeySequence(Qt::Key_Delete)});
        entries.SelectAll = MakeEntry(menu, selectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)});
        entries.ClearAll =
            MakeEntry(menu, QStringLiteral("Clear all"), {QKeySequence(Qt::CTRL | Qt::Key_Delete)});
        menu->addSeparator();
        entries.MoveUp = MakeEntry(menu, QStringLiteral("Move Up"));
        entries.MoveDown = MakeEntry(menu, QStringLiteral("Move Down"));
        return menu;
    };
    PopupMenu1 =
        fill("PopupMenu1",
             {QStringLiteral("Add duration from file"), QStringLiteral("Add duration from time ")},
             QStringLiteral("Select All"), PopupMenu1Items);
    PopupMenu2 =
        fill("PopupMenu2", {QStringLiteral("Add")}, QStringLiteral("Select all"), PopupMenu2Items);

    for (TDropList* list : {static_cast<TDropList*>(ListView1), static_cast<TDropList*>(ListView2),
                            static_cast<TDropList*>(ListView3)}) {
        QMenu* menu = list == ListView1 ? PopupMenu1 : PopupMenu2;
        list->addActions(menu->actions());
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this,
                [list, menu](const QPoint& at) { menu->popup(list->viewport()->mapToGlobal(at)); });
    }
}

void TAC3Splitter::ConnectCommands() {
    connect(BitBtn5, &QPushButton::clicked, this, &TAC3Splitter::BitBtn5Click);
    connect(BitBtn10, &QPushButton::clicked, this, &TAC3Splitter::BitBtn10Click);
    connect(BitBtn11, &QPushButton::clicked, this, &TAC3Splitter::BitBtn11Click);
    connect(BitBtn14, &QPushButton::clicked, this, &TAC3Splitter::BitBtn14Click);
    connect(RadioButton1, &QRadioButton::clicked, this, &TAC3Splitter::RadioButton1Click);
    connect(RadioButton2, &QRadioButton::clicked, this, &TAC3Splitter::RadioButton2Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TAC3Splitter::CheckBox1Click);
    connect(extendedFormatsBox_, &QCheckBox::clicked, this, &TAC3Splitter::ExtendedFormatsClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TAC3Splitter::PageControl1Change);
    connect(Timer1, &QTimer::timeout, this, &TAC3Splitter::Timer1Timer);
    ConnectListCommands();
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this,
            &TAC3Splitter::ListView1SelectItem);
    for (TDropList2* list : {ListView2, ListView3}) {
        connect(list, &QTreeWidget::itemSelectionChanged, this,
                [this, list] { AudioListSelectItem(list); });
    }
}

}  // namespace varnix
