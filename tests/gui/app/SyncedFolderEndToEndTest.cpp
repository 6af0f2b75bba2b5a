#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/OpenWindowFixture.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryViews.h"
#include "gui/mainwindow/FileFollower.h"
#include "support/ChildProcess.h"

// The window over a database in a folder that a sync tool keeps in step with another machine: that machine's
// change, made with lockmere-cli on a copy, arrives by rename over the held file as Syncthing, Nextcloud and Dropbox
// bring it; the window follows it and, when a change of its own meets one made behind its back, saves both.
namespace {
using namespace std::chrono_literals;

class SyncedFolderEndToEndTest : public OpenWindowFixture
{
protected:
    // lockmere-cli, as on the other machine, adds an entry to `file` under the password "pw".
    void AddWithTheCommandLine(const std::filesystem::path& file, const std::string& group, const std::string& title)
    {
        const ProgramResult result = RunProgram(std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere-cli",
                                                {"add", file.string(), group, title, "--username", "laptop"},
                                                "pw\np\np\n", {{"APPDATA", (folder / "appdata").string()}}, 30s);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    // The other machine's version, made on a copy of the file and renamed over it as a sync tool does.
    void ArriveFromTheOtherMachine(const std::string& group, const std::string& title)
    {
        const auto copy = folder / ".syncthing.lockmere.ldb.tmp";
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
        AddWithTheCommandLine(copy, group, title);
        std::filesystem::rename(copy, databaseFolder / copy.filename());
        std::filesystem::rename(databaseFolder / copy.filename(), path);
    }

    bool Listed(std::u16string_view group, std::u16string_view title)
    {
        return window->Views().Model()->RowOf({ToSecure(group), ToSecure(title)}) >= 0;
    }

    std::vector<Entry> FileEntries()
    {
        MessageRecorder quiet;
        CDataBase reread(quiet, texts);
        EXPECT_EQ(ReadDatabase(reread, path, ToSecure(u"pw")), ReadResult::Done);
        return EntriesOf(reread);
    }
};

TEST_F(SyncedFolderEndToEndTest, TheWindowFollowsASyncToolAndKeepsBothChangesOfARace)
{
    window->show();
    ArriveFromTheOtherMachine("Laptop", "First");
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(Listed(u"Laptop", u"First"), 2000);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(window->statusBar()->currentMessage().toStdU16String(), texts.Text(TextId::FollowedFileNote));
    EXPECT_TRUE(Listed(u"Web", u"Bank"));

    // Another version arrives between the window's read and its save: while the entry dialog is open.
    driver.Then([this](QWidget* dialog) {
        ArriveFromTheOtherMachine("Laptop", "Second");
        dialog->findChild<QComboBox*>(QStringLiteral("group"))->setEditText(QStringLiteral("Desktop"));
        dialog->findChild<QLineEdit*>(QStringLiteral("title"))->setText(QStringLiteral("Mine"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    window->OnCommand(CommandId::EditAddEntry);

    std::vector<std::u16string> keys;
    for (const Entry& entry : FileEntries()) {
        keys.push_back(FromSecure(entry.group) + u"/" + FromSecure(entry.title));
    }
    EXPECT_EQ(keys, (std::vector<std::u16string>{u"Desktop/Mine", u"Laptop/First", u"Laptop/Second", u"Web/Bank"}));
    EXPECT_TRUE(Listed(u"Laptop", u"Second"));
    EXPECT_TRUE(Listed(u"Desktop", u"Mine"));
    EXPECT_TRUE(messages.messages.empty()) << "a merge without conflicts says nothing";
    EXPECT_TRUE(driver.Finished());
}
TEST_F(SyncedFolderEndToEndTest, AVersionArrivingWhileAnEntryIsEditedWaitsAndTheEditIsSavedWithIt)
{
    window->show();
    window->Views().SelectKey({ToSecure(u"Web"), ToSecure(u"Bank")});
    driver.Then([this](QWidget* dialog) {
        ArriveFromTheOtherMachine("Laptop", "Meanwhile");
        // Longer than the follower takes to notice: the dialog edits the entries it was opened on, so the window
        // does not replace them under it.
        QTest::qWait(FileFollower::SettleMilliseconds + FileFollower::LookMilliseconds + 500);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(Listed(u"Laptop", u"Meanwhile"));
        dialog->findChild<QLineEdit*>(QStringLiteral("username"))->setText(QStringLiteral("edited"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    window->OnCommand(CommandId::EditEditEntry);

    ASSERT_TRUE(driver.Finished());
    std::vector<std::u16string> entries;
    for (const Entry& entry : FileEntries()) {
        entries.push_back(FromSecure(entry.group) + u"/" + FromSecure(entry.title) + u"/" + FromSecure(entry.username));
    }
    EXPECT_EQ(entries, (std::vector<std::u16string>{u"Laptop/Meanwhile/laptop", u"Web/Bank/edited"}));
    EXPECT_TRUE(Listed(u"Laptop", u"Meanwhile"));
    EXPECT_TRUE(messages.messages.empty()) << messages.messages.size();
}

TEST_F(SyncedFolderEndToEndTest, TheWindowFollowsAFileRewrittenInPlaceAndKeepsTheSelectedEntry)
{
    window->show();
    window->Views().SelectKey({ToSecure(u"Web"), ToSecure(u"Bank")});
    const auto copy = folder / "copy.ldb";
    std::filesystem::copy_file(path, copy);
    AddWithTheCommandLine(copy, "Laptop", "In place");
    WriteFileBytes(path, ReadFileBytes(copy));

    QTRY_VERIFY_WITH_TIMEOUT(Listed(u"Laptop", u"In place"), 2000);
    EXPECT_EQ(window->Views().CurrentKey(), (EntryKey{ToSecure(u"Web"), ToSecure(u"Bank")}));
}
} // namespace
