#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDriver.h"
#include "gui/common/ScreenBound.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DesktopFakes.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryAddress.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/TrayIcon.h"
#include "gui/mainwindow/TrayMenu.h"
#include "gui/mainwindow/WindowOnFakeDesktop.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

using namespace CommandId;

namespace {
// A menu as text: "-" for a separator, a trailing ">" for a submenu, "(off)" for a disabled item.
std::vector<QString> Layout(const QMenu& menu)
{
    std::vector<QString> items;
    for (const QAction* action : menu.actions()) {
        QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
        if (action->menu() != nullptr) {
            text += QLatin1Char('>');
        }
        if (!action->isEnabled()) {
            text += QStringLiteral("(off)");
        }
        items.push_back(text);
    }
    return items;
}

QMenu* Submenu(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text && action->menu() != nullptr) {
            emit action->menu()->aboutToShow();
            return action->menu();
        }
    }
    return nullptr;
}

class TrayMenuTest : private WithApplication, public ::testing::Test
{
protected:
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    COptions options;
    bool usable = true;
    TrayMenu tray{database, options, texts, [this] { return usable; }, [] { return false; }, TrayMenu::MaxItemsPerMenu};
};

TEST_F(TrayMenuTest, ItemsFollowTheSettingsAndWhetherTheDatabaseIsUsable)
{
    struct Case
    {
        const char* name;
        bool usable;
        bool paste;
        bool autoLogin;
        std::vector<QString> layout;
    };
    const std::vector<Case> cases = {
        {"locked", false, true, true, {"Show", "-", "Add Entry(off)", "-", "Options", "Help>", "-", "Exit"}},
        {"everything",
         true,
         true,
         true,
         {"Show", "-", "Add Entry", "-", "Paste Username>", "Paste Password>", "-", "Auto-Login>", "-", "Options",
          "Help>", "-", "Exit"}},
        {"auto-login only",
         true,
         false,
         true,
         {"Show", "-", "Add Entry", "-", "Auto-Login>", "-", "Options", "Help>", "-", "Exit"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        usable = test.usable;
        options.fPasteMenuTray = test.paste;
        options.fAutoLoginMenuTray = test.autoLogin;
        tray.Rebuild();
        EXPECT_EQ(Layout(*tray.Menu()), test.layout);
    }
    EXPECT_EQ(Layout(*Submenu(*tray.Menu(), QStringLiteral("Help"))),
              (std::vector<QString>{"Help", "Check for Update", "About"}));
}

TEST_F(TrayMenuTest, EntrySubmenusGroupedOrFlatNameEachEntryByItsPositionInKeyOrder)
{
    AddEntries(database, {MakeEntry(u"Mail", u"C"), MakeEntry(u"Bank", u"B"), MakeEntry(u"Bank", u"A & Co")});
    options.fPasteMenuTray = true;
    QSignalSpy chosen(&tray, &TrayMenu::entryCommandChosen);
    for (const bool grouped : {true, false}) {
        SCOPED_TRACE(grouped);
        options.fGroupEntriesTray = grouped;
        tray.Rebuild();
        QMenu* passwords = Submenu(*tray.Menu(), QStringLiteral("Paste Password"));
        ASSERT_NE(passwords, nullptr);
        std::vector<QAction*> items;
        if (grouped) {
            EXPECT_EQ(Layout(*passwords), (std::vector<QString>{"Bank>", "Mail>"}));
            for (const QString group : {"Bank", "Mail"}) {
                for (QAction* action : Submenu(*passwords, group)->actions()) {
                    items.push_back(action);
                }
            }
        } else {
            for (QAction* action : passwords->actions()) {
                items.push_back(action);
            }
        }
        ASSERT_EQ(items.size(), 3u);
        EXPECT_EQ(items[0]->text(), QStringLiteral("A && Co"));
        for (std::size_t index = 0; index < items.size(); ++index) {
            chosen.clear();
            items[index]->trigger();
            ASSERT_EQ(chosen.size(), 1);
            EXPECT_EQ(chosen[0][0].value<TrayEntryCommand>(), TrayEntryCommand::PastePassword);
            EXPECT_EQ(chosen[0][1].value<std::size_t>(), index);
        }
    }
}

TEST_F(TrayMenuTest, LongListsFillOnlyWhenOpenedAndInRunsThatFitTheScreen)
{
    for (int number = 0; number < 1000; ++number) {
        database.Insert(MakeEntry(u"G", QStringLiteral("T%1").arg(number, 4, 10, QLatin1Char('0')).toStdU16String()));
    }
    options.fAutoLoginMenuTray = true;
    tray.Rebuild();
    QMenu* logins = nullptr;
    for (QAction* action : tray.Menu()->actions()) {
        if (action->text() == QStringLiteral("Auto-Login")) {
            logins = action->menu();
        }
    }
    ASSERT_NE(logins, nullptr);
    EXPECT_TRUE(logins->isEmpty());
    emit logins->aboutToShow();
    EXPECT_EQ(Layout(*logins),
              (std::vector<QString>{"G \u203A T0000 \u2013 G \u203A T0399>", "G \u203A T0400 \u2013 G \u203A T0799>",
                                    "G \u203A T0800 \u2013 G \u203A T0999>"}));
    QMenu* second = Submenu(*logins, QStringLiteral("G \u203A T0400 \u2013 G \u203A T0799"));
    ASSERT_EQ(second->actions().size(), 400);
    QSignalSpy chosen(&tray, &TrayMenu::entryCommandChosen);
    second->actions().front()->trigger();
    EXPECT_EQ(chosen[0][1].value<std::size_t>(), 400u);
}

TEST_F(TrayMenuTest, FlatRunsAreNamedByTheirFirstAndLastEntryWithTheGroupAsTheyStandInKeyOrder)
{
    // Key order puts the groups first: a run's titles alone would read "E020400 – E080299".
    for (int number = 0; number < 1000; ++number) {
        const std::u16string group = number < 500 ? u"Old" : u"New";
        const int title = number < 500 ? 80000 + number : 19500 + number;
        database.Insert(MakeEntry(group, QStringLiteral("E%1").arg(title, 6, 10, QLatin1Char('0')).toStdU16String()));
    }
    options.fPasteMenuTray = true;
    tray.Rebuild();
    QMenu* passwords = Submenu(*tray.Menu(), QStringLiteral("Paste Password"));
    ASSERT_NE(passwords, nullptr);
    EXPECT_EQ(Layout(*passwords), (std::vector<QString>{"New \u203A E020000 \u2013 New \u203A E020399>",
                                                        "New \u203A E020400 \u2013 Old \u203A E080299>",
                                                        "Old \u203A E080300 \u2013 Old \u203A E080499>"}));
}

TEST_F(TrayMenuTest, AValueWiderThanAThirdOfTheScreenIsCutInTheMiddleAndWholeInTheToolTip)
{
    const QString longGroup = QString(300, QLatin1Char('G')) + QStringLiteral("end");
    database.Insert(MakeEntry(longGroup.toStdU16String(), u"Title"));
    options.fPasteMenuTray = true;
    options.fGroupEntriesTray = true;
    tray.Rebuild();
    QMenu* passwords = Submenu(*tray.Menu(), QStringLiteral("Paste Password"));
    ASSERT_NE(passwords, nullptr);
    QAction* group = passwords->actions().front();
    EXPECT_TRUE(group->text().startsWith(QStringLiteral("GGG")));
    EXPECT_TRUE(group->text().endsWith(QStringLiteral("end")));
    EXPECT_TRUE(group->text().contains(QChar(0x2026)));
    EXPECT_LE(passwords->fontMetrics().horizontalAdvance(group->text()), MaxValueWidth());
    EXPECT_EQ(group->toolTip(), longGroup);
}

TEST(TrayMenuRunsTest, EveryLevelHoldsNoMoreItemsThanFitOnTheScreen)
{
    EnsureApplication();
    const std::size_t fit = TrayMenu::ItemsThatFit();
    const int itemHeight = QFontMetrics(QMenu().font()).height();
    EXPECT_LE(static_cast<int>(fit) * itemHeight, QGuiApplication::primaryScreen()->availableGeometry().height());
    EXPECT_GE(fit, 10u);
}

TEST(EntryAddressTest, LocalPathsOpenAsFilesAddressesWithAMarkerAsTheyAreOthersAsWebAddresses)
{
    const std::vector<std::pair<QString, QString>> cases = {
        {"/home/me/notes.txt", "file:///home/me/notes.txt"},
        {"~/docs/a b.pdf", "file:///home/me/docs/a%20b.pdf"},
        {"https://bank.example/login", "https://bank.example/login"},
        {"www.example.org", "http://www.example.org"},
        {"example.org", "http://example.org"},
        {"HTTPS://EXAMPLE.ORG", "http://HTTPS://EXAMPLE.ORG"},
        {"ftp://files.example", "ftp://files.example"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(EntryAddressUrl(value, QStringLiteral("/home/me")), QUrl(expected)) << value.toStdString();
    }
}

// The main window on a desktop whose notification area the test decides on.
class WindowTrayTest : public WindowOnFakeDesktop
{
protected:
    WindowTrayTest()
        : WindowOnFakeDesktop(true)
    {}

    void SetUp() override { WriteDatabaseOf(MakeEntry(u"Web", u"Bank", u"alice", u"pw1")); }

    void Create(const std::u16string& commandLine, bool trayAvailable = true)
    {
        desktop.trayAvailable = trayAvailable;
        CreateWindow(commandLine);
    }

    void WaitForTheDriver()
    {
        for (int wait = 0; wait < 100 && !driver.Finished(); ++wait) {
            QTest::qWait(20);
        }
        QTest::qWait(50);
    }
};

TEST_F(WindowTrayTest, AHiddenStartNeverShowsTheWindowUntilShownFromTheTray)
{
    options.fLastDB = true;
    Create(u"-hide");
    window->Start();
    window->show();
    window->showNormal();
    QTest::qWait(20);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->InTray());
    EXPECT_TRUE(window->Tray().IsShown());
    EXPECT_TRUE(driver.titles.empty());

    driver.Then(Cancel());
    window->ShowFromTray();
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Enter")});
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->Tray().IsShown());
    EXPECT_TRUE(options.LastPath.empty());
    EXPECT_FALSE(window->Session().IsLocked());
}

TEST_F(WindowTrayTest, MinimisingHidesToTheTrayAndShowingUnlocksWhenLocked)
{
    for (const bool lockOnMinimise : {true, false}) {
        SCOPED_TRACE(lockOnMinimise);
        options.fLockDBMin = lockOnMinimise;
        options.fLastDB = true;
        options.LastPath = path.u16string();
        Create(u"");
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->Start();
        ASSERT_TRUE(window->Session().IsOpen());
        driver.titles.clear();

        window->showMinimized();
        QTest::qWait(20);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(window->Tray().IsShown());
        EXPECT_EQ(window->Session().IsLocked(), lockOnMinimise);

        if (lockOnMinimise) {
            driver.Then(TypePassword(QStringLiteral("pw")));
        }
        window->OnCommand(TrayShow);
        EXPECT_EQ(driver.titles.size(), lockOnMinimise ? 1u : 0u);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->InTray());
        EXPECT_FALSE(window->Tray().IsShown());
        EXPECT_TRUE(window->Session().IsOpen());
        EXPECT_EQ(database.Size(), 1u);
    }
}

