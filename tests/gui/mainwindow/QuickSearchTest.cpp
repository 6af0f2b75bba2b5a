#include <QLabel>

#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/ShownWindowFixture.h"

using namespace CommandId;

namespace {
using QuickSearchTest = ShownWindowFixture;

TEST_F(QuickSearchTest, ListsMatchesOfEveryGroupIgnoringCaseButNeverByPassword)
{
    SelectGroup(QStringLiteral("Bank"));
    const std::vector<std::pair<QString, QStringList>> cases = {
        {QStringLiteral("IN"), {QStringLiteral("Girokonto"), QStringLiteral("Роутер")}}, // notes, user name
        {QStringLiteral("ärger"), {QStringLiteral("Girokonto")}},
        {QStringLiteral("РОУТЕР"), {QStringLiteral("Роутер")}},
        {QStringLiteral("geheim"), {}}, // a password
    };
    for (const auto& [term, titles] : cases) {
        SCOPED_TRACE(term.toStdString());
        Search().setText(term);
        EXPECT_EQ(ListedTitles(), titles);
        EXPECT_EQ(TreeSelection(), QStringLiteral("General"));
        EXPECT_EQ(window->StatusPane(0)->text(), QStringLiteral("General"));
    }
}

TEST_F(QuickSearchTest, EmptyingTheFieldBringsBackGroupSortAndCurrentEntry)
{
    SelectGroup(QStringLiteral("Mail"));
    window->OnCommand(EditSortTitle);
    window->OnCommand(EditSortTitle); // the second sort by title runs descending
    ASSERT_EQ(ListedTitles(), (QStringList{QStringLiteral("Work"), QStringLiteral("Privat")}));

    Search().setFocus();
    QTest::keyClicks(&Search(), QStringLiteral("a"));
    EXPECT_EQ(ListedTitles().size(), 4);
    List().SelectRow(static_cast<int>(ListedTitles().indexOf(QStringLiteral("Privat"))));
    QTest::keyClick(&Search(), Qt::Key_Escape);

    EXPECT_TRUE(Search().text().isEmpty());
    EXPECT_EQ(TreeSelection(), QStringLiteral("Mail"));
    EXPECT_EQ(ListedTitles(), (QStringList{QStringLiteral("Work"), QStringLiteral("Privat")}));
    EXPECT_EQ(window->Views().CurrentKey()->title, ToSecure(u"Privat"));
    window->OnCommand(EditSortTitle); // the direction memory is back as well
    EXPECT_EQ(ListedTitles(), (QStringList{QStringLiteral("Privat"), QStringLiteral("Work")}));
}

TEST_F(QuickSearchTest, EscapeEmptiesOnlyAFieldWithTextAndOtherwiseEndsTheProgram)
{
    const std::vector<std::tuple<const char*, QString, bool, bool>> cases = {
        // what the field holds, whether it has the keyboard (else the list has it), whether the program ends
        {"text in the field", QStringLiteral("mail"), true, false},
        {"empty field", QString(), true, true},
        {"in the list while searching", QStringLiteral("mail"), false, true},
    };
    int ended = 0;
    QObject::connect(window.get(), &CDlgMain::Ended, [&ended] { ++ended; });
    for (const auto& [name, text, inField, ends] : cases) {
        SCOPED_TRACE(name);
        Activate();
        Search().setText(text);
        QWidget* focus = inField ? static_cast<QWidget*>(&Search()) : &List();
        focus->setFocus();
        const int endedBefore = ended;
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_EQ(ended - endedBefore, ends ? 1 : 0);
        EXPECT_EQ(Search().text(), inField ? QString() : text);
    }
}

TEST_F(QuickSearchTest, CommandsActOnTheMatchesAndChangesAreSearchedAtOnce)
{
    options.fRequestDelete = false;
    Activate();
    Search().setFocus(); // folds the entries' text ahead of the first key
    List().SelectRow(2);
    ASSERT_EQ(window->Views().CurrentKey()->title, ToSecure(u"Work"));
    window->OnCommand(EditDeleteEntry);

    Search().setText(QStringLiteral("mail"));
    EXPECT_EQ(ListedTitles(), QStringList{QStringLiteral("Privat")});
    QTest::keyClick(&Search(), Qt::Key_Down);
    ASSERT_EQ(window->Views().CurrentKey()->title, ToSecure(u"Privat"));
    window->OnCommand(EditCopyPassword);
    EXPECT_EQ(desktop.clipboard->held, ToSecure(u"x1"));
    window->OnCommand(EditDeleteEntry);
    EXPECT_EQ(database.Size(), 2u);
    EXPECT_TRUE(ListedTitles().isEmpty());
    EXPECT_EQ(Search().text(), QStringLiteral("mail"));
}

TEST_F(QuickSearchTest, ChoosingAGroupOrClosingTheDatabaseDropsTheSearch)
{
    Search().setText(QStringLiteral("mail"));
    SelectGroup(QStringLiteral("Bank"));
    EXPECT_TRUE(Search().text().isEmpty());
    EXPECT_EQ(ListedTitles(), QStringList{QStringLiteral("Girokonto")});

    Search().setText(QStringLiteral("mail"));
    window->OnCommand(FileClose);
    EXPECT_TRUE(Search().text().isEmpty());
    EXPECT_FALSE(Search().isEnabled());
}
} // namespace
