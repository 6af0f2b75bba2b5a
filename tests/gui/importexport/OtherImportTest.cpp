#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "gui/importexport/OpenWindowFixture.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryViews.h"

using namespace CommandId;

namespace {
const std::string KeePassXcExport = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\r\n"
                                    "\"Root\",\"Mail\",\"ann\",\"pw1\",\"https://mail.example\",\"first\r\nsecond\"\r\n"
                                    "\"Web\",\"Bank\",\"bob\",\"\",\"\",\"\"\r\n"
                                    "\"Root\",\"C\",\"c\",\"p\",\"\",\"\"\r\n"
                                    "\"Root\",\"D\",\"d\",\"p\",\"\",\"\"\r\n"
                                    "\"Root\",\"E\",\"e\",\"p\",\"\",\"\"\r\n"
                                    "\"Root\",\"F\",\"f\",\"p\",\"\",\"\"\r\n";
const std::string BitwardenExport =
    "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp\n"
    "Web,,login,Shop,,,,https://shop.example,ann,pw,\n"
    ",,card,Visa,,,,,,,\n"
    ",,note,Memo,hello,,,,,,\n";
// Both logins are on one host, which names them when the file is read as Firefox's.
const std::string ChromeExport = "name,url,username,password,note\n"
                                 "Bank,https://bank.example/login,ann,pw,hi\n"
                                 "Bank2,https://bank.example/other,bob,pw,\n";
const QString Masked = QString::fromStdU16String(std::u16string(EntryListModel::HiddenText));
const QString Caption = QStringLiteral("Import From Other Password Manager");

template <class Widget> Widget* Child(QWidget* dialog, const char* name)
{
    auto* child = dialog->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QStringList Row(QWidget* dialog, int row)
{
    auto* table = Child<QTableWidget>(dialog, "preview");
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem* item = table->item(row, column);
        cells.append(item ? item->text() : QString());
    }
    return cells;
}

bool OkEnabled(QWidget* dialog)
{
    return Child<QPushButton>(dialog, "ok")->isEnabled();
}

void ChooseFormat(QWidget* dialog, const QString& name)
{
    auto* format = Child<QComboBox>(dialog, "format");
    format->setCurrentIndex(format->findText(name));
}

class OtherImportTest : public OpenWindowFixture
{
protected:
    // Runs the command up to the preview, which `inDialog` inspects and closes.
    void RunImport(const std::string& exported, ModalDriver::Step inDialog)
    {
        WriteFileBytes(csv, exported);
        driver.Then(ClickOk()); // the tip
        driver.Then(ExpectFolderAndChoose(databaseFolder, QStringLiteral("*.csv"), csv));
        driver.Then(std::move(inDialog));
        window->OnCommand(FileImportOther);
        ASSERT_FALSE(HasFailure());
        ASSERT_GE(driver.titles.size(), 3u);
        EXPECT_EQ(driver.titles[0], QStringLiteral("Tip"));
        EXPECT_EQ(driver.titles[2], Caption);
    }

