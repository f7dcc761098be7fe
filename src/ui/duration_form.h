#pragma once
// The "Set Duration" dialog: hours, minutes, seconds and frames of a typed duration. Created
// once at start-up; it keeps the values last shown in it.

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "core/timecode.h"
#include "ui/duration_rules.h"

namespace varnix {

class TDurationForm : public QDialog {
    Q_OBJECT
  public:
    explicit TDurationForm(QWidget* parent = nullptr);

    // The four fields as typed (not yet limited to the system).
    TimeCode GetDialogDuration() const;
    void SetDialogDuration(TimeCode tc);
    DurationFields Fields() const;

    QLineEdit* FieldEdit(int i) const { return fieldEdits_[static_cast<std::size_t>(i)]; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

  private:
    std::array<QLineEdit*, 4> fieldEdits_{};
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace varnix
