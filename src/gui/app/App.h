#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/common/Reporter.h"
#include "core/database/DataBase.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "platform/SingleInstance.h"

// The one application object: owns the database, the settings, the translation and the program path for the whole
// process, and runs start-up, the main window and shutdown.
class CApp
{
public:
    // The name of the per-user lock that lets only one copy run.
    static constexpr const char* InstanceLockName = "TaviloLockmereMutex";

    // Constructs the shared objects in their order: the database, the settings with their defaults, and the
    // translation, which records the program folder. Needs a running QApplication for the main window.
    explicit CApp(IMessageReporter& reporter);
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Start-up, the main window until the user ends it, and shutdown; returns the process's exit code. A second copy
    // hands the database file of its command line, or only the wish to see the window, to the running one (it says
    // that the program is already running when that copy cannot be reached) and returns without touching the
    // settings.
    int Run();

    CDataBase& Database() { return database; }
    COptions& Options() { return options; }
    const CTranslate& Translation() const { return translation; }
    const std::u16string& Text(int id) const { return translation.Text(id); }
    const std::filesystem::path& ProgramPath() const { return programPath; }
    IMessageReporter& Reporter() { return reporter; }

private:
    void RunMainWindow(const std::u16string& commandLine, const std::optional<std::filesystem::path>& file);

    IMessageReporter& reporter;
    CDataBase database;
    COptions options;
    CTranslate translation;
    std::filesystem::path programPath;
    // Held for the life of the process; the system lets go of it when the process ends, however it ends.
    std::optional<SingleInstance> instanceLock;
};
