#include <QAction>
#include <QApplication>
#include <QMenuBar>

#include "core/settings/BuiltinTexts.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/Shortcuts.h"
#include "gui/mainwindow/ShownWindowFixture.h"

using namespace CommandId;

namespace {
class ShortcutsTest : public ShownWindowFixture
{
protected:
    // Presses the keys in the widget and gives the commands they ran through the menu.
    std::vector<int> Press(QWidget* widget, QKeySequence keys)
    {
        Activate();
        widget->setFocus();
        std::vector<int> commands;
        const auto connection = QObject::connect(window->menuBar(), &QMenuBar::triggered,
                                                 [&](QAction* action) { commands.push_back(action->data().toInt()); });
        QTest::keySequence(widget, keys);
        QTest::qWait(10); // form filling starts once the keys are handled
        QObject::disconnect(connection);
        return commands;
    }
};

TEST_F(ShortcutsTest, EveryShortcutIsShownInTheMenuAndRunsItsCommand)
{
    UrlCatcher urls;
    EXPECT_TRUE(Press(&List(), QKeySequence(QStringLiteral("Ctrl+F"))).empty());
    EXPECT_EQ(QApplication::focusWidget(), &Search());
    const std::vector<std::pair<int, QKeySequence>> table = {
        {FileOpen, QKeySequence(QStringLiteral("Ctrl+O"))},
        {FileNew, QKeySequence(QStringLiteral("Ctrl+Shift+N"))},
        {EditAddEntry, QKeySequence(QStringLiteral("Ctrl+N"))},
        {EditEditEntry, QKeySequence(QStringLiteral("Ctrl+E"))},
        {EditDeleteEntry, QKeySequence(QStringLiteral("Del"))},
        {EditCopyUser, QKeySequence(QStringLiteral("Ctrl+B"))},
        {EditCopyPassword, QKeySequence(QStringLiteral("Ctrl+C"))},
        {EditCopyUrl, QKeySequence(QStringLiteral("Ctrl+U"))},
        {EditOpenUrl, QKeySequence(QStringLiteral("Ctrl+Shift+U"))},
        {EditAutoLogin, QKeySequence(QStringLiteral("Ctrl+Shift+V"))},
        {FileLock, QKeySequence(QStringLiteral("Ctrl+L"))}, // last: it locks
    };
    for (const auto& [command, keys] : table) {
        SCOPED_TRACE(keys.toString().toStdString());
        EXPECT_EQ(window->MainMenu().Action(command)->shortcut(), keys);
        List().SelectRow(1); // an entry with a URL
        EXPECT_EQ(Press(&List(), keys), std::vector<int>{command});
    }
    // Open and New ask first, Add and Edit show the entry, Delete asks; the test cancels them all.
    EXPECT_EQ(driver.titles, (std::vector<QString>{
                                 QStringLiteral("unexpected: Lockmere"), QStringLiteral("unexpected: Lockmere"),
                                 QStringLiteral("unexpected: Add Entry"), QStringLiteral("unexpected: Edit/View Entry"),
                                 QStringLiteral("unexpected: Lockmere")}));
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{std::u16string(BuiltinText(TextId::FormFillingNeedsX11))});
    EXPECT_EQ(database.Size(), 0u); // locked
    EXPECT_EQ(urls.opened.size(), 1u);
}

TEST_F(ShortcutsTest, EditingKeysInTheSearchFieldActOnItsText)
{
    Search().setFocus();
    Search().setText(QStringLiteral("mail"));
    Search().selectAll();
    const std::vector<std::pair<QKeySequence, QString>> table = {
        {QKeySequence(QStringLiteral("Ctrl+C")), QStringLiteral("mail")},
        {QKeySequence(QStringLiteral("Del")), QString()},
        {QKeySequence(QStringLiteral("Ctrl+V")), QStringLiteral("mail")}, // what Ctrl+C copied
    };
    for (const auto& [keys, text] : table) {
        SCOPED_TRACE(keys.toString().toStdString());
        EXPECT_TRUE(Press(&Search(), keys).empty());
        EXPECT_EQ(Search().text(), text);
    }
    EXPECT_FALSE(desktop.clipboard->held);
    EXPECT_EQ(database.Size(), 4u);
}

TEST_F(ShortcutsTest, EntryShortcutsNeedACurrentEntryAndAutoLoginItsMenuItem)
{
    for (const char* keys : {"Ctrl+E", "Del", "Ctrl+C", "Ctrl+U"}) {
        EXPECT_TRUE(Press(&List(), QKeySequence(QString::fromLatin1(keys))).empty()) << keys;
    }
    List().SelectRow(0);
    for (const bool inserted : {false, true}) {
        SCOPED_TRACE(inserted);
        options.fAutoLoginMenuEdit = inserted;
        window->ApplyTexts();
        window->UpdateCommandState(true, true);
        EXPECT_EQ(Press(&List(), QKeySequence(QStringLiteral("Ctrl+Shift+V"))),
                  inserted ? std::vector<int>{EditAutoLogin} : std::vector<int>{});
    }
}
} // namespace
