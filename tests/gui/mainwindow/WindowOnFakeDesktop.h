#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDriver.h"
#include "gui/mainwindow/DesktopFakes.h"
#include "gui/mainwindow/DlgMain.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

// The main window on a desktop of fakes, with a database file of one entry (password "pw") named as the last one.
class WindowOnFakeDesktop : public ::testing::Test
{
protected:
    explicit WindowOnFakeDesktop(bool trayAvailable)
        : desktop(trayAvailable)
    {}

    void WriteDatabaseOf(const Entry& entry)
    {
        EnsureApplication();
        MessageRecorder quiet;
        CDataBase file(quiet, texts);
        AddEntries(file, {entry});
        ASSERT_TRUE(WriteDatabase(file, path, ToSecure(u"pw")));
        options.LastPath = path.u16string();
    }

    void CreateWindow(const std::u16string& commandLine)
    {
        window = std::make_unique<CDlgMain>(database, options, texts, commandLine, desktop.Services());
    }

    TempDir folder;
    std::filesystem::path path = folder / "lockmere.ldb";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    COptions options;
    ModalDriver driver;
    FakeDesktop desktop;
    std::unique_ptr<CDlgMain> window;
};
