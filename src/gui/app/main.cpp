#include <QApplication>

#include "gui/app/App.h"
#include "gui/app/GuiReporter.h"
#include "platform/ProcessHardening.h"

int main(int argc, char* argv[])
{
    HardenProcess();
    QApplication application(argc, argv);
    CGuiReporter reporter;
    CApp app(reporter);
    return app.Run();
}
