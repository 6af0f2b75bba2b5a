#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/DatabaseWindowFixture.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandLine.h"
#include "gui/mainwindow/DesktopFakes.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

using namespace CommandId;

namespace {
QString Q(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// The main window over a temporary folder, with every dialog answered by a ModalDriver.
class MainWindowTest : public DatabaseWindowFixture
{
protected:
    void SetUp() override
    {
        EnsureApplication();
        options.fLastDB = false;
        window = std::make_unique<CDlgMain>(database, options, texts, commandLine);
    }

    void MakeFile(const std::filesystem::path& path, std::u16string_view password, const std::vector<Entry>& entries)
    {
        WriteDatabaseFile(path, entries, password);
    }

    int ReadBack(const std::filesystem::path& path, std::u16string_view password, std::size_t* count = nullptr)
    {
        MessageRecorder quiet;
        CDataBase other(quiet, texts);
        const int result = ReadDatabase(other, path, ToSecure(password));
        if (count) {
            *count = other.Size();
        }
        return result;
    }

    void Run(int command)
    {
        window->OnCommand(command);
        EXPECT_TRUE(driver.Finished());
    }

    void OpenThroughTheDialogs(const std::filesystem::path& path, const QString& password)
    {
        driver.Then(ChooseFile(path.string()));
        driver.Then(TypePassword(password));
        Run(FileOpen);
        ASSERT_EQ(options.LastPath, Utf8ToUtf16(path.string()));
        driver.titles.clear();
        messages.Reset();
    }

    std::u16string commandLine;
    std::unique_ptr<CDlgMain> window;
};

TEST_F(MainWindowTest, NewDatabaseThroughTheDialogsIsSixteenBytesAndShown)
{
    const auto path = folder / "lockmere.ldb";
    driver.Then(ExpectProposalAndChoose(QStringLiteral("lockmere.ldb"), path.string()));
    driver.Then(TypePasswords(QStringLiteral("master"), QStringLiteral("master")));
    Run(FileNew);

    EXPECT_EQ(std::filesystem::file_size(path), 16u);
    EXPECT_EQ(window->StatusPane(2)->text(), Q(path));
    EXPECT_TRUE(window->MainMenu().Action(FileClose)->isEnabled());
    EXPECT_TRUE(window->ToolbarAction(EditAddEntry)->isEnabled());
    EXPECT_FALSE(window->ToolbarAction(EditCopyPassword)->isEnabled());
    EXPECT_EQ(ReadBack(path, u"master"), ReadResult::Done);
}

TEST_F(MainWindowTest, ReopenWithAWrongThenTheRightPassword)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"right", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    driver.Then(ChooseFile(path.string()));
    driver.Then(TypePassword(QStringLiteral("wrong")));
    driver.Then(TypePassword(QStringLiteral("right")));
    Run(FileOpen);

    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"Invalid password."});
    EXPECT_EQ(driver.titles,
              (std::vector<QString>{driver.titles[0], QStringLiteral("Enter"), QStringLiteral("Enter")}));
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_TRUE(window->Session().IsOpen());
    EXPECT_EQ(window->StatusPane(2)->text(), Q(path));
}

TEST_F(MainWindowTest, NewWhileOpenAnsweredCancelLeavesTheDatabaseOpen)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    driver.Then(Cancel());
    Run(FileNew);
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Lockmere")});
    EXPECT_EQ(options.LastPath, Utf8ToUtf16(path.string()));
    EXPECT_EQ(database.Size(), 1u);
}

TEST_F(MainWindowTest, ChangeTheMasterPassword)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"old", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    OpenThroughTheDialogs(path, QStringLiteral("old"));
    driver.Then(TypePassword(QStringLiteral("old")));
    driver.Then(TypePasswords(QStringLiteral("new"), QStringLiteral("new")));
    Run(FileChangePass);

    EXPECT_EQ(driver.titles,
              (std::vector<QString>{QStringLiteral("Change Password"), QStringLiteral("Change Password")}));
    EXPECT_EQ(ReadBack(path, u"old"), ReadResult::InvalidPassword);
    std::size_t count = 0;
    EXPECT_EQ(ReadBack(path, u"new", &count), ReadResult::Done);
    EXPECT_EQ(count, 1u);
}

