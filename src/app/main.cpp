#include "app/app_setup.h"
#include "app/frmMain.h"
#include "platform/helpviewer_system.h"
#include "platform/system_services.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sumiraku.Sumiraku"));
    sumiraku::setupFonts();

    sumiraku::QtMessageBoxes messages;
    sumiraku::SystemProcess process;
    sumiraku::SystemClock clock;
    sumiraku::SystemRandom random;
    const auto help = sumiraku::makeSystemHelpViewer(&messages);

    sumiraku::Platform platform;
    platform.messages = &messages;
    platform.process = &process;
    platform.clock = &clock;
    platform.random = &random;
    platform.help = help.get();

    frmMain form(platform);
    form.guard([&form] { form.Form_Load(); });
    return app.exec();
}
