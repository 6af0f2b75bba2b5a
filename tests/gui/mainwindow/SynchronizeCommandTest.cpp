#include <QMessageBox>

#include "core/settings/BuiltinTexts.h"
#include "gui/importexport/OpenWindowFixture.h"

namespace {
using SynchronizeCommandTest = OpenWindowFixture;

TEST_F(SynchronizeCommandTest, TheFileMenuSynchronizesAChosenFileAndShowsTheSummary)
{
    const auto laptop = folder / "laptop.ldb";
    WriteDatabaseFile(laptop, {MakeEntry(u"Web", u"Bank", u"me", u"pw"), MakeEntry(u"Laptop", u"Only")}, u"lap");
    ASSERT_TRUE(window->MainMenu().Action(CommandId::FileSynchronize)->isEnabled());
    driver.Then(ChooseFile(laptop.string()));
    driver.Then([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Synchronizing databases"));
        TypePassword(QStringLiteral("lap"))(dialog);
    });

    window->OnCommand(CommandId::FileSynchronize);

    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"Synchronization finished. Added: 1, identical: 1, kept both: 0."});
    EXPECT_EQ(EntriesInFile(), 2u);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_TRUE(driver.Finished());
}

TEST_F(SynchronizeCommandTest, OpeningADatabaseWithAConflictCopyBesideItOffersToSynchronizeIt)
{
    window->OnCommand(CommandId::FileClose);
    WriteDatabaseFile(databaseFolder / "lockmere (Ann's conflicted copy 2024-05-01).ldb",
                      {MakeEntry(u"Laptop", u"Only")});
    driver.Then(ChooseFile(path.string()));
    driver.Then(TypePassword(QStringLiteral("pw")));
    driver.Then([this](QWidget* dialog) {
        EXPECT_TRUE(qobject_cast<QMessageBox*>(dialog)->text().toStdU16String().find(
                        texts.Text(TextId::ConflictCopiesFound)) == 0);
        ClickOk()(dialog);
    });
    // The copy stays where it is: this test does not fill the user's trash.
    driver.Then(Cancel());

    window->OnCommand(CommandId::FileOpen);

    EXPECT_EQ(EntriesInFile(), 2u);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(databaseFolder / "lockmere (Ann's conflicted copy 2024-05-01).ldb"));
    EXPECT_TRUE(driver.Finished());
}
} // namespace
