#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include "gui/mainwindow/EntryViewsFixture.h"

namespace {
const QString Stars = QStringLiteral("**********");

QStringList AllHeaders()
{
    return {"Group", "Title", "Username", "Password", "URL/Path", "Notes"};
}
} // namespace

class GroupTreeTest : public EntryViewsFixture
{};

TEST_F(GroupTreeTest, RootIsGeneralWithOneChildPerDistinctGroupInKeyOrder)
{
    AddEntries(database, {MakeEntry(u"Web", u"Shop"), MakeEntry(u"Mail", u"b"), MakeEntry(u"Mail", u"A"),
                          MakeEntry(u"", u"x"), MakeEntry(u"Web", u"Bank")});
    Fill();
    ASSERT_EQ(Tree().topLevelItemCount(), 1);
    EXPECT_EQ(Tree().topLevelItem(0)->text(0), "General");
    EXPECT_TRUE(Tree().topLevelItem(0)->isExpanded());
    EXPECT_EQ(TreeGroups(), QStringList({"", "Mail", "Web"}));
    EXPECT_EQ(Tree().currentItem(), Tree().topLevelItem(0));
}

TEST_F(GroupTreeTest, GroupsDifferingOnlyInCaseAreTwoChildrenWithSeparateLists)
{
    AddEntries(database, {MakeEntry(u"Mail", u"a"), MakeEntry(u"mail", u"b"), MakeEntry(u"mail", u"c")});
    Fill();
    EXPECT_EQ(TreeGroups(), QStringList({"Mail", "mail"}));
    SelectGroup("Mail");
    EXPECT_EQ(ColumnTexts(0), QStringList({"a"}));
    SelectGroup("mail");
    EXPECT_EQ(ColumnTexts(0), QStringList({"b", "c"}));
}

TEST_F(GroupTreeTest, SelectingAGroupListsItsEntriesWithoutTheGroupColumn)
{
    AddEntries(database, {MakeEntry(u"Mail", u"a"), MakeEntry(u"Web", u"b"), MakeEntry(u"Web", u"c")});
    Fill();
    SelectGroup("Web");
    EXPECT_EQ(Headers(), QStringList({"Title", "Username", "Password", "URL/Path", "Notes"}));
    EXPECT_EQ(ColumnTexts(0), QStringList({"b", "c"}));
    EXPECT_EQ(groupPane.text(), "Web");
    EXPECT_EQ(countPane.text(), " 2 Item(s)");
    SelectRoot();
    EXPECT_EQ(Headers(), AllHeaders());
    EXPECT_EQ(Model().rowCount(), 3);
    EXPECT_EQ(groupPane.text(), "General");
}

TEST_F(GroupTreeTest, RebuildKeepsTheSelectedGroupWhileItStillHasEntries)
{
    AddEntries(database, {MakeEntry(u"Mail", u"a"), MakeEntry(u"Web", u"b")});
    Fill();
    SelectGroup("Web");
    AddEntries(database, {MakeEntry(u"Web", u"c"), MakeEntry(u"Apps", u"d")});
    views->FillViews(true);
    ASSERT_NE(Tree().currentItem(), nullptr);
    EXPECT_EQ(Tree().currentItem()->text(0), "Web");
    EXPECT_EQ(TreeGroups(), QStringList({"Apps", "Mail", "Web"}));
    EXPECT_EQ(ColumnTexts(0), QStringList({"b", "c"}));
}

TEST_F(GroupTreeTest, RebuildWhenTheRememberedGroupHasGoneListsAllEntriesWithTheGroupColumn)
{
    AddEntries(database, {MakeEntry(u"Mail", u"a"), MakeEntry(u"Web", u"b")});
    Fill();
    SelectGroup("Web");
    ASSERT_EQ(Headers().first(), "Title");
    database.Remove({ToSecure(u"Web"), ToSecure(u"b")});
    views->FillViews(true);
    EXPECT_EQ(TreeGroups(), QStringList({"Mail"}));
    EXPECT_EQ(Tree().currentItem(), Tree().topLevelItem(0));
    EXPECT_FALSE(views->SelectedGroup());
    EXPECT_EQ(Headers(), AllHeaders());
    EXPECT_EQ(ColumnTexts(0), QStringList({"Mail"}));
    EXPECT_EQ(groupPane.text(), "General");
}

