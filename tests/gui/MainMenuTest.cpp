#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "core/common/Utf.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/MainMenu.h"
#include "gui/mainwindow/MainWindowCommands.h"
#include "support/MessageRecorder.h"

using namespace CommandId;

namespace {
struct Insertions
{
    bool paste;
    bool autoLogin;
    int urlPosition;
    int sortPosition;
};

class MainMenuTest : public ::testing::TestWithParam<Insertions>
{
protected:
    void SetUp() override
    {
        EnsureApplication();
        menu.Build(&bar, GetParam().paste, GetParam().autoLogin);
    }

    bool Enabled(int command) const { return menu.Action(command)->isEnabled(); }
    QAction* EditItem(int position) const { return menu.EditMenu()->actions()[position]; }
    QAction* UrlMenu() const { return EditItem(GetParam().urlPosition); }
    QAction* SortMenu() const { return EditItem(GetParam().sortPosition); }
    QAction* FileItem(int position) const { return menu.FileMenu()->actions()[position]; }

    std::vector<int> InsertedCommands() const
    {
        std::vector<int> inserted;
        if (GetParam().paste) {
            inserted.insert(inserted.end(), {EditPasteUsername, EditPastePassword});
        }
        if (GetParam().autoLogin) {
            inserted.push_back(EditAutoLogin);
        }
        return inserted;
    }

