#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "gui/GuiTestSupport.h"
#include "gui/common/FileChooser.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"
#include "gui/importexport/FieldNumberBox.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
const char* const FieldNames[] = {"group", "title", "username", "password", "url", "notes"};

// Hands out prepared choices (Cancel when none is left) and records what it was asked with.
class FakeFileChooser : public IFileChooser
{
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const QString& filter) override
    {
        filters.push_back(filter);
        return Next();
    }
    std::optional<std::filesystem::path> ChooseFileToSave(const QString& proposedName) override
    {
        proposals.push_back(proposedName);
        return Next();
    }

    std::deque<std::optional<std::filesystem::path>> choices;
    std::vector<QString> filters;
    std::vector<QString> proposals;

private:
    std::optional<std::filesystem::path> Next()
    {
        if (choices.empty()) {
            return std::nullopt;
        }
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }
};

void ClickOk(QDialog& dialog)
{
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

QCheckBox* Tick(QDialog& dialog, int field)
{
    return dialog.findChild<QCheckBox*>(QString::fromLatin1(FieldNames[field]));
}

FieldNumberBox* Number(QDialog& dialog, int field)
{
    return dialog.findChild<FieldNumberBox*>(QString::fromLatin1(FieldNames[field]) + QStringLiteral("Number"));
}

void TypeNumber(QDialog& dialog, int field, const QString& text)
{
    auto* edit = Number(dialog, field)->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Runs the work where it is and notes its kind.
class RecordingWork : public IBackgroundWork
{
public:
    void Run(FileWork kind, const std::function<void()>& work) override
    {
        kinds.push_back(kind);
        work();
    }
    std::vector<FileWork> kinds;
};

class CsvDialogsTest : private WithApplication, public ::testing::Test
{
protected:
    std::vector<Entry> Entries() const { return EntriesOf(database); }

    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    CollectionAccess entries{database};
    FakeFileChooser files;
    TempDir folder;
};

// The defaults are the header, every field and a comma.
TEST_F(CsvDialogsTest, ExportWritesWhatTheBoxesSayAndReportsTheFullPath)
{
    AddEntries(database, {MakeEntry(u"Email", u"General", u"Text", u"pw", u"", u"\"Tip\"")});
    struct ExportCase
    {
        const char* name;
        std::function<void(QDialog&)> change;
        std::string file;
    };
    const ExportCase cases[] = {
        {"defaults", [](QDialog&) {},
         "\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n"
         "\"Email\",\"General\",\"Text\",\"pw\",\"\",\"\"\"Tip\"\"\"\r\n"},
        {"every field box clear",
         [](QDialog& dialog) {
             for (int field = 0; field < EntryFieldCount; ++field) {
                 Tick(dialog, field)->setChecked(false);
             }
         },
         ""},
        {"no header, two fields, a delimiter of one character",
         [](QDialog& dialog) {
             dialog.findChild<QCheckBox*>(QStringLiteral("header"))->setChecked(false);
             for (int field = 2; field < EntryFieldCount; ++field) {
                 Tick(dialog, field)->setChecked(false);
             }
             auto* delimiter = dialog.findChild<QLineEdit*>(QStringLiteral("delimiter"));
             delimiter->clear();
             QTest::keyClicks(delimiter, QStringLiteral(";|"));
         },
         "\"Email\";\"General\"\r\n"},
    };
    for (const ExportCase& test : cases) {
        SCOPED_TRACE(test.name);
        const auto path = folder / (std::string(test.name) + ".csv");
        messages.Reset();
        files.choices = {path};
        RecordingWork work;
        CollectionAccess recorded(database, work);
        CDlgExportCSV dialog(recorded, files, u"lockmere.ldb", nullptr);
        test.change(dialog);
        dialog.show();
        ClickOk(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(files.proposals.back(), QStringLiteral("lockmere.ldb.csv"));
        EXPECT_EQ(ReadFileBytes(path), test.file);
        EXPECT_EQ(work.kinds, std::vector<FileWork>{FileWork::Exporting});
        EXPECT_EQ(messages.Texts(),
                  std::vector<std::u16string>{u"The CSV file is created: " + Utf8ToUtf16(path.string())});
    }
}

TEST_F(CsvDialogsTest, CancelInTheChooserKeepsEitherDialogOpenAsItWas)
{
    CDlgExportCSV exportDialog(entries, files, u"lockmere.ldb");
    Tick(exportDialog, 3)->setChecked(false);
    exportDialog.show();
    ClickOk(exportDialog);
    EXPECT_TRUE(exportDialog.isVisible());
    EXPECT_FALSE(Tick(exportDialog, 3)->isChecked());
    EXPECT_TRUE(Tick(exportDialog, 2)->isChecked());

    CDlgImportCSV importDialog(entries, files);
    TypeNumber(importDialog, 5, QStringLiteral("9"));
    importDialog.show();
    ClickOk(importDialog);
    EXPECT_TRUE(importDialog.isVisible());
    EXPECT_EQ(files.filters, std::vector<QString>{QStringLiteral("*.csv; *.txt")});
    EXPECT_EQ(Number(importDialog, 5)->text(), QStringLiteral("9"));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(database.Empty());
}

TEST_F(CsvDialogsTest, FieldBoxesEnableTheirNumbersWhichStepFromOneToAHundredAndTakeTwoTypedCharacters)
{
    CDlgImportCSV dialog(entries, files);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Import From CSV File"));
    EXPECT_FALSE(dialog.findChild<QCheckBox*>(QStringLiteral("header"))->isChecked());
    for (int field = 0; field < EntryFieldCount; ++field) {
        EXPECT_TRUE(Tick(dialog, field)->isChecked());
        EXPECT_EQ(Tick(dialog, field)->text(), QStringLiteral("Field #"));
        EXPECT_EQ(Number(dialog, field)->text(), QString::number(field + 1));
    }
    Tick(dialog, 1)->setChecked(false);
    EXPECT_FALSE(Number(dialog, 1)->isEnabled());
    EXPECT_EQ(Number(dialog, 1)->text(), QStringLiteral("2"));
    Tick(dialog, 1)->setChecked(true);
    EXPECT_TRUE(Number(dialog, 1)->isEnabled());

    FieldNumberBox* number = Number(dialog, 0);
    number->stepBy(-5);
    EXPECT_EQ(number->text(), QStringLiteral("1"));
    TypeNumber(dialog, 0, QStringLiteral("99"));
    number->stepBy(1);
    EXPECT_EQ(number->text(), QStringLiteral("100"));
    number->stepBy(1);
    EXPECT_EQ(number->text(), QStringLiteral("100"));
    TypeNumber(dialog, 0, QStringLiteral("123"));
    EXPECT_EQ(number->text(), QStringLiteral("12"));
}

TEST_F(CsvDialogsTest, ImportMapsTheFieldsAsTheBoxesSay)
{
    const std::string csv = "\"G\",\"T\",\"U\",\"P\",\"L\",\"N\"\r\n\"g\",\"t\",\"u\",\"p\",\"l\",\"n\"\r\n";
    struct ImportCase
    {
        const char* name;
        std::function<void(QDialog&)> change;
        std::vector<std::u16string> messages;
        std::vector<Entry> entries; // empty: the dialog stays open
    };
    const ImportCase cases[] = {
        {"defaults",
         [](QDialog&) {},
         {},
         {MakeEntry(u"G", u"T", u"U", u"P", u"L", u"N"), MakeEntry(u"g", u"t", u"u", u"p", u"l", u"n")}},
        {"header skipped",
         [](QDialog& dialog) { dialog.findChild<QCheckBox*>(QStringLiteral("header"))->click(); },
         {},
         {MakeEntry(u"g", u"t", u"u", u"p", u"l", u"n")}},
        {"two non-numbers count as 0 twice",
         [](QDialog& dialog) {
             TypeNumber(dialog, 2, QStringLiteral("ab"));
             TypeNumber(dialog, 3, QStringLiteral("x"));
         },
         {u"Field numbers must be different."},
         {}},
        {"a 0 leaves the field empty, a -1 group goes to Import",
         [](QDialog& dialog) {
             TypeNumber(dialog, 0, QStringLiteral("-1"));
             TypeNumber(dialog, 2, QStringLiteral("0"));
         },
         {},
         {MakeEntry(u"Import", u"T", u"", u"P", u"L", u"N"), MakeEntry(u"Import", u"t", u"", u"p", u"l", u"n")}},
        {"every box clear",
         [](QDialog& dialog) {
             for (int field = 0; field < EntryFieldCount; ++field) {
                 Tick(dialog, field)->click();
             }
         },
         {},
         {MakeEntry(u"Import", u""), MakeEntry(u"Import", u"1")}},
    };
    const auto path = folder / "in.csv";
    WriteFileBytes(path, csv);
    for (const ImportCase& test : cases) {
        SCOPED_TRACE(test.name);
        database.Clear();
        messages.Reset();
        files.choices = {path};
        CDlgImportCSV dialog(entries, files);
        test.change(dialog);
        dialog.show();
        ClickOk(dialog);
        EXPECT_EQ(messages.Texts(), test.messages);
        EXPECT_EQ(dialog.isVisible(), test.entries.empty());
        EXPECT_EQ(Entries(), test.entries);
    }
}

TEST_F(CsvDialogsTest, ARefusedFileLeavesTheDialogOpenToTryAgain)
{
    const auto bad = folder / "bad.csv";
    const auto good = folder / "good.csv";
    WriteFileBytes(bad, "\"a\",\"b\"\r\n\"c\"\r\n");
    WriteFileBytes(good, "\"a\",\"b\"\r\n");
    files.choices = {bad, good};
    CDlgImportCSV dialog(entries, files);
    for (int field = 2; field < EntryFieldCount; ++field) {
        Tick(dialog, field)->click();
    }
    dialog.show();
    ClickOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(database.Empty());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"The file format is invalid. This file can not be imported."});
    ClickOk(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"a", u"b")});
}
} // namespace
