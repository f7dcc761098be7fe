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

    QLabel* ProductName() const { return productName_; }
    QLabel* Version() const { return version_; }
    QPushButton* OKButton() const { return ok_; }

  private:
    QLabel* productName_ = nullptr;
    QLabel* version_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace varnix
