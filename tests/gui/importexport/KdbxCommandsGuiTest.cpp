#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include "gui/importexport/OpenWindowFixture.h"
#include "gui/mainwindow/EntryListModel.h"
#include "support/KeePassXcCli.h"

using namespace CommandId;

namespace {
const std::string KdbxPassword = "kdbx pw";
const QString Masked = QString::fromStdU16String(std::u16string(EntryListModel::HiddenText));

template <class Widget> Widget* Child(QWidget* dialog, const char* name)
{
    auto* child = dialog->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class KdbxCommandsGuiTest : public OpenWindowFixture
{
protected:
    // A KeePassXC database made by keepassxc-cli: one entry with a history entry, one in the recycle bin.
    void MakeKdbx()
    {
        KeePassXml xml;
        const std::string bin = xml.NextUuid();
        xml.OpenGroup("Root").OpenGroup("Web");
        xml.AddEntry({{"Title", "Bank"}, {"UserName", "kx"}, {"Password", "kpw"}},
                     "<History><Entry><UUID>" + xml.NextUuid() +
                         "</UUID><String><Key>Title</Key><Value>Bank</Value></String></Entry></History>");
        xml.CloseGroup().OpenGroup("Recycle Bin", bin).AddEntry({{"Title", "Old"}}).CloseGroup().CloseGroup();
        WriteFileBytes(folder / "in.xml", xml.Document("<RecycleBinEnabled>True</RecycleBinEnabled><RecycleBinUUID>" +
                                                       bin + "</RecycleBinUUID>"));
        const ProgramResult made =
            KeePassXcCli({"import", "-q", "-p", "-t", "100", (folder / "in.xml").string(), kdbx.string()},
                         KdbxPassword + "\n" + KdbxPassword + "\n");
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }

    std::filesystem::path kdbx = databaseFolder / "keepassxc.kdbx";
};

TEST_F(KdbxCommandsGuiTest, ImportAsksAgainAfterAWrongPasswordThenPreviewsAndAddsWithOneSave)
{
    MakeKdbx();
    driver.Then(ClickOk()); // the tip
    driver.Then(ExpectFolderAndChoose(databaseFolder, QStringLiteral("*.kdbx"), kdbx));
    driver.Then(TypePassword(QStringLiteral("wrong")));
    driver.Then([](QWidget* dialog) {
        EXPECT_NE(Child<QLineEdit>(dialog, "keyFile"), nullptr);
        TypePassword(QString::fromStdString(KdbxPassword))(dialog);
    });
    driver.Then([](QWidget* dialog) {
        auto* preview = Child<QTableWidget>(dialog, "preview");
        ASSERT_EQ(preview->rowCount(), 1);
        EXPECT_EQ(preview->item(0, 0)->text(), QStringLiteral("Web"));
        EXPECT_EQ(preview->item(0, 3)->text(), Masked);
        EXPECT_EQ(Child<QLabel>(dialog, "counts")->text(),
                  QStringLiteral("The file holds 1 entries. Not imported: 1 history entries, 1 entries in the recycle "
                                 "bin, 0 attachments."));
        ClickOk()(dialog);
    });

    window->OnCommand(FileImportKdbx);

    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(driver.titles[2], QStringLiteral("Open KeePassXC Database"));
    EXPECT_EQ(driver.titles[3], QStringLiteral("Open KeePassXC Database"));
    EXPECT_TRUE(database.Find({ToSecure(u"Web"), ToSecure(u"Bank1")}));
    EXPECT_EQ(EntriesInFile(), 2u);
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::u16string>{u"Invalid password or key file.",
                                           u"Import finished. Added: 0, renamed: 1. Not imported: 1 history entries, "
                                           u"1 entries in the recycle bin, 0 attachments."}));
}

TEST_F(KdbxCommandsGuiTest, AFileThatIsNoKeePassDatabaseIsRefusedBeforeAnyPassword)
{
    WriteFileBytes(csv, "\"Group\",\"Title\"\n");
    driver.Then(ClickOk());
    driver.Then(ChooseFile(csv.string()));

    window->OnCommand(FileImportKdbx);

    EXPECT_EQ(driver.titles.size(), 2u);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{Utf8ToUtf16(csv.string()) +
                                          u": The file cannot be imported: it is not a KeePass database (.kdbx)."});
    EXPECT_EQ(EntriesInFile(), 1u);
}

TEST_F(KdbxCommandsGuiTest, ExportWritesAFileKeePassXcOpensUnderTheNewPassword)
{
    const auto target = databaseFolder / "out.kdbx";
    driver.Then(ExpectProposalAndChoose(QStringLiteral("lockmere.kdbx"), target.string()));
    driver.Then(TypePasswords(QStringLiteral("new"), QStringLiteral("new")));

    window->OnCommand(FileExportKdbx);

    ASSERT_FALSE(HasFailure());
    const std::vector<KeePassXcRecord> records = KeePassXcCsv(target, "new");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][0], "lockmere/Web");
    EXPECT_EQ(records[0][3], "pw");
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"The KeePassXC database is created: " + Utf8ToUtf16(target.string())});
}
} // namespace
