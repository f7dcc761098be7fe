#pragma once
// The About dialog: a navy band with the program's name, its version and an OK button.

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace varnix {

class TSplitterAboutForm : public QDialog {
    Q_OBJECT
  public:
    explicit TSplitterAboutForm(QWidget* parent = nullptr);

    QLabel* ProductNameLabel() const { return productNameLabel_; }
    QLabel* VersionLabel() const { return versionLabel_; }
    QPushButton* OkButton() const { return okButton_; }

  private:
    QLabel* productNameLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace varnix