TEST_F(GroupTreeTest, WithTheTreeOffTheGroupColumnAlwaysShowsAndNoGroupNarrowsTheList)
{
    AddEntries(database, {MakeEntry(u"Mail", u"a"), MakeEntry(u"Web", u"b")});
    Fill();
    SelectGroup("Web");
    options.fGroupsTree = false;
    views->RebuildColumns();
    views->FillViews(true);
    EXPECT_FALSE(views->SelectedGroup());
    EXPECT_EQ(Headers(), AllHeaders());
    EXPECT_EQ(Model().rowCount(), 2);
    EXPECT_EQ(groupPane.text(), "General");
}

class EntryListTest : public EntryViewsFixture
{};

TEST_F(EntryListTest, RowsFollowKeyOrderWithTheShownFieldsInTheirColumns)
{
    AddEntries(database, {MakeEntry(u"Mail", u"b", u"bob", u"pw2", u"mail.example", u"n2"),
                          MakeEntry(u"Mail", u"A", u"al", u"pw1", u"a.example", u"n1"), MakeEntry(u"", u"x"),
                          MakeEntry(u"mail", u"a")});
    options.fHidePass = false;
    Fill();
    EXPECT_EQ(Headers(), AllHeaders());
    EXPECT_EQ(ColumnTexts(0), QStringList({"", "Mail", "Mail", "mail"}));
    EXPECT_EQ(ColumnTexts(1), QStringList({"x", "A", "b", "a"}));
    EXPECT_EQ(ColumnTexts(2)[2], "bob");
    EXPECT_EQ(ColumnTexts(3)[2], "pw2");
    EXPECT_EQ(ColumnTexts(4)[2], "mail.example");
    EXPECT_EQ(ColumnTexts(5)[2], "n2");
}

TEST_F(EntryListTest, ColumnFlagsChooseTheOptionalColumnsInTheirFixedOrder)
{
    AddEntries(database, {MakeEntry(u"G", u"T", u"user", u"pass", u"url", u"notes")});
    options.fHidePass = false;
    options.fColumn0 = false;
    options.fColumn2 = false;
    Fill();
    EXPECT_EQ(Headers(), QStringList({"Group", "Title", "Password", "Notes"}));
    EXPECT_EQ(Cell(0, 2), "pass");
    EXPECT_EQ(Cell(0, 3), "notes");
    EXPECT_EQ(Model().ColumnOf(EntryField::Url), -1);
}

TEST_F(EntryListTest, HiddenUserNamesAndPasswordsShowTenAsterisksAndStayStored)
{
    AddEntries(database, {MakeEntry(u"G", u"T", u"user", u"secret")});
    options.fHideUser = true;
    options.fHidePass = true;
    Fill();
    EXPECT_EQ(Cell(0, 2), Stars);
    EXPECT_EQ(Cell(0, 3), Stars);
    EXPECT_EQ(database.Find({ToSecure(u"G"), ToSecure(u"T")})->password, ToSecure(u"secret"));
    options.fHideUser = false;
    views->FillViews(false);
    EXPECT_EQ(Cell(0, 2), "user");
    EXPECT_EQ(Cell(0, 3), Stars);
}

TEST_F(EntryListTest, CountPaneShowsBlankNumberBlankItems)
{
    for (int number = 0; number < 12; ++number) {
        const std::u16string title = u"t" + std::u16string(1, static_cast<char16_t>(u'a' + number));
        AddEntries(database, {MakeEntry(u"G", title)});
    }
    Fill();
    EXPECT_EQ(countPane.text(), " 12 Item(s)");
    EXPECT_EQ(groupPane.text(), "General");
}

TEST_F(EntryListTest, ClearViewsEmptiesTreeListColumnsAndPanes)
{
    AddEntries(database, {MakeEntry(u"G", u"T")});
    Fill();
    views->ClearViews();
    EXPECT_EQ(Tree().topLevelItemCount(), 0);
    EXPECT_EQ(Model().rowCount(), 0);
    EXPECT_EQ(Model().columnCount(), 0);
    EXPECT_TRUE(groupPane.text().isEmpty());
    EXPECT_TRUE(countPane.text().isEmpty());
}