    ApplicationFirst application;
    BuiltinTextSource texts;
    COptions options;
    QMenuBar bar;
    CommandTable commands = MainWindowCommands();
    CMainMenu menu{texts, options, commands};
};

TEST_P(MainMenuTest, SubmenusStandWhereTheInsertionsPutThem)
{
    EXPECT_EQ(UrlMenu()->text(), QStringLiteral("URL/Path"));
    EXPECT_NE(UrlMenu()->menu(), nullptr);
    EXPECT_EQ(SortMenu()->text(), QStringLiteral("Sort By"));
    EXPECT_EQ(FileItem(5)->text(), QStringLiteral("Import"));
    EXPECT_EQ(FileItem(6)->text(), QStringLiteral("Export"));
    for (int command : InsertedCommands()) {
        ASSERT_NE(menu.Action(command), nullptr);
    }
    const bool inserted = GetParam().paste || GetParam().autoLogin;
    EXPECT_EQ(EditItem(6)->isSeparator(), true);
    if (inserted) {
        EXPECT_TRUE(EditItem(GetParam().urlPosition - 1)->isSeparator());
        EXPECT_EQ(EditItem(7)->data().toInt(), InsertedCommands().front());
    }
}

TEST_P(MainMenuTest, NoDatabaseDisablesAllButTheAlwaysEnabledItems)
{
    menu.EnableItems(false, true, false);
    for (int command : {FileClose, FileChangePass, FileCreateBackup, FileOpenFolder, EditAddEntry, EditEditEntry,
                        EditDeleteEntry, EditCopyUser, EditCopyPassword, EditSortGroup, EditSortTitle, EditSortUsername,
                        EditSortPassword, EditSortUrl, EditSortNotes}) {
        EXPECT_FALSE(Enabled(command)) << command;
    }
    for (int command : InsertedCommands()) {
        EXPECT_FALSE(Enabled(command)) << command;
    }
    EXPECT_FALSE(FileItem(5)->isEnabled());
    EXPECT_FALSE(FileItem(6)->isEnabled());
    EXPECT_FALSE(UrlMenu()->isEnabled());
    EXPECT_FALSE(SortMenu()->isEnabled());
    for (int command : {FileNew, FileOpen, Options, EditClearClipboard, Help, HelpUpdate, HelpAbout}) {
        EXPECT_TRUE(Enabled(command)) << command;
    }
    EXPECT_TRUE(menu.HelpMenu()->menuAction()->isEnabled());
}

TEST_P(MainMenuTest, DatabaseWithoutSelectionEnablesTheDatabaseItemsOnly)
{
    menu.EnableItems(true, false, false);
    for (int command : {FileClose, FileChangePass, FileCreateBackup, FileOpenFolder, EditAddEntry, EditSortGroup,
                        EditSortTitle, EditSortUsername, EditSortPassword, EditSortUrl, EditSortNotes}) {
        EXPECT_TRUE(Enabled(command)) << command;
    }
    EXPECT_TRUE(FileItem(5)->isEnabled());
    EXPECT_TRUE(FileItem(6)->isEnabled());
    EXPECT_TRUE(SortMenu()->isEnabled());
    for (int command : {EditEditEntry, EditDeleteEntry, EditCopyUser, EditCopyPassword}) {
        EXPECT_FALSE(Enabled(command)) << command;
    }
    for (int command : InsertedCommands()) {
        EXPECT_FALSE(Enabled(command)) << command;
    }
    EXPECT_FALSE(UrlMenu()->isEnabled());
}

TEST_P(MainMenuTest, DatabaseWithSelectionEnablesTheEntryItems)
{
    menu.EnableItems(true, true, false);
    for (int command : {EditEditEntry, EditDeleteEntry, EditCopyUser, EditCopyPassword}) {
        EXPECT_TRUE(Enabled(command)) << command;
    }
    for (int command : InsertedCommands()) {
        EXPECT_TRUE(Enabled(command)) << command;
    }
    EXPECT_TRUE(UrlMenu()->isEnabled());
}

TEST_P(MainMenuTest, ASelectedGroupDisablesSortByGroup)
{
    menu.EnableItems(true, true, true);
    EXPECT_FALSE(Enabled(EditSortGroup));
    EXPECT_TRUE(Enabled(EditSortTitle));
}

TEST_P(MainMenuTest, HiddenColumnsDisableTheirSorts)
{
    options.fColumn0 = false;
    options.fColumn2 = false;
    menu.EnableItems(true, false, false);
    EXPECT_FALSE(Enabled(EditSortUsername));
    EXPECT_TRUE(Enabled(EditSortPassword));
    EXPECT_FALSE(Enabled(EditSortUrl));
    EXPECT_TRUE(Enabled(EditSortNotes));
}

TEST_P(MainMenuTest, MainItemsCarryImages)
{
    for (int command :
         {FileNew, FileOpen, EditAddEntry, EditEditEntry, EditDeleteEntry, EditCopyUser, EditCopyPassword}) {
        EXPECT_FALSE(menu.Action(command)->icon().isNull()) << command;
    }
    EXPECT_FALSE(UrlMenu()->icon().isNull());
    if (GetParam().autoLogin) {
        EXPECT_FALSE(menu.Action(EditAutoLogin)->icon().isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(Insertions, MainMenuTest,
                         ::testing::Values(Insertions{false, false, 7, 9}, Insertions{true, false, 10, 12},
                                           Insertions{false, true, 9, 11}, Insertions{true, true, 11, 13}),
                         [](const ::testing::TestParamInfo<Insertions>& info) {
                             return std::string(info.param.paste ? "Paste" : "NoPaste") +
                                    (info.param.autoLogin ? "AutoLogin" : "NoAutoLogin");
                         });

class MainMenuRebuildTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApplication(); }

    QStringList EditTexts() const
    {
        QStringList texts;
        for (QAction* action : menu.EditMenu()->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return texts;
    }

    ApplicationFirst application;
    BuiltinTextSource texts;
    COptions options;
    QMenuBar bar;
    CommandTable commands = MainWindowCommands();
    CMainMenu menu{texts, options, commands};
};

TEST_F(MainMenuRebuildTest, WithoutInsertionsTheEditMenuIsTheTemplate)
{
    menu.Build(&bar, false, false);
    EXPECT_EQ(EditTexts(),
              (QStringList{"Add Entry", "Edit/View Entry", "Delete Entry", "-", "Copy Username", "Copy Password", "-",
                           "URL/Path", "-", "Sort By", "-", "Clear Clipboard", "-", "Password Health"}));
    QStringList top;
    for (QAction* action : bar.actions()) {
        top << action->text();
    }
    EXPECT_EQ(top, (QStringList{"File", "Edit", "Options", "Help"}));
}

TEST_F(MainMenuRebuildTest, TurningPasteOnAndOffInsertsAndRemovesExactlyThreeItems)
{
    menu.Build(&bar, false, false);
    const QStringList original = EditTexts();
    menu.Rebuild(true, false, nullptr);
    QStringList withPaste = original;
    withPaste.insert(6, QStringLiteral("-"));
    withPaste.insert(7, QStringLiteral("Paste Username"));
    withPaste.insert(8, QStringLiteral("Paste Password"));
    EXPECT_EQ(EditTexts(), withPaste);
    menu.Rebuild(false, false, nullptr);
    EXPECT_EQ(EditTexts(), original);
}

TEST_F(MainMenuRebuildTest, AutoLoginAlonePutsOneSeparatorBeforeIt)
{
    menu.Build(&bar, false, false);
    menu.Rebuild(false, true, nullptr);
    const QStringList edit = EditTexts();
    EXPECT_EQ(edit[6], QStringLiteral("-"));
    EXPECT_EQ(edit[7], QStringLiteral("Auto-Login"));
    EXPECT_EQ(edit[8], QStringLiteral("-"));
    EXPECT_EQ(edit[11], QStringLiteral("Sort By"));
}

// A text table in which every text is its own id, so that a retranslation shows in every caption.
class NumberedTexts : public ITextSource
{
public:
    const std::u16string& Text(int id) const override
    {
        texts[id] = u"#" + ToU16(static_cast<unsigned>(id));
        return texts[id];
    }
    mutable std::map<int, std::u16string> texts;
};

TEST_F(MainMenuRebuildTest, RebuildTranslatesEveryCaptionAgainIncludingInsertedItems)
{
    struct SwitchableTexts : ITextSource
    {
        const std::u16string& Text(int id) const override { return numbered ? other.Text(id) : english.Text(id); }
        BuiltinTextSource english;
        NumberedTexts other;
        bool numbered = false;
    } switchable;
    const CommandTable commands = MainWindowCommands();
    CMainMenu translated(switchable, options, commands);
    QMenuBar menuBar;
    translated.Build(&menuBar, true, true);
    switchable.numbered = true;
    translated.Rebuild(true, true, nullptr);
    for (QAction* action : translated.EditMenu()->actions()) {
        if (!action->isSeparator()) {
            EXPECT_TRUE(action->text().startsWith(QLatin1Char('#'))) << action->text().toStdString();
        }
    }
    for (QAction* action : menuBar.actions()) {
        EXPECT_TRUE(action->text().startsWith(QLatin1Char('#'))) << action->text().toStdString();
    }
    EXPECT_TRUE(translated.Action(EditAutoLogin)->text().endsWith(QStringLiteral("74")));
}
} // namespace
