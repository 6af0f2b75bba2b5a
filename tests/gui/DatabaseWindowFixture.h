#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDriver.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

// What a test of the main window works with: a temporary folder for its database files, the recorded messages, the
// collection the window shows, the settings, and the driver that answers the window's dialogs. The fixtures built on
// it declare the window after their own members, so that it goes first.
class DatabaseWindowFixture : public ::testing::Test
{
protected:
    void WriteDatabaseFile(const std::filesystem::path& file, const std::vector<Entry>& entries,
                           std::u16string_view password = u"pw")
    {
        EnsureApplication();
        MessageRecorder quiet;
        CDataBase written(quiet, texts);
        AddEntries(written, entries);
        ASSERT_TRUE(WriteDatabase(written, file, ToSecure(password)));
    }

    TempDir folder;
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    COptions options;
    ModalDriver driver;
};
