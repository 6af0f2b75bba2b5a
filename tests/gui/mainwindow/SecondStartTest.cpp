#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "gui/mainwindow/TrayIcon.h"
#include "gui/mainwindow/WindowOnFakeDesktop.h"
#include "support/EntryBuilder.h"

namespace {
// The window as a file named outside the program and later starts of the program reach it.
class SecondStartTest : public WindowOnFakeDesktop
{
protected:
    SecondStartTest()
        : WindowOnFakeDesktop(true)
    {}

    void SetUp() override
    {
        WriteDatabaseOf(MakeEntry(u"Web", u"Bank", u"alice", u"pw1"));
        WriteDatabaseFile(other, {MakeEntry(u"Mail", u"Inbox"), MakeEntry(u"Mail", u"Work")}, u"other");
        options.fLastDB = true;
    }

    void StartWithTheLastDatabase()
    {
        CreateWindow(u"");
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->Start();
        ASSERT_TRUE(window->Session().IsOpen());
        driver.titles.clear();
    }

    void HideToTheTray()
    {
        window->showMinimized();
        QTest::qWait(20);
        ASSERT_TRUE(window->InTray());
    }

    std::filesystem::path other = folder / "other.ldb";
};

TEST_F(SecondStartTest, AFileOnTheCommandLineIsOpenedInsteadOfTheLastDatabase)
{
    CreateWindow(u"other.ldb");
    driver.Then(TypePassword(QStringLiteral("other")));
    window->Start(other);
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Enter")});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(options.LastPath, other.u16string());
    EXPECT_EQ(database.Size(), 2u);
}

TEST_F(SecondStartTest, AMissingFileOnTheCommandLineIsNamedAndNothingIsOpen)
{
    CreateWindow(u"missing.ldb");
    window->Start(folder / "missing.ldb");
    EXPECT_TRUE(driver.titles.empty());
    EXPECT_TRUE(options.LastPath.empty());
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find(u"missing.ldb (No such file or directory)"), std::u16string::npos);
}

TEST_F(SecondStartTest, ASecondStartBringsTheWindowBackFromTheTray)
{
    StartWithTheLastDatabase();
    HideToTheTray();
    window->BringToFront();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->InTray());
    EXPECT_FALSE(window->Tray().IsShown());
    EXPECT_TRUE(driver.titles.empty());
    EXPECT_TRUE(window->Session().IsOpen());
}

TEST_F(SecondStartTest, ALockedWindowAsksForThePasswordAndSaysThatItWasRunning)
{
    options.fLockDBMin = true;
    StartWithTheLastDatabase();
    HideToTheTray();
    ASSERT_TRUE(window->Session().IsLocked());
    QString noteDuringThePrompt;
    driver.Then([&](QWidget* prompt) {
        noteDuringThePrompt = window->statusBar()->currentMessage();
        TypePassword(QStringLiteral("pw"))(prompt);
    });
    window->BringToFront();
    EXPECT_EQ(noteDuringThePrompt, QStringLiteral("The program is already running."));
    EXPECT_TRUE(window->Session().IsOpen());
    EXPECT_TRUE(window->isVisible());
    // The open database's panes take the bar again.
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
}

TEST_F(SecondStartTest, AFileHandedOverIsOpenedAfterAskingToCloseTheOpenOne)
{
    StartWithTheLastDatabase();
    HideToTheTray();
    driver.Then(ClickOk());
    driver.Then(TypePassword(QStringLiteral("other")));
    window->OpenFileFromOutside(other);
    EXPECT_EQ(driver.titles, (std::vector<QString>{QStringLiteral("Lockmere"), QStringLiteral("Enter")}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->Tray().IsShown());
    EXPECT_EQ(options.LastPath, other.u16string());
    EXPECT_EQ(database.Size(), 2u);

    // The database that is open already is only shown.
    driver.titles.clear();
    window->OpenFileFromOutside(other);
    EXPECT_TRUE(driver.titles.empty());
    EXPECT_EQ(options.LastPath, other.u16string());
}

TEST_F(SecondStartTest, KeepingTheLockedDatabaseAsksForItsPasswordInstead)
{
    options.fLockDBMin = true;
    StartWithTheLastDatabase();
    HideToTheTray();
    driver.Then(Cancel());
    driver.Then(TypePassword(QStringLiteral("pw")));
    window->OpenFileFromOutside(other);
    QTest::qWait(50);
    EXPECT_EQ(driver.titles, (std::vector<QString>{QStringLiteral("Lockmere"), QStringLiteral("Enter")}));
    EXPECT_EQ(options.LastPath, path.u16string());
    EXPECT_TRUE(window->Session().IsOpen());
    EXPECT_EQ(database.Size(), 1u);
}

TEST_F(SecondStartTest, ASingleClickOnTheTrayIconShowsOrHidesTheWindow)
{
    StartWithTheLastDatabase();
    emit window->Tray().clicked();
    QTest::qWait(20);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->InTray());
    emit window->Tray().clicked();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->InTray());
    // A double click, whose first press was a click, brings the window back and leaves it there.
    emit window->Tray().clicked();
    QTest::qWait(20);
    emit window->Tray().doubleClicked();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Session().IsOpen());
}
} // namespace
