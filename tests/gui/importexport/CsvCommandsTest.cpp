#include <QFileDialog>
#include <QPrintDialog>
#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDriver.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryViews.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

using namespace CommandId;

namespace {
QString Q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// Checks the folder and filter a file chooser starts with, then chooses the path.
ModalDriver::Step ExpectFolderAndChoose(const std::filesystem::path& folder, const QString& filter,
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
class CsvCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApplication();
        std::filesystem::create_directory(databaseFolder);
        MessageRecorder quiet;
        CDataBase initial(quiet, texts);
        AddEntries(initial, {MakeEntry(u"Web", u"Bank", u"me", u"pw")});
        ASSERT_TRUE(WriteDatabase(initial, path, ToSecure(u"pw")));
        options.fLastDB = false;
        window = std::make_unique<CDlgMain>(database, options, texts, u"");
        driver.Then(ChooseFile(path.string()));
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->OnCommand(FileOpen);
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

    TempDir folder;
    std::filesystem::path databaseFolder = folder / "databases";
    std::filesystem::path path = databaseFolder / "lockmere.ldb";
    std::filesystem::path csv = folder / "in.csv";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    COptions options;
    ModalDriver driver;
    std::unique_ptr<CDlgMain> window;
};

TEST_F(CsvCommandsTest, ImportShowsTheTipThenTheDialogThenSavesAndShowsTheEntries)
{
    WriteFileBytes(csv, "\"Mail\",\"Box\",\"u\",\"p\",\"\",\"\"\r\n\"Web\",\"Bank\",\"u\",\"p\",\"\",\"\"\r\n");
    driver.Then(ClickOk()); // the tip
    driver.Then(ClickOk()); // the import dialog
    driver.Then(ExpectFolderAndChoose(databaseFolder, QStringLiteral("*.csv; *.txt"), csv));
    window->OnCommand(FileImportCsv);

    ASSERT_EQ(driver.titles.size(), 3u);
    EXPECT_EQ(driver.titles[0], QStringLiteral("Tip"));
    EXPECT_EQ(driver.titles[1], QStringLiteral("Import From CSV File"));
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(database.Find({ToSecure(u"Web"), ToSecure(u"Bank1")}));
    EXPECT_EQ(EntriesInFile(), 3u);
    EXPECT_EQ(window->Views().Model()->rowCount(), 3);
    EXPECT_TRUE(messages.messages.empty());

    // With the tip switched off the dialog comes at once.
    options.fTip1 = false;
    driver.titles.clear();
    driver.Then(Cancel());
    window->OnCommand(FileImportCsv);
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Import From CSV File")});
}

TEST_F(CsvCommandsTest, AFailedSaveKeepsTheImportedEntriesInMemory)
{
    // Another program replaces the file, so the save after the import is refused.
    const auto replacement = folder / "replacement.ldb";
    MessageRecorder quiet;
    CDataBase other(quiet, texts);
    ASSERT_TRUE(WriteDatabase(other, replacement, ToSecure(u"pw")));
    std::filesystem::rename(replacement, path);
    WriteFileBytes(csv, "\"Mail\",\"Box\",\"u\",\"p\",\"\",\"\"\r\n");
    options.fTip1 = false;
    driver.Then(ClickOk());
    driver.Then(ChooseFile(csv.string()));
    window->OnCommand(FileImportCsv);

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_EQ(EntriesInFile(), 0u);
}

TEST_F(CsvCommandsTest, ChoosersStartInTheDatabaseFolderAlsoAfterItIsClosed)
{
    const auto exported = folder / "out.csv";
    driver.Then(ClickOk()); // the export dialog
    driver.Then([&](QWidget* dialog) {
        EXPECT_EQ(qobject_cast<QFileDialog*>(dialog)->directory().absolutePath(), Q(databaseFolder));
        ExpectProposalAndChoose(QStringLiteral("lockmere.ldb.csv"), exported.string())(dialog);
    });
    window->OnCommand(FileExportCsv);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"The CSV file is created: " + Utf8ToUtf16(exported.string())});
    EXPECT_EQ(ReadFileBytes(exported).rfind("\"Group\",\"Title\"", 0), 0u);

    window->OnCommand(FileClose);
    driver.Then(ExpectFolderAndChoose(databaseFolder, QString(), path));
    driver.Then(Cancel()); // the password
    driver.Then(Cancel()); // the chooser again
    window->OnCommand(FileOpen);
    EXPECT_TRUE(driver.Finished());

    // A new window starts where the last run's database was, even when it does not open it.
    options.LastPath = Utf8ToUtf16(path.string());
    CDlgMain fresh(database, options, texts, u"");
    fresh.Start();
    EXPECT_TRUE(options.LastPath.empty());
    driver.Then(ExpectFolderAndChoose(databaseFolder, QString(), path));
    driver.Then(Cancel());
    driver.Then(Cancel());
    fresh.OnCommand(FileOpen);
    EXPECT_TRUE(driver.Finished());
}

TEST_F(CsvCommandsTest, CancellingThePrintDialogPrintsNothing)
{
    driver.Then([](QWidget* dialog) {
        EXPECT_NE(qobject_cast<QPrintDialog*>(dialog), nullptr);
        Cancel()(dialog);
    });
    window->OnCommand(FileExportPrint);
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(messages.messages.empty());
}
} // namespace
