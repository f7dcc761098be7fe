#include "ui/merger_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/icons.h"

namespace varnix {

TAddToOneForm::TAddToOneForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("AddToOneForm"));
    setWindowTitle(QStringLiteral("Add media files to one"));

    list_ = new TDropList(this);
    list_->setObjectName(QStringLiteral("ListView1"));
    list_->SetColumns(
        {QStringLiteral("File name"), QStringLiteral("Duration"), QStringLiteral("LFE"),
         QStringLiteral("Channels"), QStringLiteral("Aspect Ratio"), QStringLiteral("Type")},
        {260, 80, 40, 60, 80, 50});

    auto* add = MakeButton(this, "BitBtn1", {}, QStringLiteral("Add file..."), ButtonIcon::AddFile);
    auto* remove =
        MakeButton(this, "BitBtn3", {}, QStringLiteral("Delete file..."), ButtonIcon::Delete);
    auto* up = MakeButton(this, "BitBtn6", {}, QStringLiteral("Move up"), ButtonIcon::MoveUp);
    auto* down = MakeButton(this, "BitBtn7", {}, QStringLiteral("Move down"), ButtonIcon::MoveDown);
    auto* clear =
        MakeButton(this, "SpeedButton1", QStringLiteral("Clear all"), {}, ButtonIcon::ClearAll);

    auto* system = new QGroupBox(QStringLiteral(" System "), this);
    system->setObjectName(QStringLiteral("GroupBox1"));
    auto* ntsc = new QRadioButton(QStringLiteral("NTSC"), system);
    ntsc->setObjectName(QStringLiteral("RadioButton1"));
    ntsc->setChecked(true);
    auto* pal = new QRadioButton(QStringLiteral("PAL"), system);
    pal->setObjectName(QStringLiteral("RadioButton2"));
    auto* systemLayout = new QHBoxLayout(system);
    systemLayout->addWidget(ntsc);
    systemLayout->addWidget(pal);

    auto* resultButton =
        MakeButton(this, "BitBtn5", {}, QStringLiteral("Select result file"), ButtonIcon::Folder);
    resultName_ = new QLineEdit(QString::fromStdString(PlatformRoot()), this);
    resultName_->setObjectName(QStringLiteral("Edit10"));

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    ownProgress_ = std::make_unique<ProgressBarAdapter>(progressBar_);
    progress_ = ownProgress_.get();

    process_ = MakeButton(this, "BitBtn4", QStringLiteral("Process"), {}, ButtonIcon::Process);
    process_->setEnabled(false);
    close_ = MakeButton(this, "BitBtn2", QStringLiteral("Close"), {}, ButtonIcon::Close);
    connect(close_, &QPushButton::clicked, this, &QWidget::hide);

    stateControls_ = {process_, list_, add,  remove,       clear,      ntsc,
                      pal,      up,    down, resultButton, resultName_};

    auto* listButtons = new QHBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(add), static_cast<QWidget*>(remove), static_cast<QWidget*>(clear),
          static_cast<QWidget*>(up), static_cast<QWidget*>(down)}) {
        listButtons->addWidget(w);
    }
    listButtons->addStretch(1);
    listButtons->addWidget(system);
    auto* result = new QHBoxLayout;
    result->addWidget(resultButton);
    result->addWidget(resultName_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progressBar_, 1);
    bottom->addWidget(process_);
    bottom->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(listButtons);
    layout->addLayout(result);
    layout->addLayout(bottom);
    resize(640, 420);
}

void TAddToOneForm::SetControlsEnabled(bool enabled) {
    for (QWidget* control : stateControls_) {
        control->setEnabled(enabled);
    }
}

void TAddToOneForm::SetWorkingState() {
    ShowMergerState();
    SetControlsEnabled(false);
    close_->setText(QStringLiteral("Cancel"));
    close_->setIcon(MakeButtonIcon(ButtonIcon::Cancel));
}

void TAddToOneForm::SetIdleState() {
    ShowMergerState();
    SetControlsEnabled(true);
    ownProgress_->setPosition(ownProgress_->minimum());
    close_->setText(QStringLiteral("Close"));
    close_->setIcon(MakeButtonIcon(ButtonIcon::Close));
}

void TAddToOneForm::ShowMergerState() {
    list_->clear();
    for (const MergeFileEntry& entry : state_.files()) {
        QStringList texts{QString::fromStdString(entry.fileName)};
        for (const std::string& column : entry.columns) {
            texts << QString::fromStdString(column);
        }
        list_->addTopLevelItem(new QTreeWidgetItem(texts));
    }
    resultName_->setText(QString::fromStdString(state_.resultName()));
    process_->setEnabled(state_.processEnabled() && state_.controls() == MergerControls::Idle);
    // The merger's own bar is this window's; a lent one belongs to the window that lent it.
    if (progress_ != ownProgress_.get()) {
        ownProgress_->setMinimum(progress_->minimum());
        ownProgress_->setMaximum(progress_->maximum());
        ownProgress_->setPosition(progress_->position());
    }
}

void TAddToOneForm::ResetMerger() {
    state_.ResetMerger();
    ShowMergerState();
}

void TAddToOneForm::LendProgressBar(ProgressIndicator* bar) {
    progress_ = bar != nullptr ? bar : ownProgress_.get();
}

void TAddToOneForm::ReturnProgressBar() {
    progress_ = ownProgress_.get();
    ShowMergerState();
}

void TAddToOneForm::AddMergeFile(const std::string& fileName) {
    state_.AddMergeFile(fileName);
    ShowMergerState();
}

void TAddToOneForm::SetResultName(const std::string& name) {
    state_.SetResultName(name);
    ShowMergerState();
}

void TAddToOneForm::ShowMergeProgress(const MergeProgress& progress) {
    const bool starting = progress.running && !state_.busy();
    if (starting) {
        state_.BeginWork();
        SetWorkingState();
    }
    ShowMergeSteps(*progress_, progress, starting);
    if (!progress.running) {
        state_.EndWork();
        SetIdleState();
    }
}

void ShowMergeSteps(ProgressIndicator& bar, const MergeProgress& progress, bool starting) {
    if (!progress.running) {
        bar.setMaximum(0);
        bar.setPosition(bar.minimum());
        return;
    }
    if (starting) {
        bar.setMaximum(progress.maximum);
        bar.setMinimum(0);
    }
    bar.setPosition(progress.position);
}

}  // namespace varnix