TEST_F(MainWindowTest, BackupOpensWithTheCurrentPassword)
{
    const auto path = folder / "lockmere.ldb";
    const auto backup = folder / "saved.bak";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    driver.Then(ExpectProposalAndChoose(QStringLiteral("lockmere.ldb.bak"), backup.string()));
    Run(FileCreateBackup);

    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"The backup is created: " + Utf8ToUtf16(backup.string())});
    std::size_t count = 0;
    EXPECT_EQ(ReadBack(backup, u"pw", &count), ReadResult::Done);
    EXPECT_EQ(count, 1u);

    // The backup opens through the dialogs like any database.
    window->OnCommand(FileClose);
    OpenThroughTheDialogs(backup, QStringLiteral("pw"));
    EXPECT_EQ(database.Size(), 1u);
}

TEST_F(MainWindowTest, MergeASecondFileUnderItsOwnPassword)
{
    const auto path = folder / "lockmere.ldb";
    const auto other = folder / "other.ldb";
    MakeFile(path, u"own", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    MakeFile(other, u"theirs", {MakeEntry(u"Web", u"Bank", u"u", u"p"), MakeEntry(u"Mail", u"Box", u"u", u"p")});
    OpenThroughTheDialogs(path, QStringLiteral("own"));
    driver.Then(ClickOk()); // the tip
    driver.Then(ChooseFile(other.string()));
    driver.Then(TypePassword(QStringLiteral("wrong")));
    driver.Then(ClickOk()); // the tip again
    driver.Then(ChooseFile(other.string()));
    driver.Then(TypePassword(QStringLiteral("theirs")));
    Run(FileImportLdb);

    ASSERT_EQ(driver.titles.size(), 6u);
    EXPECT_EQ(driver.titles[0], QStringLiteral("Tip"));
    EXPECT_EQ(driver.titles[2], QStringLiteral("Merging databases"));
    EXPECT_EQ(driver.titles[3], QStringLiteral("Tip"));
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"Invalid password."});
    EXPECT_EQ(database.Size(), 3u);
    std::size_t count = 0;
    EXPECT_EQ(ReadBack(path, u"own", &count), ReadResult::Done);
    EXPECT_EQ(count, 3u);
}

TEST_F(MainWindowTest, TextExportProposesTheFileNameWithTxtAppended)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    const auto exported = folder / "list.txt";
    driver.Then(ExpectProposalAndChoose(QStringLiteral("lockmere.ldb.txt"), exported.string()));
    Run(FileExportTxt);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"The txt file is created: " + Utf8ToUtf16(exported.string())});
    EXPECT_EQ(ReadFileBytes(exported).rfind("Group: Web", 0), 0u);

    const auto html = folder / "list.html";
    driver.Then(ExpectProposalAndChoose(QStringLiteral("lockmere.ldb.html"), html.string()));
    Run(FileExportHtml);
    EXPECT_TRUE(std::filesystem::exists(html));
}

TEST_F(MainWindowTest, CloseEmptiesTheViewsAndDisablesTheDatabaseCommands)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {});
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    EXPECT_GT(window->EntryList()->model()->columnCount(), 0);
    Run(FileClose);
    EXPECT_TRUE(driver.titles.empty());
    EXPECT_EQ(window->EntryList()->model()->columnCount(), 0);
    EXPECT_EQ(window->GroupTree()->topLevelItemCount(), 0);
    for (int pane = 0; pane < 3; ++pane) {
        EXPECT_TRUE(window->StatusPane(pane)->text().isEmpty()) << pane;
    }
    EXPECT_FALSE(window->MainMenu().Action(FileClose)->isEnabled());
    EXPECT_TRUE(options.LastPath.empty());
}

TEST_F(MainWindowTest, ToolbarFollowsDatabaseAndSelection)
{
    const int entryCommands[] = {EditEditEntry, EditDeleteEntry, EditCopyUser, EditCopyPassword, EditCopyUrl};
    window->UpdateCommandState(true, false);
    EXPECT_FALSE(window->ToolbarAction(EditAddEntry)->isEnabled());
    for (int command : entryCommands) {
        EXPECT_FALSE(window->ToolbarAction(command)->isEnabled()) << command;
    }
    window->UpdateCommandState(false, true);
    EXPECT_TRUE(window->ToolbarAction(EditAddEntry)->isEnabled());
    for (int command : entryCommands) {
        EXPECT_FALSE(window->ToolbarAction(command)->isEnabled()) << command;
    }
    window->UpdateCommandState(true, true);
    for (int command : entryCommands) {
        EXPECT_TRUE(window->ToolbarAction(command)->isEnabled()) << command;
    }
    EXPECT_TRUE(window->ToolbarAction(FileNew)->isEnabled());
    EXPECT_TRUE(window->ToolbarAction(FileOpen)->isEnabled());
}

