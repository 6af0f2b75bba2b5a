#include "gui/settings/MenuTranslation.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/common/TextSource.h"

namespace {
// Text N reads "text N", so that a test sees which id an item got.
class NumberedTexts : public ITextSource
{
public:
    NumberedTexts()
    {
        for (int id = 0; id < 261; ++id) {
            const std::string text = "text " + std::to_string(id);
            texts.emplace_back(text.begin(), text.end());
        }
    }
    const std::u16string& Text(int id) const override
    {
        if (id < 0 || id >= static_cast<int>(texts.size())) {
            throw std::invalid_argument("text id beyond the table");
        }
        return texts[static_cast<std::size_t>(id)];
    }

private:
    std::vector<std::u16string> texts;
};

QAction* AddCommand(QMenu& menu, const QString& text, int commandId)
{
    QAction* action = menu.addAction(text);
    action->setData(commandId);
    return action;
}

class MenuTranslationTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "lockmere_gui_tests";
            static char* argv[] = {name, nullptr};
            static QApplication application(argc, argv);
        }
    }

    void SetUp() override
    {
        bar = std::make_unique<QMenuBar>();
        file = bar->addMenu(QStringLiteral("File"));
        open = AddCommand(*file, QStringLiteral("Open"), 57601);
        file->addSeparator();
        exportMenu = file->addMenu(QStringLiteral("Export"));
        exportText = AddCommand(*exportMenu, QStringLiteral("Text"), 32780);
        edit = bar->addMenu(QStringLiteral("Edit"));
        copy = AddCommand(*edit, QStringLiteral("Copy"), 32800);
        help = bar->addMenu(QStringLiteral("Help"));
    }

    NumberedTexts texts;
    std::unique_ptr<QMenuBar> bar;
    QMenu* file = nullptr;
    QMenu* exportMenu = nullptr;
    QMenu* edit = nullptr;
    QMenu* help = nullptr;
    QAction* open = nullptr;
    QAction* exportText = nullptr;
    QAction* copy = nullptr;
};

TEST_F(MenuTranslationTest, ByPositionRenamesTopLevelItemsAndKeepsSubmenus)
{
    const MenuText byPosition[] = {{0, 120}, {0, 140}, {0, 160}};
    TranslateMenu(*bar, byPosition, {}, texts);
    const QList<QAction*> items = bar->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("text 120"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("text 140"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("text 160"));
    EXPECT_EQ(QMenu::menuInAction(items[0]), file);
    EXPECT_EQ(QMenu::menuInAction(items[1]), edit);
    EXPECT_EQ(items[0]->data().toInt(), 0);
    EXPECT_EQ(open->text(), QStringLiteral("Open"));
}

TEST_F(MenuTranslationTest, KeepMarkerLeavesThePositionAlone)
{
    const MenuText byPosition[] = {{0, KeepMenuItem}, {0, 140}};
    TranslateMenu(*bar, byPosition, {}, texts);
    EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("File"));
    EXPECT_EQ(bar->actions()[1]->text(), QStringLiteral("text 140"));
}

TEST_F(MenuTranslationTest, ByPositionGivesTheCommandId)
{
    const MenuText byPosition[] = {{57601, 123}, {KeepMenuItem, KeepMenuItem}, {0, 158}};
    TranslateMenu(*file, byPosition, {}, texts);
    EXPECT_EQ(open->text(), QStringLiteral("text 123"));
    EXPECT_EQ(open->data().toInt(), 57601);
    // The separator at position 1 is untouched; position 2 opens the Export submenu.
    EXPECT_TRUE(file->actions()[1]->isSeparator());
    EXPECT_EQ(file->actions()[2]->text(), QStringLiteral("text 158"));
    EXPECT_EQ(QMenu::menuInAction(file->actions()[2]), exportMenu);
}

TEST_F(MenuTranslationTest, RowsBeyondTheMenuAreIgnored)
{
    const MenuText byPosition[] = {{0, 120}, {0, 140}, {0, 160}, {0, 13}, {0, 21}};
    TranslateMenu(*bar, byPosition, {}, texts);
    EXPECT_EQ(bar->actions().size(), 3);
}

TEST_F(MenuTranslationTest, ByCommandFindsItemsInNestedSubmenus)
{
    const MenuText byCommand[] = {{57601, 123}, {32780, 130}, {32800, 159}};
    TranslateMenu(*bar, {}, byCommand, texts);
    EXPECT_EQ(open->text(), QStringLiteral("text 123"));
    EXPECT_EQ(exportText->text(), QStringLiteral("text 130"));
    EXPECT_EQ(copy->text(), QStringLiteral("text 159"));
    EXPECT_EQ(copy->data().toInt(), 32800);
}

TEST_F(MenuTranslationTest, UnknownCommandChangesNothing)
{
    const MenuText byCommand[] = {{40000, 123}};
    TranslateMenu(*bar, {}, byCommand, texts);
    EXPECT_EQ(open->text(), QStringLiteral("Open"));
    EXPECT_EQ(copy->text(), QStringLiteral("Copy"));
    EXPECT_EQ(FindMenuCommand(*bar, 40000), nullptr);
}

TEST_F(MenuTranslationTest, FirstItemWithACommandIsRenamed)
{
    QAction* second = AddCommand(*help, QStringLiteral("Copy again"), 32800);
    const MenuText byCommand[] = {{32800, 159}};
    TranslateMenu(*bar, {}, byCommand, texts);
    EXPECT_EQ(copy->text(), QStringLiteral("text 159"));
    EXPECT_EQ(second->text(), QStringLiteral("Copy again"));
}

TEST_F(MenuTranslationTest, BothTablesTogetherOnAPopupMenu)
{
    QMenu tray;
    QAction* show = AddCommand(tray, QStringLiteral("Show"), 32772);
    QMenu* entries = tray.addMenu(QStringLiteral("Entries"));
    QAction* entry = AddCommand(*entries, QStringLiteral("Paste"), 40100);
    QAction* exit = AddCommand(tray, QStringLiteral("Exit"), 32771);
    const MenuText byPosition[] = {{32772, 20}, {0, 77}};
    const MenuText byCommand[] = {{32771, 21}, {40100, 78}};
    TranslateMenu(tray, byPosition, byCommand, texts);
    EXPECT_EQ(show->text(), QStringLiteral("text 20"));
    EXPECT_EQ(tray.actions()[1]->text(), QStringLiteral("text 77"));
    EXPECT_EQ(QMenu::menuInAction(tray.actions()[1]), entries);
    EXPECT_EQ(exit->text(), QStringLiteral("text 21"));
    EXPECT_EQ(entry->text(), QStringLiteral("text 78"));
}

TEST_F(MenuTranslationTest, SubmenuAttachedTwiceIsSearchedSafely)
{
    edit->addMenu(exportMenu);
    exportMenu->addMenu(file);
    EXPECT_EQ(FindMenuCommand(*bar, 32780), exportText);
    EXPECT_EQ(FindMenuCommand(*bar, 12345), nullptr);
}

TEST_F(MenuTranslationTest, TextIdBeyondTheTableThrows)
{
    const MenuText byPosition[] = {{0, 261}};
    EXPECT_THROW(TranslateMenu(*bar, byPosition, {}, texts), std::invalid_argument);
}
} // namespace
