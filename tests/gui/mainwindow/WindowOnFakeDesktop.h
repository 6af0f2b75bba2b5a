#pragma once

#include <filesystem>
#include <memory>

#include "gui/DatabaseWindowFixture.h"
#include "gui/mainwindow/DesktopFakes.h"
#include "gui/mainwindow/DlgMain.h"

// The main window on a desktop of fakes, with a database file of one entry (password "pw") named as the last one.
class WindowOnFakeDesktop : public DatabaseWindowFixture
{
protected:
    explicit WindowOnFakeDesktop(bool trayAvailable)
        : desktop(trayAvailable)
    {}

    void WriteDatabaseOf(const Entry& entry)
    {
        WriteDatabaseFile(path, {entry});
        options.LastPath = path.u16string();
    }

    void CreateWindow(const std::u16string& commandLine)
    {
        window = std::make_unique<CDlgMain>(database, options, texts, commandLine, desktop.Services());
    }

    std::filesystem::path path = folder / "lockmere.ldb";
    FakeDesktop desktop;
    std::unique_ptr<CDlgMain> window;
};