TEST_F(WindowTrayTest, MinimisingAndRestoringDuringTheStartupPromptAsksOnlyOnce)
{
    // Without a notification area restoring the window unlocks, which used to start a second prompt inside the
    // first.
    options.fLastDB = true;
    options.fLockDBMin = true;
    Create(u"", false);
    driver.Then([this](QWidget* prompt) {
        window->showMinimized();
        window->showNormal();
        QTest::qWait(50);
        TypePassword(QStringLiteral("pw"))(prompt);
    });
    driver.Then(Cancel());
    window->Start();
    WaitForTheDriver();
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Enter")});
    EXPECT_TRUE(window->Session().IsOpen());
    EXPECT_EQ(database.Size(), 1u);
    EXPECT_EQ(window->EntryList()->model()->rowCount(), 1);
}
} // namespace

namespace {
TEST_F(WindowTrayTest, WhileThePromptIsOpenTheTrayBringsItToTheFrontAndTheWindowFollowsOnceItCloses)
{
    options.fLastDB = true;
    Create(u"");
    std::vector<QString> menuWhilePrompting;
    bool promptShownAgain = false;
    driver.Then([&](QWidget* prompt) {
        // Modal to its window only: a prompt modal to the whole program would keep the icon from answering.
        EXPECT_EQ(prompt->windowHandle()->modality(), Qt::WindowModal);
        // The user minimises the window under the start-up prompt, which goes to the notification area.
        window->showMinimized();
        QTest::qWait(50);
        ASSERT_TRUE(window->InTray());
        // The window manager took the prompt down with its window.
        prompt->showMinimized();
        emit window->Tray().doubleClicked();
        promptShownAgain = prompt->isVisible() && !prompt->isMinimized();
        window->TrayCommands().Rebuild();
        menuWhilePrompting = Layout(*window->TrayCommands().Menu());
        TypePassword(QStringLiteral("pw"))(prompt);
    });
    window->Start();
    EXPECT_TRUE(promptShownAgain);
    EXPECT_EQ(menuWhilePrompting, (std::vector<QString>{"Show", "-", "Add Entry(off)", "-", "Options(off)",
                                                        "Help>(off)", "-", "Exit(off)"}));
    EXPECT_EQ(driver.titles, std::vector<QString>{QStringLiteral("Enter")});
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->isVisible() && !window->InTray(); }, 3000));
    EXPECT_TRUE(window->Session().IsOpen());
    EXPECT_FALSE(window->Tray().IsShown());
}

