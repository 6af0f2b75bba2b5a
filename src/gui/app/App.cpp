#include "gui/app/App.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/ProgramDataFolder.h"
#include "gui/app/Language.h"
#include "gui/app/QtSettingsPlace.h"
#include "gui/app/SecondStartListener.h"
#include "gui/mainwindow/CommandLine.h"
#include "gui/mainwindow/DlgMain.h"
#include "platform/InstanceChannel.h"
#include "platform/ProgramPath.h"
#include "platform/SettingsFolder.h"

CApp::CApp(IMessageReporter& reporter)
    : reporter(reporter)
    , database(reporter, translation)
    , translation(ProgramDataFolder(::ProgramPath().parent_path()))
{}

int CApp::Run()
{
    // The window system, the widget classes and the framework are up with the QApplication before this runs.
    programPath = ::ProgramPath();
    KeepQtSettingsWithOurs();
    options.Load(reporter, SettingsFilePath());
    // From here on every text the user sees comes from the translation, the already-running message included.
    LoadLanguage(translation, options.Language);

    const QStringList arguments = QCoreApplication::arguments();
    const std::optional<std::filesystem::path> file = DatabaseFileArgument(arguments);
    instanceLock.emplace(InstanceLockName);
    if (!instanceLock->IsFirst()) {
        // The running copy shows its window and opens the file; only a copy that cannot be reached is named here.
        if (!InstanceChannel::Send(InstanceLockName, {file ? file->string() : std::string()})) {
            reporter.ShowMessage(Text(TextId::AlreadyRunning), MessageIcon::Warning);
        }
        return 0;
    }
    RunMainWindow(CommandLineText(arguments), file);
    return 0;
}

void CApp::RunMainWindow(const std::u16string& commandLine, const std::optional<std::filesystem::path>& file)
{
    CDlgMain window(database, options, translation, commandLine);
    SecondStartListener laterStarts(InstanceChannel::Listen(InstanceLockName), window);
    // The main window runs modally, like the dialogs it opens: the program ends when it does.
    window.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&window, &CDlgMain::Ended, &loop, [&] {
        ended = true;
        loop.quit();
    });
    window.Start(file);
    if (!ended) {
        loop.exec();
    }
    // Written while the window object still exists and after its loop has ended, as the window may change
    // settings up to its last moment.
    options.Save(reporter, PrepareSettingsFile());
}
