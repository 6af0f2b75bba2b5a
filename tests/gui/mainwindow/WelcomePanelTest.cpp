#include <QPushButton>

#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/ShownWindowFixture.h"
#include "gui/mainwindow/WelcomePanel.h"

namespace {
using WelcomePanelTest = ShownWindowFixture;

TEST_F(WelcomePanelTest, ShownOnlyWithoutADatabaseItsButtonsOpenAndCreate)
{
    auto* welcome = window->findChild<WelcomePanel*>();
    auto click = [this](const char* button) {
        QTest::mouseClick(window->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        EXPECT_TRUE(driver.Finished());
    };
    EXPECT_FALSE(welcome->isVisible());
    window->OnCommand(CommandId::FileClose);
    EXPECT_TRUE(welcome->isVisible());

    driver.Then(ChooseFile((folder / "new.ldb").string()));
    driver.Then(TypePasswords(QStringLiteral("pw"), QStringLiteral("pw")));
    click("createDatabase");
    EXPECT_TRUE(window->Session().IsOpen());
    EXPECT_FALSE(welcome->isVisible());

    window->OnCommand(CommandId::FileClose);
    driver.Then(ChooseFile(path.string()));
    driver.Then(TypePassword(QStringLiteral("pw")));
    click("openDatabase");
    EXPECT_EQ(database.Size(), 4u);
    EXPECT_FALSE(welcome->isVisible());
    window->OnCommand(CommandId::FileLock); // a locked database is still open
    EXPECT_FALSE(welcome->isVisibleTo(window.get()));
}
} // namespace
