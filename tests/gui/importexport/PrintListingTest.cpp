#include <QFontInfo>
#include <QPrinter>
#include <QProcess>
#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/importexport/TextExport.h"
#include "gui/GuiTestSupport.h"
#include "gui/importexport/PrintListing.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
std::string WithoutBlanks(const std::string& text)
{
    std::string result;
    std::copy_if(text.begin(), text.end(), std::back_inserter(result),
                 [](unsigned char character) { return !std::isspace(character); });
    return result;
}

std::u16string Numbered(std::u16string_view prefix, int number)
{
    return std::u16string(prefix) + Utf8ToUtf16(std::to_string(number));
}

class PrintListingTest : private WithApplication, public ::testing::Test
{
protected:
    void SetUp() override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
    }

    // The text of each page, as pdftotext reads it back.
    std::vector<std::string> PrintedPages()
    {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                      QString::fromStdString(pdf.string()), QStringLiteral("-")});
        EXPECT_TRUE(pdftotext.waitForFinished(60000));
        const std::string text = pdftotext.readAllStandardOutput().toStdString();
        std::vector<std::string> pages;
        std::size_t begin = 0;
        for (std::size_t feed = text.find('\f'); feed != std::string::npos; feed = text.find('\f', begin)) {
            pages.push_back(text.substr(begin, feed - begin));
            begin = feed + 1;
        }
        return pages;
    }

    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
    TempDir folder;
    std::filesystem::path pdf = folder / "listing.pdf";
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(PrintListingTest, ThreeHundredEntriesReachThePagesWholeInOrderWithPasswordsInClear)
{
    for (int i = 0; i < 300; ++i) {
        AddEntries(database, {MakeEntry(Numbered(u"Group", i / 25), Numbered(u"Title", i), Numbered(u"user", i),
                                        Numbered(u"Secret&Pw", i), Numbered(u"https://example.org/?a=b&n=", i),
                                        i % 50 == 0 ? Numbered(u"a note wide enough to wrap: ", i) +
                                                          std::u16string(300, u'w') + u"\r\nsecond line"
                                                    : Numbered(u"note", i))});
    }
    ASSERT_TRUE(PrintListing(printer, database));

    const std::vector<std::string> pages = PrintedPages();
    ASSERT_GT(pages.size(), 10u);
    std::string printed;
    for (const std::string& page : pages) {
        EXPECT_FALSE(WithoutBlanks(page).empty());
        printed += page;
    }
    // Every character of the listing once, in order, and nothing else: no header, footer or page number, nothing
    // lost or doubled where a page ends inside a line or a word.
    const std::string listing = SecureToUtf8(BuildTextListing(database));
    EXPECT_EQ(WithoutBlanks(printed), WithoutBlanks(listing));
    EXPECT_NE(printed.find("Password: Secret&Pw299"), std::string::npos);
    EXPECT_NE(printed.find("Group: Group0\nTitle: Title0\nUsername: user0\nPassword: Secret&Pw0\n"), std::string::npos);
}

TEST_F(PrintListingTest, AnEmptyDatabasePrintsNothing)
{
    EXPECT_TRUE(PrintListing(printer, database));
    EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(PrintListingTest, TheFontIsATenPointSansSerif)
{
    const QFont font = PrintFont();
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_EQ(font.styleHint(), QFont::SansSerif);
    EXPECT_FALSE(QFontInfo(font).fixedPitch());
}
} // namespace