class CurrentEntryTest : public EntryViewsFixture
{};

TEST_F(CurrentEntryTest, NoSelectionMeansNoCurrentEntry)
{
    AddEntries(database, {MakeEntry(u"G", u"T")});
    Fill();
    EXPECT_FALSE(views->CurrentKey());
    EXPECT_FALSE(views->CurrentEntry());
}

TEST_F(CurrentEntryTest, RootSelectedReadsGroupAndTitleOfTheSelectedRow)
{
    AddEntries(database, {MakeEntry(u"A", u"one", u"u1"), MakeEntry(u"B", u"two", u"u2")});
    Fill();
    List().SelectRow(1);
    const auto entry = views->CurrentEntry();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->group, ToSecure(u"B"));
    EXPECT_EQ(entry->title, ToSecure(u"two"));
    EXPECT_EQ(entry->username, ToSecure(u"u2"));
}

TEST_F(CurrentEntryTest, GroupSelectedTakesTheGroupFromTheTree)
{
    AddEntries(database, {MakeEntry(u"A", u"same", u"inA"), MakeEntry(u"B", u"same", u"inB")});
    Fill();
    SelectGroup("B");
    List().SelectRow(0);
    const auto entry = views->CurrentEntry();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->username, ToSecure(u"inB"));
}

TEST_F(CurrentEntryTest, SelectionFollowsItsRowThroughASort)
{
    AddEntries(database, {MakeEntry(u"G", u"a"), MakeEntry(u"G", u"b"), MakeEntry(u"G", u"c")});
    Fill();
    List().SelectRow(0);
    views->Sort(EntryField::Title);
    views->Sort(EntryField::Title);
    EXPECT_EQ(ColumnTexts(1), QStringList({"c", "b", "a"}));
    EXPECT_EQ(CurrentTitle(), "a");
    EXPECT_EQ(List().SelectedRow(), 2);
}

TEST_F(CurrentEntryTest, AFillResetsTheSelectionMark)
{
    AddEntries(database, {MakeEntry(u"G", u"a")});
    Fill();
    List().SelectRow(0);
    views->FillViews(true);
    EXPECT_EQ(List().SelectedRow(), -1);
}

class SortTest : public EntryViewsFixture
{
protected:
    void SetUp() override
    {
        options.fHidePass = false;
        AddEntries(database, {MakeEntry(u"b", u"Zed", u"u3", u"p1"), MakeEntry(u"a", u"apple", u"u1", u"p3"),
                              MakeEntry(u"B", u"mid", u"u2", u"p2")});
        Fill();
    }
};

TEST_F(SortTest, TheFirstGroupSortIsDescendingBecauseTheFillIsAlreadyByGroup)
{
    EXPECT_EQ(ColumnTexts(0), QStringList({"B", "a", "b"}));
    views->Sort(EntryField::Group);
    EXPECT_EQ(ColumnTexts(0), QStringList({"b", "a", "B"}));
    views->Sort(EntryField::Group);
    EXPECT_EQ(ColumnTexts(0), QStringList({"B", "a", "b"}));
}

TEST_F(SortTest, TheHeaderArrowShowsTheSortedColumnAndItsDirectionUntilTheNextFill)
{
    QHeaderView* header = views->List()->horizontalHeader();
    EXPECT_FALSE(header->isSortIndicatorShown());
    const struct
    {
        EntryField field;
        int column;
        Qt::SortOrder order;
    } sorts[] = {
        {EntryField::Title, 1, Qt::AscendingOrder},
        {EntryField::Title, 1, Qt::DescendingOrder},
        // Another field's sort cleared Group's memory, so it sorts ascending first.
        {EntryField::Group, 0, Qt::AscendingOrder},
        {EntryField::Password, 3, Qt::AscendingOrder},
    };
    for (const auto& sort : sorts) {
        views->Sort(sort.field);
        EXPECT_TRUE(header->isSortIndicatorShown());
        EXPECT_EQ(header->sortIndicatorSection(), sort.column);
        EXPECT_EQ(header->sortIndicatorOrder(), sort.order);
    }
    // A fill lists the entries in key order again, which no arrow stands for.
    Fill();
    EXPECT_FALSE(header->isSortIndicatorShown());
}

