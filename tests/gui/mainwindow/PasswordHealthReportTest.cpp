#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "gui/DatabaseWindowFixture.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"

namespace {
// Each row of the report: finding, group, title, user name and the strength word's first word.
std::vector<QStringList> Rows(QWidget* report)
{
    std::vector<QStringList> rows;
    auto* tree = report->findChild<QTreeWidget*>(QStringLiteral("findings"));
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = tree->topLevelItem(row);
        rows.push_back({item->text(0), item->text(1), item->text(2), item->text(3), item->text(4).section(' ', 0, 0)});
    }
    return rows;
}

void DoubleClickRow(QWidget* report, int row)
{
    auto* tree = report->findChild<QTreeWidget*>(QStringLiteral("findings"));
    const QPoint centre = tree->visualItemRect(tree->topLevelItem(row)).center();
    // A double click follows a first click, which marks the row the second one must land on.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}
} // namespace

class PasswordHealthReportTest : public DatabaseWindowFixture
{
protected:
    void SetUp() override
    {
        WriteDatabaseFile(path,
                          {MakeEntry(u"Mail", u"Gmail", u"ann"), MakeEntry(u"Home", u"Router", u"admin", u"password"),
                           MakeEntry(u"Web", u"Shop", u"bob", u"Hx7!pQ2zR9@kL4mN"),
                           MakeEntry(u"Web", u"Forum", u"bob", u"Hx7!pQ2zR9@kL4mN"),
                           MakeEntry(u"Bank", u"Main", u"ann", u"Zk8#qLm2$vTx9&Wp")});
        options.LastPath = path.u16string();
        window = std::make_unique<CDlgMain>(database, options, texts, u"");
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::filesystem::path path = folder / "lockmere.ldb";
    std::unique_ptr<CDlgMain> window;
};

TEST_F(PasswordHealthReportTest, ListsTheFindingsAndADoubleClickEditsTheEntryAndRefreshesTheReport)
{
    QAction* item = window->MainMenu().Action(CommandId::EditPasswordHealth);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Password Health");
    EXPECT_FALSE(item->isEnabled());
    driver.Then(TypePassword(QStringLiteral("pw")));
    ASSERT_TRUE(window->Session().OpenWithPassword(path));
    window->UpdateCommandState(false, true);
    EXPECT_TRUE(item->isEnabled());

    const std::vector<QStringList> before = {
        // "pw" falls to an offline attack on the file at once; the row names no entry.
        {"Weak master password: less than a second", "", "(the master password)", "", "Very"},
        {"Empty password", "Mail", "Gmail", "ann", "Very"},
        {"Weak password", "Home", "Router", "admin", "Very"},
        {"Reused password (entries: 2)", "Web", "Forum", "bob", "Strong"},
        {"Reused password (entries: 2)", "Web", "Shop", "bob", "Strong"},
    };
    std::vector<QStringList> shown, refreshed;
    QString editedTitle;
    driver.Then([&](QWidget* report) {
        shown = Rows(report);
        // The master password's row has no entry to open.
        DoubleClickRow(report, 0);
        DoubleClickRow(report, 2);
        refreshed = Rows(report);
        static_cast<QDialog*>(report)->reject();
    });
    driver.Then([&](QWidget* edit) {
        editedTitle = edit->findChild<QLineEdit*>(QStringLiteral("title"))->text();
        for (const char* field : {"password", "repeat"}) {
            edit->findChild<QLineEdit*>(QLatin1String(field))->setText(QStringLiteral("Qm4$Tz9!wLx2#Rv7"));
        }
        ClickOk()(edit);
    });
    window->OnCommand(CommandId::EditPasswordHealth);

    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(shown, before);
    EXPECT_EQ(editedTitle, "Router");
    EXPECT_EQ(refreshed, (std::vector<QStringList>{before[0], before[1], before[3], before[4]}));
    CDataBase saved(messages, texts);
    ASSERT_EQ(ReadDatabase(saved, path, ToSecure(u"pw")), 1);
    EXPECT_EQ(saved.Find({ToSecure(u"Home"), ToSecure(u"Router")})->password, ToSecure(u"Qm4$Tz9!wLx2#Rv7"));
}
