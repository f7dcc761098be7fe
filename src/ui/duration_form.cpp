#include "ui/duration_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace varnix {

TDurationForm::TDurationForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DurationForm"));
    setWindowTitle(QStringLiteral("Set Duration"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* group = new QGroupBox(QStringLiteral(" Set duration value for this part "), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    const char* const captions[] = {"Hours", "Minutes", "Seconds", "Frames"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromLatin1(captions[i]), group);
        auto* edit = new QLineEdit(QStringLiteral("0"), group);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setMaxLength(2);
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 16);
        label->setBuddy(edit);
        grid->addWidget(label, 0, i);
        grid->addWidget(edit, 1, i);
        fieldEdits_[static_cast<std::size_t>(i)] = edit;
    }

    okButton_ = new QPushButton(QStringLiteral("Ok"), this);
    okButton_->setObjectName(QStringLiteral("BitBtn1"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("BitBtn2"));
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    // A fixed dialog border: the dialog keeps the size of its contents.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

DurationFields TDurationForm::Fields() const {
    DurationFields fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = fieldEdits_[i]->text().toStdString();
    }
    return fields;
}

TimeCode TDurationForm::GetDialogDuration() const {
    return varnix::GetDialogDuration(Fields());
}

void TDurationForm::SetDialogDuration(TimeCode tc) {
    const DurationFields fields = varnix::SetDialogDuration(tc);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fieldEdits_[i]->setText(QString::fromStdString(fields[i]));
    }
}

}  // namespace varnix