TEST_F(SortTest, OtherFieldsSortAscendingFirstThenAlternate)
{
    views->Sort(EntryField::Title);
    EXPECT_EQ(ColumnTexts(1), QStringList({"Zed", "apple", "mid"}));
    views->Sort(EntryField::Title);
    EXPECT_EQ(ColumnTexts(1), QStringList({"mid", "apple", "Zed"}));
    views->Sort(EntryField::Title);
    EXPECT_EQ(ColumnTexts(1), QStringList({"Zed", "apple", "mid"}));
}

TEST_F(SortTest, ASortClearsTheOtherFieldsMemory)
{
    views->Sort(EntryField::Password);
    EXPECT_EQ(ColumnTexts(3), QStringList({"p1", "p2", "p3"}));
    EXPECT_TRUE(views->sortToggle[static_cast<int>(EntryField::Password)]);
    EXPECT_FALSE(views->sortToggle[static_cast<int>(EntryField::Group)]);
    // Group's flag was cleared, so Group now sorts ascending first.
    views->Sort(EntryField::Group);
    EXPECT_EQ(ColumnTexts(0), QStringList({"B", "a", "b"}));
    views->Sort(EntryField::Password);
    EXPECT_EQ(ColumnTexts(3), QStringList({"p1", "p2", "p3"}));
}

TEST_F(SortTest, CapitalsSortBeforeSmallLetters)
{
    views->Sort(EntryField::Username);
    EXPECT_EQ(ColumnTexts(2), QStringList({"u1", "u2", "u3"}));
    views->Sort(EntryField::Title);
    EXPECT_EQ(ColumnTexts(1).first(), "Zed");
}

TEST_F(SortTest, AFillResetsTheSorting)
{
    views->Sort(EntryField::Title);
    views->FillViews(false);
    EXPECT_EQ(ColumnTexts(0), QStringList({"B", "a", "b"}));
}

TEST_F(SortTest, SortingByGroupDoesNothingWhileAGroupIsSelected)
{
    SelectGroup("a");
    views->Sort(EntryField::Group);
    EXPECT_TRUE(views->sortToggle[static_cast<int>(EntryField::Group)]);
    EXPECT_EQ(ColumnTexts(0), QStringList({"apple"}));
}

TEST_F(SortTest, HeaderClicksMapColumnsBackToFields)
{
    Show();
    QHeaderView* header = List().header();
    const auto clickColumn = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    };
    clickColumn(1);
    EXPECT_EQ(ColumnTexts(1), QStringList({"Zed", "apple", "mid"}));
    clickColumn(1);
    EXPECT_EQ(ColumnTexts(1), QStringList({"mid", "apple", "Zed"}));
    SelectGroup("b");
    AddEntries(database, {MakeEntry(u"b", u"Alpha")});
    views->FillViews(true);
    // With a group selected the Title column is column 0.
    EXPECT_EQ(views->FieldOfColumn(0), EntryField::Title);
    clickColumn(0);
    EXPECT_EQ(ColumnTexts(0), QStringList({"Alpha", "Zed"}));
    clickColumn(0);
    EXPECT_EQ(ColumnTexts(0), QStringList({"Zed", "Alpha"}));
}

TEST_F(SortTest, HiddenUserNamesCompareEqualSoTheSortKeepsAllRowsAndAlternates)
{
    options.fHideUser = true;
    views->FillViews(false);
    views->Sort(EntryField::Username);
    EXPECT_EQ(ColumnTexts(2), QStringList({Stars, Stars, Stars}));
    EXPECT_EQ(Model().rowCount(), 3);
    EXPECT_TRUE(views->sortToggle[static_cast<int>(EntryField::Username)]);
    views->Sort(EntryField::Username);
    EXPECT_FALSE(views->sortToggle[static_cast<int>(EntryField::Username)]);
}

