// varnix-gui: the desktop program.

#include <QApplication>

#include "core/host.h"
#include "ui/app_forms.h"
#include "ui/gui_host.h"
#include "ui/icons.h"
#include "ui/settings.h"
#include "varnix_version.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(varnix::settings_keys::kOrganization);
    QCoreApplication::setApplicationName(varnix::settings_keys::kApplication);
    QCoreApplication::setApplicationVersion(QLatin1String(varnix::kVarnixVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("varnix"));
    QApplication::setWindowIcon(varnix::ApplicationIcon());

    varnix::GuiHost host;
    varnix::SetHost(&host);
    int status = 0;
    {
        varnix::VarnixForms forms = varnix::CreateForms();
        forms.mainWindow->show();
        status = QApplication::exec();
    }
    varnix::SetHost(nullptr);
    return status;
}