TEST_F(MainWindowTest, ToolbarHasTheEightCommandsWithTheirTips)
{
    const std::vector<std::pair<int, QString>> expected = {
        {FileNew, "New"},
        {FileOpen, "Open"},
        {EditAddEntry, "Add Entry"},
        {EditEditEntry, "Edit/View Entry"},
        {EditDeleteEntry, "Delete Entry"},
        {EditCopyUser, "Copy Username"},
        {EditCopyPassword, "Copy Password"},
        {EditCopyUrl, "Copy URL/Path"},
    };
    for (const auto& [command, tip] : expected) {
        ASSERT_NE(window->ToolbarAction(command), nullptr);
        EXPECT_EQ(window->ToolbarAction(command)->toolTip(), tip);
        EXPECT_FALSE(window->ToolbarAction(command)->icon().isNull());
    }
}

TEST_F(MainWindowTest, EscapeEndsTheProgramEvenWithCloseHide)
{
    options.fCloseHide = true;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, CloseButtonWithCloseHideHidesToTheNotificationAreaAndLocks)
{
    FakeDesktop desktop(true);
    window = std::make_unique<CDlgMain>(database, options, texts, commandLine, desktop.Services());
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    options.fCloseHide = true;
    options.fLockDBMin = true;
    window->show();
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    window->close();
    QTest::qWait(20);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->InTray());
    EXPECT_TRUE(window->Session().IsLocked());
    EXPECT_TRUE(database.Empty());
    EXPECT_EQ(options.LastPath, Utf8ToUtf16(path.string()));
}

TEST_F(MainWindowTest, RestoringALockedWindowAsksForThePasswordAgain)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    options.fLockDBMin = true;
    window->show();
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    window->showMinimized();
    ASSERT_TRUE(window->Session().IsLocked());

    driver.Then(TypePassword(QStringLiteral("pw")));
    window->showNormal();
    for (int wait = 0; wait < 50 && !driver.Finished(); ++wait) {
        QTest::qWait(20);
    }
    QTest::qWait(50);
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Enter")});
    EXPECT_FALSE(window->Session().IsLocked());
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_TRUE(window->MainMenu().Action(FileClose)->isEnabled());
}

TEST_F(MainWindowTest, EnterAloneDoesNothing)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(driver.titles.empty());
}

TEST_F(MainWindowTest, WithoutANotificationAreaTheCloseButtonEndsTheProgramEvenWithCloseHide)
{
    options.fCloseHide = true;
    bool ended = false;
    QObject::connect(window.get(), &CDlgMain::Ended, [&] { ended = true; });
    window->show();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(ended);
}

TEST_F(MainWindowTest, CloseButtonWithoutCloseHideEndsTheWindow)
{
    window->show();
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, StartupWithLastDbAndThreeWrongPasswordsThenCancelForgetsThePath)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {});
    options.fLastDB = true;
    options.LastPath = Utf8ToUtf16(path.string());
    for (const char* wrong : {"a", "b", "c"}) {
        driver.Then(TypePassword(QString::fromLatin1(wrong)));
    }
    window->Start(); // the fourth prompt is cancelled
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>(3, u"Invalid password."));
    EXPECT_EQ(driver.titles.size(), 4u);
    EXPECT_TRUE(options.LastPath.empty());
    EXPECT_FALSE(window->MainMenu().Action(FileClose)->isEnabled());
}

TEST_F(MainWindowTest, StartupForgetsAVanishedDatabaseSilently)
{
    options.fLastDB = true;
    options.LastPath = Utf8ToUtf16((folder / "gone.ldb").string());
    window->Start();
    EXPECT_TRUE(driver.titles.empty());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(options.LastPath.empty());
}

TEST_F(MainWindowTest, AboutShowsTheAboutDialog)
{
    driver.Then(ClickOk());
    Run(HelpAbout);
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("About Lockmere")});
}

