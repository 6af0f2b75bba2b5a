#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/app/App.h"
#include "gui/app/GuiReporter.h"
#include "gui/app/ProgramInformation.h"
#include "gui/app/QtFiles.h"
#include "platform/ProcessHardening.h"
#include "platform/ProgramPath.h"
#include "platform/SettingsFolder.h"

int main(int argc, char* argv[])
{
    if (const auto information = HelpOrVersionText(std::vector<std::string>(argv + std::min(argc, 1), argv + argc))) {
        std::fputs(information->c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    HardenProcess();
    // Lets Wayland compositors match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tavilo.lockmere"));
#ifdef LOCKMERE_SETTINGS_BESIDE_PROGRAM
    // The portable edition runs from a removable drive and must leave nothing on the computer it runs on; it
    // carries its own Qt, which must not meet the computer's.
    const std::filesystem::path folder = ProgramPath().parent_path();
    KeepSettingsInFolder(folder);
    KeepQtFilesInFolder(folder);
#endif
    QApplication application(argc, argv);
    CGuiReporter reporter;
    CApp app(reporter);
    return app.Run();
}
