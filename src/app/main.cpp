#include "app/app_setup.h"
#include "app/frmMain.h"
#include "app/system_services.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sumiraku.Sumiraku"));
    sumiraku::setupFonts();

    const sumiraku::SystemPlatform system;
    frmMain form(system.platform());
    form.guard([&form] { form.Form_Load(); });
    return app.exec();
}
