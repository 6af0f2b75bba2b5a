#pragma once

#include <QFileDialog>
#include <gtest/gtest.h>
#include <memory>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "gui/DatabaseWindowFixture.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"

inline QString Q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// Checks the folder and filter a file chooser starts with, then chooses the path.
inline ModalDriver::Step ExpectFolderAndChoose(const std::filesystem::path& folder, const QString& filter,
                                               const std::filesystem::path& path)
{
    return [folder, filter, path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->directory().absolutePath(), Q(folder));
        EXPECT_EQ(files->selectedNameFilter().startsWith(filter), true) << files->selectedNameFilter().toStdString();
        ChooseFile(path.string())(dialog);
    };
}

// The main window over a database in its own folder, opened through the dialogs.
class OpenWindowFixture : public DatabaseWindowFixture
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(databaseFolder);
        WriteDatabaseFile(path, {MakeEntry(u"Web", u"Bank", u"me", u"pw")});
        options.fLastDB = false;
        window = std::make_unique<CDlgMain>(database, options, texts, u"");
        driver.Then(ChooseFile(path.string()));
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->OnCommand(CommandId::FileOpen);
        ASSERT_EQ(database.Size(), 1u);
        driver.titles.clear();
    }

    std::size_t EntriesInFile()
    {
        MessageRecorder quiet;
        CDataBase reread(quiet, texts);
        EXPECT_EQ(ReadDatabase(reread, path, ToSecure(u"pw")), ReadResult::Done);
        return reread.Size();
    }

    std::filesystem::path databaseFolder = folder / "databases";
    std::filesystem::path path = databaseFolder / "lockmere.ldb";
    std::filesystem::path csv = folder / "in.csv";
    std::unique_ptr<CDlgMain> window;
};
