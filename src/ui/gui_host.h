#pragma once
// The desktop program's host: message boxes with the given title, text and icon (OK, or OK and
// Cancel for questions) over the active window, and a message pump that lets the window repaint
// and handle its Cancel button during long work.

#include <QMessageBox>

#include "core/host.h"

namespace varnix {

QMessageBox::Icon MessageBoxIcon(MessageIcon icon);

class GuiHost : public Host {
  public:
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    bool confirm(MessageIcon icon, const std::string& title, const std::string& text) override;
    void pumpEvents() override;
};

}  // namespace varnix
