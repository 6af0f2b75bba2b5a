#include "gui/app/App.h"

#include "core/settings/BuiltinTexts.h"
#include "gui/app/ShellWindow.h"
#include "platform/ProgramPath.h"

CApp::CApp(IMessageReporter& reporter)
    : reporter(reporter)
    , database(reporter, translation)
    , translation(::ProgramPath().parent_path())
{}

int CApp::Run()
{
    // The window system, the widget classes and the framework are up with the QApplication before this runs.
    programPath = ::ProgramPath();
    options.Load(reporter);
    // From here on every text the user sees comes from the translation, the already-running message included.
    translation.Load(options.Language);

    instanceLock.emplace(InstanceLockName);
    if (!instanceLock->IsFirst()) {
        reporter.ShowMessage(Text(TextId::AlreadyRunning), MessageIcon::Warning);
        return 0;
    }
    RunMainWindow();
    return 0;
}

void CApp::RunMainWindow()
{
    CShellWindow window;
    window.exec();
    // Written while the window object still exists and after its loop has ended, as the window may change
    // settings up to its last moment.
    options.Save(reporter);
}
