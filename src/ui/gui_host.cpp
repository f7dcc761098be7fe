#include "ui/gui_host.h"

#include <QApplication>

namespace varnix {

QMessageBox::Icon MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

void GuiHost::showMessage(MessageIcon icon, const std::string& title, const std::string& text) {
    QMessageBox box(MessageBoxIcon(icon), QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool GuiHost::confirm(MessageIcon icon, const std::string& title, const std::string& text) {
    QMessageBox box(MessageBoxIcon(icon), QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace varnix
