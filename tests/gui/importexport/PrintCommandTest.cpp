#include <QPrinter>
#include <QProcess>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "core/common/Utf.h"
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

    bool Print(bool entriesThere = true) { return PrintEntries(database, entriesThere); }

    bool PrintEntries(const CDataBase& entries, bool entriesThere = true)
    {
        return PrintOnChosenPrinter(
            printer,
            [&](const auto& use) {
                if (entriesThere) {
                    use(entries);
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

std::string ModeOf(const std::filesystem::path& file)
{
    struct stat status
    {};
    return ::stat(file.c_str(), &status) == 0 ? std::to_string(status.st_mode & 07777) : "missing";
}

struct PdfTarget
{
    const char* name;
    // What lies at the place of the PDF before printing: nothing, or a file of that content and mode.
    const char* before;
    mode_t beforeMode;
    bool written;
    // The mode of the file afterwards, in decimal as ModeOf gives it.
    const char* modeAfter;
    // The start of the message, then the file's name and the reason on lines of their own.
    const char* messageStart;
};

class PdfTargetTest : public PrintCommandTest, public ::testing::WithParamInterface<PdfTarget>
{};

TEST_P(PdfTargetTest, ThePdfIsWrittenWholeOrNotAtAllAndANewOneOnlyForItsOwner)
{
    const PdfTarget& target = GetParam();
    const std::filesystem::path pdf = folder / "listing.pdf";
    if (target.before) {
        WriteFileBytes(pdf, target.before);
        std::filesystem::permissions(pdf, static_cast<std::filesystem::perms>(target.beforeMode));
    }
    const mode_t umaskBefore = ::umask(0);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    const bool printed = Print();
    ::umask(umaskBefore);

    EXPECT_EQ(printed, target.written);
    EXPECT_EQ(ModeOf(pdf), target.modeAfter);
    if (target.written) {
        EXPECT_EQ(ReadFileBytes(pdf).rfind("%PDF-", 0), 0U);
        EXPECT_TRUE(messages.Texts().empty());
    } else {
        EXPECT_EQ(ReadFileBytes(pdf), target.before);
        ASSERT_EQ(messages.Texts().size(), 1U);
        const std::u16string message = messages.Texts().front();
        const std::u16string start = Utf8ToUtf16(std::string(target.messageStart) + "\n" + pdf.string() + "\n");
        EXPECT_EQ(message.substr(0, start.size()), start) << Utf16ToUtf8(message);
        EXPECT_GT(message.size(), start.size()) << "the reason is missing";
    }
    // Nothing is left beside it: no half-written file, no copy of the listing.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), std::filesystem::directory_iterator()),
              target.before || target.written ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, PdfTargetTest,
                         ::testing::Values(PdfTarget{"NewFileEvenUnderAnOpenUmask", nullptr, 0, true, "384", nullptr},
                                           PdfTarget{"ReplacedFileKeepsItsMode", "old listing", 0640, true, "416",
                                                     nullptr},
                                           PdfTarget{"ReadOnlyFileStaysAsItWas", "old listing", 0444, false, "292",
                                                     "The PDF file could not be written:"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintCommandTest, APdfInAFolderThatIsNotThereIsReportedWithItsNameAndNothingIsWritten)
{
    const std::filesystem::path pdf = folder / "no such folder" / "listing.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    EXPECT_FALSE(Print());
    ASSERT_EQ(messages.Texts().size(), 1U);
    const std::u16string start = Utf8ToUtf16("The PDF file could not be written:\n" + pdf.string() + "\n");
    EXPECT_EQ(messages.Texts().front().substr(0, start.size()), start);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST_F(PrintCommandTest, AnEmptyDatabaseWritesNoPdf)
{
    const CDataBase empty{messages, texts};
    const std::filesystem::path pdf = folder / "listing.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    EXPECT_TRUE(PrintEntries(empty));
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(PrintCommandTest, AListingLongerThanAPageGoesOnToFurtherPagesOfThePdf)
{
    for (int i = 0; i < 200; ++i) {
        const std::u16string title = u"Entry " + Utf8ToUtf16(std::to_string(i));
        AddEntries(database, {MakeEntry(u"Many", title, u"user", u"pw")});
    }
    const std::filesystem::path pdf = folder / "long.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(Print());
    const std::string info = RunPoppler(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf.string())});
    const std::size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    EXPECT_GT(std::stoi(info.substr(pages + 6)), 1);
    const std::string text =
        RunPoppler(QStringLiteral("pdftotext"), {QString::fromStdString(pdf.string()), QStringLiteral("-")});
    EXPECT_NE(text.find("Entry 199"), std::string::npos);
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
