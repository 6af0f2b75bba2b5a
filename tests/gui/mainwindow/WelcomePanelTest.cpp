#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDriver.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/WelcomePanel.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
TEST(WelcomePanelTest, ShownWithoutADatabaseItsButtonsCreateAndOpen)
{
    EnsureApplication();
    TempDir folder;
    const auto path = folder / "lockmere.ldb";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database(messages, texts);
    COptions options;
    options.fLastDB = false;
    CDlgMain window(database, options, texts, u"");
    window.Start();
    ModalDriver driver;
    auto* welcome = window.findChild<WelcomePanel*>();
    auto click = [&window](const char* button) {
        QTest::mouseClick(window.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    };
    EXPECT_TRUE(welcome->isVisible());

    driver.Then(ChooseFile(path.string()));
    driver.Then(TypePasswords(QStringLiteral("pw"), QStringLiteral("pw")));
    click("createDatabase");
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(window.Session().IsOpen());
    EXPECT_FALSE(welcome->isVisible());

    window.OnCommand(CommandId::FileClose);
    EXPECT_TRUE(welcome->isVisible());
    driver.Then(ChooseFile(path.string()));
    driver.Then(TypePassword(QStringLiteral("pw")));
    click("openDatabase");
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(window.Session().IsOpen());
    EXPECT_FALSE(welcome->isVisible());

    window.OnCommand(CommandId::FileLock); // a locked database is still open
    EXPECT_TRUE(window.Session().IsLocked());
    EXPECT_FALSE(welcome->isVisibleTo(&window));
}
} // namespace
