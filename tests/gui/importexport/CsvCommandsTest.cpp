#include <QPrintDialog>

#include "gui/importexport/OpenWindowFixture.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryViews.h"

using namespace CommandId;

namespace {
class CsvCommandsTest : public OpenWindowFixture
{};

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
    // Another program replaces the file with a version under another password, which a save neither merges nor
    // writes over, so the save after the import is refused.
    const auto replacement = folder / "replacement.ldb";
    MessageRecorder quiet;
    CDataBase other(quiet, texts);
    ASSERT_TRUE(WriteDatabase(other, replacement, ToSecure(u"changed elsewhere")));
    const std::string replaced = ReadFileBytes(replacement);
    std::filesystem::rename(replacement, path);
    WriteFileBytes(csv, "\"Mail\",\"Box\",\"u\",\"p\",\"\",\"\"\r\n");
    options.fTip1 = false;
    driver.Then(ClickOk());
    driver.Then(ChooseFile(csv.string()));
    window->OnCommand(FileImportCsv);

    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_EQ(ReadFileBytes(path), replaced);
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