TEST_F(MainWindowTest, OpenContainingFolderShowsTipZeroThenOpensTheFolder)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {});
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    UrlCatcher desktop;
    QString advice;
    driver.Then([&](QWidget* tip) {
        advice = tip->findChild<QLabel*>(QStringLiteral("advice"))->text();
        ClickOk()(tip);
    });
    Run(FileOpenFolder);
    EXPECT_EQ(advice.toStdString(),
              "Please remember that the database should be closed to move, rename or delete the database file.");
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(Q(folder.Path()) + QLatin1Char('/')));

    options.fTip0 = false;
    Run(FileOpenFolder); // no tip any more, the folder all the same
    EXPECT_EQ(desktop.opened.size(), 2u);
}

TEST_F(MainWindowTest, HelpAndUpdateCarryTheRussianQueryOnlyForRussian)
{
    UrlCatcher desktop;
    options.Language = u"Russian";
    Run(Help);
    Run(HelpUpdate);
    options.Language = u"russian";
    Run(Help);
    Run(HelpUpdate);
    ASSERT_EQ(desktop.opened.size(), 4u);
    EXPECT_TRUE(desktop.opened[0].toString().endsWith(QStringLiteral("?lng=ru&p=lockmere_help")));
    EXPECT_TRUE(desktop.opened[1].toString().endsWith(QStringLiteral("?lng=ru&p=lockmere")));
    EXPECT_TRUE(desktop.opened[2].toString().endsWith(QStringLiteral("/?p=lockmere_help")));
    EXPECT_TRUE(desktop.opened[3].toString().endsWith(QStringLiteral("/?p=lockmere")));
}

TEST_F(MainWindowTest, AlwaysOnTopFollowsTheSetting)
{
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    options.fTop = true;
    CDlgMain topmost(database, options, texts, u"");
    EXPECT_TRUE(topmost.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowTest, NoCommandOfALaterPartChangesTheDatabase)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    OpenThroughTheDialogs(path, QStringLiteral("pw"));
    const std::string before = ReadFileBytes(path);
    // Without a selected entry, Edit and Delete have nothing to act on; Add opens its dialog and is tested with it.
    for (int command : {EditEditEntry, EditDeleteEntry, EditCopyUser, EditSortTitle, EditClearClipboard}) {
        Run(command);
    }
    EXPECT_TRUE(driver.titles.empty());
    // Options opens its dialog; cancelled, it changes nothing.
    driver.Then(Cancel());
    Run(Options);
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Options")});
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(database.Size(), 1u);
}

TEST(CommandLineTest, OnlyTheExactHideSwitchStartsHidden)
{
    EXPECT_TRUE(IsStartHiddenSwitch(u"-hide"));
    for (const std::u16string other : {u"-hide ", u"-HIDE", u"/hide", u"-Hide", u"hide", u"", u"-hide x"}) {
        EXPECT_FALSE(IsStartHiddenSwitch(other));
    }
}

TEST(CommandLineTest, ArgumentsAfterTheProgramAreJoinedByBlanks)
{
    EXPECT_EQ(CommandLineText({"lockmere", "-hide"}), u"-hide");
    EXPECT_EQ(CommandLineText({"lockmere", "-hide", "x"}), u"-hide x");
    EXPECT_EQ(CommandLineText({"lockmere", "-hide "}), u"-hide ");
    EXPECT_EQ(CommandLineText({"lockmere"}), u"");
}

class HiddenStartTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        commandLine = u"-hide";
        MainWindowTest::SetUp();
    }
};

TEST_F(HiddenStartTest, StartsWithoutAVisibleWindowAndOpensNothingUntilShown)
{
    const auto path = folder / "lockmere.ldb";
    MakeFile(path, u"pw", {MakeEntry(u"Web", u"Bank", u"u", u"p")});
    options.fLastDB = true;
    options.LastPath = Utf8ToUtf16(path.string());
    window->Start();
    EXPECT_TRUE(window->StartHidden());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(driver.titles.empty());
    EXPECT_TRUE(database.Empty());

    driver.Then(TypePassword(QStringLiteral("pw")));
    window->showNormal();
    QTest::qWait(50);
    for (int wait = 0; wait < 50 && !driver.Finished(); ++wait) {
        QTest::qWait(20);
    }
    QTest::qWait(50);
    EXPECT_FALSE(window->StartHidden());
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_FALSE(window->Session().IsLocked());
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Enter")});
    EXPECT_EQ(options.LastPath, Utf8ToUtf16(path.string()));
    EXPECT_TRUE(window->Session().IsOpen());
}
} // namespace