    void ExpectNothingAdded()
    {
        EXPECT_EQ(database.Size(), 1u);
        EXPECT_EQ(EntriesInFile(), 1u);
    }
};

TEST_F(OtherImportTest, ShowsTheRecognisedFormatAndTheFirstEntriesMaskedAndCancelAddsNothing)
{
    struct Case
    {
        const std::string& exported;
        QString format;
        int rows;
        QStringList firstRow;
        QString counts;
    };
    const Case cases[] = {
        {KeePassXcExport, QStringLiteral("Automatic (KeePassXC)"), 5,
         QStringList{"Root", "Mail", "ann", Masked, "https://mail.example", "first"},
         QStringLiteral("The file holds 6 entries; 0 of them will be skipped.")},
        {BitwardenExport, QStringLiteral("Automatic (Bitwarden)"), 1,
         QStringList{"Web", "Shop", "ann", Masked, "https://shop.example", ""},
         QStringLiteral("The file holds 3 entries; 2 of them will be skipped.")},
    };
    for (const Case& expected : cases) {
        SCOPED_TRACE(expected.format.toStdString());
        RunImport(expected.exported, [&](QWidget* dialog) {
            EXPECT_EQ(Child<QComboBox>(dialog, "format")->currentText(), expected.format);
            EXPECT_EQ(Child<QTableWidget>(dialog, "preview")->rowCount(), expected.rows);
            EXPECT_EQ(Row(dialog, 0), expected.firstRow);
            for (int row = 0; row < expected.rows; ++row) {
                EXPECT_EQ(Row(dialog, row)[3], Masked); // an empty password too
            }
            EXPECT_EQ(Child<QLabel>(dialog, "counts")->text(), expected.counts);
            EXPECT_TRUE(OkEnabled(dialog));
            Cancel()(dialog);
        });
        ExpectNothingAdded();
        EXPECT_TRUE(messages.messages.empty());
        driver.titles.clear();
    }
}

TEST_F(OtherImportTest, AnotherFormatChosenReadsTheFileAgainAndOkAddsWhatItShowsSavedAndCounted)
{
    RunImport(ChromeExport, [](QWidget* dialog) {
        EXPECT_EQ(Row(dialog, 0)[1], QStringLiteral("Bank"));
        ChooseFormat(dialog, QStringLiteral("KeePassXC"));
        EXPECT_TRUE(Child<QPlainTextEdit>(dialog, "refusal")->toPlainText().contains(QStringLiteral("\"Group\"")));
        EXPECT_FALSE(OkEnabled(dialog));
        QTest::keyClick(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        ChooseFormat(dialog, QStringLiteral("Firefox"));
        EXPECT_EQ(Row(dialog, 0).mid(0, 2), (QStringList{"Browser", "bank.example"}));
        EXPECT_EQ(Child<QComboBox>(dialog, "format")->itemText(0), QStringLiteral("Automatic"));
        ClickOk()(dialog);
    });
    EXPECT_TRUE(database.Find({ToSecure(u"Browser"), ToSecure(u"bank.example1")}));
    EXPECT_EQ(EntriesInFile(), 3u);
    EXPECT_EQ(window->Views().Model()->rowCount(), 3);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"Import finished. Added: 1, renamed: 1, skipped: 0."});
}

TEST_F(OtherImportTest, ARefusedFileIsExplainedInTheDialogAndAnotherFileCanBeChosen)
{
    const std::filesystem::path good = folder / "good.csv";
    WriteFileBytes(good, ChromeExport);
    const std::pair<std::string, QString> cases[] = {
        {"some,thing\n1,2\n", QStringLiteral("Known headers:\n\"Group\",\"Title\",\"Username\"")},
        {"name,url,username,password\n\"broken,x,u,p\nA,b,c,d\n", QStringLiteral("in line 2.")},
    };
    for (const auto& [exported, explanation] : cases) {
        SCOPED_TRACE(explanation.toStdString());
        RunImport(exported, [&](QWidget* dialog) {
            EXPECT_TRUE(Child<QPlainTextEdit>(dialog, "refusal")->toPlainText().contains(explanation));
            EXPECT_EQ(Child<QLabel>(dialog, "counts")->text(), QString());
            EXPECT_FALSE(OkEnabled(dialog));
            driver.Then(ChooseFile(good.string()));
            QTest::mouseClick(Child<QPushButton>(dialog, "browse"), Qt::LeftButton);
            EXPECT_EQ(Child<QTableWidget>(dialog, "preview")->rowCount(), 2);
            EXPECT_TRUE(OkEnabled(dialog));
            Cancel()(dialog);
        });
        ExpectNothingAdded();
        driver.titles.clear();
    }
}

TEST_F(OtherImportTest, ADatabaseClosedWhileThePreviewIsOpenGetsNothing)
{
    RunImport(KeePassXcExport, [this](QWidget* dialog) {
        window->OnCommand(FileClose);
        ClickOk()(dialog);
    });
    EXPECT_EQ(database.Size(), 0u);
    EXPECT_EQ(EntriesInFile(), 1u);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{u"The database was locked or closed while the dialog was "
                                                            u"open, so nothing was changed."});
}
TEST_F(OtherImportTest, AFailedSaveReportsNoSummary)
{
    // Another program replaces the file with a version under another password, which a save neither merges nor
    // writes over, so the save after the import is refused.
    MessageRecorder quiet;
    CDataBase other(quiet, texts);
    ASSERT_TRUE(WriteDatabase(other, folder / "replacement.ldb", ToSecure(u"changed elsewhere")));
    const std::string replaced = ReadFileBytes(folder / "replacement.ldb");
    std::filesystem::rename(folder / "replacement.ldb", path);
    RunImport(ChromeExport, ClickOk());
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_FALSE(messages.Texts().front().starts_with(u"Import finished."));
    EXPECT_EQ(ReadFileBytes(path), replaced);
}
} // namespace