TEST_F(WindowTrayTest, WhenTheNotificationAreaGoesTheHiddenWindowWaitsMinimisedInTheTaskBar)
{
    options.fLastDB = true;
    Create(u"");
    driver.Then(TypePassword(QStringLiteral("pw")));
    window->Start();
    window->showMinimized();
    QTest::qWait(20);
    ASSERT_TRUE(window->InTray());
    ASSERT_FALSE(window->isVisible());

    desktop.trayWatchTimer->Tick();
    EXPECT_TRUE(window->InTray()) << "nothing changes while the notification area is there";
    desktop.trayAvailable = false;
    desktop.trayWatchTimer->Tick();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->InTray());
    EXPECT_FALSE(window->Tray().IsShown());

    // The area's return does not hide the window again: only the user does.
    desktop.trayAvailable = true;
    desktop.trayWatchTimer->Tick();
    QTest::qWait(20);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->InTray());
}

TEST_F(WindowTrayTest, AHiddenStartWhoseNotificationAreaGoesShowsTheWindowMinimised)
{
    options.fLastDB = true;
    Create(u"-hide");
    window->Start();
    ASSERT_TRUE(window->InTray());
    desktop.trayAvailable = false;
    desktop.trayWatchTimer->Tick();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(driver.titles.empty()) << "nothing is opened before the user asks for the window";
}
} // namespace
