#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
// Runs the handler on the next modal dialog (or popup menu) once it is shown.
void OnNextWidget(std::function<QWidget*()> find, std::function<void(QWidget*)> handler, int attempts = 200)
{
    QTimer::singleShot(10, [find, handler, attempts] {
        if (QWidget* widget = find()) {
            handler(widget);
        } else if (attempts > 0) {
            OnNextWidget(find, handler, attempts - 1);
        } else if (QWidget* popup = QApplication::activePopupWidget()) {
            // Never leave a test waiting in a menu that did not behave as expected.
            popup->close();
        }
    });
}
void OnModal(std::function<void(QWidget*)> handler)
{
    OnNextWidget([] { return QApplication::activeModalWidget(); }, std::move(handler));
}
void OnPopup(std::function<void(QWidget*)> handler)
{
    OnNextWidget([] { return QApplication::activePopupWidget(); }, std::move(handler));
}
} // namespace

// The main window over a real database file of thirty entries in five groups.
class MainWindowEntriesTest : private WithApplication, public ::testing::Test
{
protected:
    void SetUp() override
    {
        CDataBase initial(recorder, texts);
        const char16_t* groups[] = {u"Email", u"Homebanking", u"Network", u"Social Networks", u"WWW"};
        const char16_t* titles[] = {u"Main account", u"Work", u"Family", u"Backup", u"Old", u"Shared"};
        for (const char16_t* group : groups) {
            for (const char16_t* title : titles) {
                const std::u16string user = std::u16string(u"user.") + title[0] + group[0] + u"@example.org";
                AddEntries(initial, {MakeEntry(group, title, user, u"Pw-" + std::u16string(title) + u"-42",
                                               u"https://" + std::u16string(1, group[0]) + u".example.org/login",
                                               u"created 2026")});
            }
        }
        ASSERT_TRUE(WriteDatabase(initial, path, ToSecure(u"master")));
        options.LastPath = path.u16string();
        window = std::make_unique<CDlgMain>(database, options, texts, u"");
        window->resize(900, 560);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        OnModal([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("master"));
            static_cast<QDialog*>(dialog)->accept();
        });
        ASSERT_TRUE(window->Session().OpenWithPassword(path));
        window->UpdateCommandState(false, true);
    }

    EntryListView& List() { return *window->EntryList(); }
    EntryListModel& Model() { return *window->Views().Model(); }
    QString Cell(int row, int column) { return Model().index(row, column).data().toString(); }
    QPoint CellCentre(int row, int column) { return List().visualRect(Model().index(row, column)).center(); }

    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
    COptions options;
    TempDir folder;
    std::filesystem::path path = folder / "lockmere.ldb";
    std::unique_ptr<CDlgMain> window;
};

TEST_F(MainWindowEntriesTest, OpeningFillsTreeListAndStatusPanes)
{
    EXPECT_EQ(Model().rowCount(), 30);
    ASSERT_EQ(window->GroupTree()->topLevelItemCount(), 1);
    EXPECT_EQ(window->GroupTree()->topLevelItem(0)->childCount(), 5);
    EXPECT_EQ(window->StatusPane(0)->text(), "General");
    EXPECT_EQ(window->StatusPane(1)->text(), " 30 Item(s)");
    EXPECT_EQ(Cell(0, 3), "**********");
}

TEST_F(MainWindowEntriesTest, AddEntryRunsTheRealDialogAndSavesTheEntry)
{
    OnModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Add Entry");
        dialog->findChild<QComboBox*>(QStringLiteral("group"))->setEditText(QStringLiteral("Forums"));
        dialog->findChild<QLineEdit*>(QStringLiteral("title"))->setText(QStringLiteral("Board"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    window->OnCommand(CommandId::EditAddEntry);
    const auto added = database.Find({ToSecure(u"Forums"), ToSecure(u"Board")});
    ASSERT_TRUE(added);
    EXPECT_EQ(added->password.size(), 16u);
    EXPECT_EQ(Model().rowCount(), 31);
    CDataBase reread(recorder, texts);
    ASSERT_EQ(ReadDatabase(reread, path, ToSecure(u"master")), 1);
    EXPECT_EQ(reread.Find({ToSecure(u"Forums"), ToSecure(u"Board")}), added);
}

TEST_F(MainWindowEntriesTest, DoubleClickOpensTheEditDialogOnThatEntry)
{
    QString shownTitle;
    OnModal([&shownTitle](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Edit/View Entry");
        shownTitle = dialog->findChild<QLineEdit*>(QStringLiteral("title"))->text();
        static_cast<QDialog*>(dialog)->reject();
    });
    QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, CellCentre(7, 1));
    EXPECT_EQ(shownTitle, Cell(7, 1));
}

TEST_F(MainWindowEntriesTest, SelectionEnablesTheEntryCommands)
{
    EXPECT_FALSE(window->ToolbarAction(CommandId::EditEditEntry)->isEnabled());
    EXPECT_TRUE(window->ToolbarAction(CommandId::EditAddEntry)->isEnabled());
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, CellCentre(2, 1));
    EXPECT_TRUE(window->ToolbarAction(CommandId::EditEditEntry)->isEnabled());
    EXPECT_TRUE(window->ToolbarAction(CommandId::EditDeleteEntry)->isEnabled());
    EXPECT_TRUE(window->ToolbarAction(CommandId::EditCopyPassword)->isEnabled());
}

