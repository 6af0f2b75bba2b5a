#include <QPrinter>
#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/database/DataBase.h"
#include "gui/GuiTestSupport.h"
#include "gui/importexport/PrintCommand.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
// Runs a poppler tool and gives its standard output; an empty text when it failed.
std::string RunPoppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << ": " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput().toStdString();
}

class PrintCommandTest : private WithApplication, public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddEntries(database, {MakeEntry(u"Web", u"Bank", u"alice", u"s3cret-pw"),
                              MakeEntry(u"Mail", u"Inbox", u"bob", u"another-pw")});
        printer.setOutputFormat(QPrinter::PdfFormat);
    }

    bool Print(bool entriesThere = true)
    {
        return PrintOnChosenPrinter(
            printer,
            [&](const auto& use) {
                if (entriesThere) {
                    use(database);
                }
                return entriesThere;
            },
            messages, texts);
    }

    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    TempDir folder;
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(PrintCommandTest, PrintingToPdfWritesAFileThatRendersWithTheEntriesText)
{
    const std::filesystem::path pdf = folder / "lockmere.ldb.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(Print());
    EXPECT_TRUE(messages.Texts().empty());

    // pdftoppm draws every page of the file: one page, and it is no blank sheet.
    RunPoppler(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-gray"),
                QString::fromStdString(pdf.string()), QString::fromStdString((folder / "page").string())});
    const std::filesystem::path page = folder / "page-1.pgm";
    ASSERT_TRUE(std::filesystem::exists(page));
    EXPECT_FALSE(std::filesystem::exists(folder / "page-2.pgm"));
    // A binary PGM: "P5", the size and the largest value on three lines, then one byte per pixel.
    const std::string image = ReadFileBytes(page);
    std::size_t pixels = 0;
    for (int line = 0; line < 3; ++line) {
        pixels = image.find('\n', pixels) + 1;
    }
    EXPECT_TRUE(std::any_of(image.begin() + static_cast<std::ptrdiff_t>(pixels), image.end(),
                            [](char pixel) { return static_cast<unsigned char>(pixel) < 128; }));

    const std::string text =
        RunPoppler(QStringLiteral("pdftotext"), {QString::fromStdString(pdf.string()), QStringLiteral("-")});
    for (const char* value : {"Bank", "alice", "s3cret-pw", "Inbox", "bob", "another-pw"}) {
        EXPECT_NE(text.find(value), std::string::npos) << value;
    }
}

TEST_F(PrintCommandTest, APdfFileThatCannotBeWrittenIsReportedAsAFailedPrint)
{
    printer.setOutputFileName(QString::fromStdString((folder / "no such folder" / "listing.pdf").string()));
    EXPECT_FALSE(Print());
    EXPECT_EQ(messages.Texts(),
              std::vector<std::u16string>{u"Printing failed: the printer or the PDF file did not take the document."});
}

TEST_F(PrintCommandTest, EntriesGoneSinceTheCommandStartedPrintNothingAndAddNoMessage)
{
    const std::filesystem::path pdf = folder / "listing.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    EXPECT_FALSE(Print(false));
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_FALSE(std::filesystem::exists(pdf));
}
} // namespace
