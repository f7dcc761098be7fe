#pragma once
// The desktop program's host: message boxes with the given title, text and icon (OK, or OK and
// Cancel for questions) over the active window; and the event pump that the window's progress
// callbacks turn during long work, so that it repaints and its Cancel button works.

#include <QMessageBox>

#include "core/host.h"

namespace varnix {

QMessageBox::Icon MessageBoxIcon(MessageIcon icon);

class GuiHost : public Host {
  public:
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    bool confirm(MessageIcon icon, const std::string& title, const std::string& text) override;
};

// Lets the application handle its pending events.
void ProcessPendingEvents();

}  // namespace varnix
