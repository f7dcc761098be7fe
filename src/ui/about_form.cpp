#include "ui/about_form.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/icons.h"
#include "varnix_version.h"

namespace varnix {

TSplitterAboutForm::TSplitterAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SplitterAboutForm"));
    setWindowTitle(QStringLiteral("About Varnix Freeware"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* band = new QFrame(this);
    band->setObjectName(QStringLiteral("Panel1"));
    band->setAutoFillBackground(true);
    QPalette navy = band->palette();
    navy.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
    navy.setColor(QPalette::WindowText, Qt::white);
    band->setPalette(navy);

    auto* logo = new QLabel(band);
    logo->setObjectName(QStringLiteral("ProgramIcon"));
    logo->setPixmap(ApplicationIcon().pixmap(48, 48));
    productNameLabel_ = new QLabel(QStringLiteral("Varnix"), band);
    productNameLabel_->setObjectName(QStringLiteral("ProductName"));
    QFont large = productNameLabel_->font();
    large.setPointSizeF(large.pointSizeF() * 2.2);
    large.setBold(true);
    productNameLabel_->setFont(large);
    auto* bandLayout = new QHBoxLayout(band);
    bandLayout->setContentsMargins(18, 14, 18, 14);
    bandLayout->addWidget(logo);
    bandLayout->addSpacing(10);
    bandLayout->addWidget(productNameLabel_);
    bandLayout->addStretch(1);

    versionLabel_ = new QLabel(QStringLiteral("Version ") + QLatin1String(kVarnixVersion), this);
    versionLabel_->setObjectName(QStringLiteral("Version"));
    auto* comments =
        new QLabel(QStringLiteral("Frame-accurate cutting of AC3, DTS, MPEG audio and WAV "
                                  "files\nby the durations of video titles and chapters."),
                   this);
    comments->setObjectName(QStringLiteral("Comments"));

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    auto* text = new QVBoxLayout;
    text->setContentsMargins(18, 12, 18, 12);
    text->addWidget(versionLabel_);
    text->addWidget(comments);
    text->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(band);
    layout->addLayout(text);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace varnix