class ListInteractionTest : public EntryViewsFixture
{
protected:
    void SetUp() override
    {
        AddEntries(database,
                   {MakeEntry(u"Mail", u"Inbox", u"alice", u"s3cr3t!", u"https://mail.example", u"first\nsecond"),
                    MakeEntry(u"Web", u"Shop", u"bob", u"hunter2")});
        options.fHideUser = true;
        options.fHidePass = true;
        Fill();
        Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QPoint CellCentre(int row, int column) { return List().visualRect(Model().index(row, column)).center(); }
};

TEST_F(ListInteractionTest, DragCarriesTheRealPasswordWhileTheListShowsAsterisks)
{
    EXPECT_EQ(Cell(0, 3), Stars);
    std::unique_ptr<QMimeData> data(List().DragData(CellCentre(0, 3)));
    ASSERT_TRUE(data->hasText());
    EXPECT_EQ(data->text(), "s3cr3t!");
    EXPECT_TRUE(data->hasFormat("text/plain"));
}

TEST_F(ListInteractionTest, DragCarriesTheCellsOwnFieldOfThePressedRowNotTheSelectedOne)
{
    List().SelectRow(0);
    std::unique_ptr<QMimeData> user(List().DragData(CellCentre(1, 2)));
    EXPECT_EQ(user->text(), "bob");
    std::unique_ptr<QMimeData> group(List().DragData(CellCentre(1, 0)));
    EXPECT_EQ(group->text(), "Web");
    std::unique_ptr<QMimeData> notes(List().DragData(CellCentre(0, 5)));
    EXPECT_EQ(notes->text(), "first\nsecond");
}

TEST_F(ListInteractionTest, DragBesideTheRowsCarriesEmptyText)
{
    std::unique_ptr<QMimeData> data(List().DragData(QPoint(5, List().viewport()->height() - 5)));
    EXPECT_TRUE(data->text().isEmpty());
}

TEST_F(ListInteractionTest, TheModelOffersOnlyCopy)
{
    EXPECT_EQ(Model().supportedDragActions(), Qt::CopyAction);
    EXPECT_TRUE(Model().flags(Model().index(0, 3)).testFlag(Qt::ItemIsDragEnabled));
}

TEST_F(ListInteractionTest, ClickingARowSelectsItAndClickingEmptySpaceLeavesNone)
{
    QSignalSpy changes(views, &EntryViews::selectionChanged);
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, CellCentre(1, 1));
    EXPECT_EQ(CurrentTitle(), "Shop");
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_TRUE(changes.last().at(0).toBool());
    QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, QPoint(5, List().viewport()->height() - 5));
    EXPECT_FALSE(views->CurrentKey());
    EXPECT_FALSE(changes.last().at(0).toBool());
}

TEST_F(ListInteractionTest, DoubleClickSelectsTheRowAndAsksForEdit)
{
    QSignalSpy edits(views, &EntryViews::editRequested);
    QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, CellCentre(1, 1));
    EXPECT_EQ(edits.count(), 1);
    EXPECT_EQ(CurrentTitle(), "Shop");
}

TEST_F(ListInteractionTest, EnterAsksForEditOnlyWithASelectedRow)
{
    QSignalSpy edits(views, &EntryViews::editRequested);
    List().setFocus();
    QTest::keyClick(&List(), Qt::Key_Return);
    EXPECT_EQ(edits.count(), 0);
    List().SelectRow(0);
    QTest::keyClick(&List(), Qt::Key_Return);
    QTest::keyClick(&List(), Qt::Key_Enter);
    EXPECT_EQ(edits.count(), 2);
}

TEST_F(ListInteractionTest, RightClickAsksForTheContextMenuAtTheCursor)
{
    QSignalSpy menus(views, &EntryViews::contextMenuRequested);
    const QPoint position = CellCentre(0, 1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, List().viewport()->mapToGlobal(position));
    QApplication::sendEvent(List().viewport(), &event);
    ASSERT_EQ(menus.count(), 1);
    EXPECT_EQ(menus.first().at(0).toPoint(), List().viewport()->mapToGlobal(position));
}

TEST_F(EntryListTest, LineBreaksOfTheNotesShowAsBlanksInTheirCell)
{
    AddEntries(database, {MakeEntry(u"G", u"T", u"", u"", u"", u"first\r\nsecond")});
    Fill();
    EXPECT_EQ(Cell(0, 5), "first  second");
}
