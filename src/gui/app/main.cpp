#include <QApplication>

#include "gui/app/App.h"
#include "gui/app/GuiReporter.h"
#include "platform/ProcessHardening.h"

int main(int argc, char* argv[])
{
    HardenProcess();
    // Lets Wayland compositors match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tavilo.lockmere"));
    QApplication application(argc, argv);
    CGuiReporter reporter(CGuiReporter::TestLogFromEnvironment());
    CApp app(reporter);
    return app.Run();
}