TEST_F(MainWindowEntriesTest, SortCommandsSortTheList)
{
    EXPECT_EQ(Cell(1, 1), "Family");
    window->OnCommand(CommandId::EditSortTitle);
    EXPECT_EQ(Cell(1, 1), "Backup");
    EXPECT_EQ(Cell(29, 1), "Work");
    window->OnCommand(CommandId::EditSortTitle);
    EXPECT_EQ(Cell(0, 1), "Work");
}

TEST_F(MainWindowEntriesTest, DeleteCommandAsksAndErases)
{
    options.fRequestDelete = false;
    List().SelectRow(0);
    const auto key = window->Views().CurrentKey();
    window->OnCommand(CommandId::EditDeleteEntry);
    EXPECT_FALSE(database.Find(*key));
    EXPECT_EQ(Model().rowCount(), 29);
    EXPECT_FALSE(window->ToolbarAction(CommandId::EditDeleteEntry)->isEnabled());
}

TEST_F(MainWindowEntriesTest, AChoiceInTheContextMenuRunsItsCommandOnce)
{
    List().SelectRow(0);
    OnPopup([](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        QAction* sortBy = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->menu() && action->text() == "Sort By") {
                sortBy = action;
            }
        }
        ASSERT_NE(sortBy, nullptr);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(sortBy).center());
        OnNextWidget(
            [menu]() -> QWidget* {
                QWidget* active = QApplication::activePopupWidget();
                return active != menu ? active : nullptr;
            },
            [](QWidget* submenuWidget) {
                auto* submenu = qobject_cast<QMenu*>(submenuWidget);
                ASSERT_NE(submenu, nullptr);
                for (QAction* action : submenu->actions()) {
                    if (action->data().toInt() == CommandId::EditSortTitle) {
                        QTest::mouseClick(submenu, Qt::LeftButton, {}, submenu->actionGeometry(action).center());
                    }
                }
            });
    });
    const QPoint position = CellCentre(0, 1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, List().viewport()->mapToGlobal(position));
    QApplication::sendEvent(List().viewport(), &event);
    // Once: ascending, unlike the key order. Twice would have sorted back to descending.
    EXPECT_EQ(Cell(1, 1), "Backup");
    EXPECT_EQ(Cell(29, 1), "Work");
}

// Pictures of the main window and the two dialog modes, written where LOCKMERE_SCREENSHOT_DIR points, so that a
// person can look at them.
TEST_F(MainWindowEntriesTest, ScreenshotsOfTheMainWindowAndTheEntryDialog)
{
    const QString folder = qEnvironmentVariable("LOCKMERE_SCREENSHOT_DIR");
    const auto save = [&folder](const QPixmap& picture, const char* name) {
        EXPECT_FALSE(picture.isNull()) << name;
        if (!folder.isEmpty()) {
            EXPECT_TRUE(picture.save(folder + QLatin1Char('/') + QLatin1String(name)));
        }
    };
    List().SelectRow(3);
    window->UpdateCommandState(true, true);
    QApplication::processEvents();
    save(window->grab(), "main-window.png");

    OnModal([&save](QWidget* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("title"))->setText(QStringLiteral("Online store"));
        dialog->findChild<QLineEdit*>(QStringLiteral("username"))->setText(QStringLiteral("shopper@example.org"));
        QApplication::processEvents();
        save(dialog->grab(), "add-dialog.png");
        static_cast<QDialog*>(dialog)->reject();
    });
    window->OnCommand(CommandId::EditAddEntry);

    OnModal([&save](QWidget* dialog) {
        QApplication::processEvents();
        save(dialog->grab(), "edit-dialog.png");
        static_cast<QDialog*>(dialog)->reject();
    });
    window->OnCommand(CommandId::EditEditEntry);
}

TEST_F(MainWindowEntriesTest, EnterOnASelectedRowOpensTheEditDialog)
{
    List().SelectRow(4);
    List().setFocus();
    QString shownTitle;
    OnModal([&shownTitle](QWidget* dialog) {
        shownTitle = dialog->findChild<QLineEdit*>(QStringLiteral("title"))->text();
        static_cast<QDialog*>(dialog)->reject();
    });
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_EQ(shownTitle, Cell(4, 1));
}

TEST_F(MainWindowEntriesTest, ChoosingAGroupNarrowsTheListAndDisablesSortByGroup)
{
    EXPECT_TRUE(window->MainMenu().Action(CommandId::EditSortGroup)->isEnabled());
    QTreeWidgetItem* network = window->GroupTree()->topLevelItem(0)->child(2);
    ASSERT_EQ(network->text(0), "Network");
    window->GroupTree()->setCurrentItem(network);
    EXPECT_EQ(Model().rowCount(), 6);
    EXPECT_EQ(Model().headerData(0, Qt::Horizontal).toString(), "Title");
    EXPECT_EQ(window->StatusPane(0)->text(), "Network");
    EXPECT_EQ(window->StatusPane(1)->text(), " 6 Item(s)");
    EXPECT_FALSE(window->MainMenu().Action(CommandId::EditSortGroup)->isEnabled());
    EXPECT_FALSE(window->ToolbarAction(CommandId::EditEditEntry)->isEnabled());
}
