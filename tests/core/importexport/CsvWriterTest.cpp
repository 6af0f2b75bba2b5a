#include <gtest/gtest.h>

#include "EntryTestHelpers.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/StandardCsv.h"

namespace {
const std::u16string SaveFailed = u"An exception occurred when attempting to save the file.";

class CsvWriterTest : public ImportExportTest
{
protected:
    std::string Exported(const CsvExportOptions& options = {})
    {
        const auto path = folder / "out.csv";
        EXPECT_TRUE(ExportCsv(database, path, options));
        EXPECT_TRUE(recorder.messages.empty());
        return ReadFileBytes(path);
    }

    static CsvExportOptions Only(std::array<bool, 6> fields, bool header = true, std::u16string delimiter = u",")
    {
        CsvExportOptions options;
        options.fields = fields;
        options.header = header;
        options.delimiter = std::move(delimiter);
        return options;
    }
};

TEST_F(CsvWriterTest, WorkedExampleIsWrittenByteForByte)
{
    AddEntry(MakeEntry(u"Forums", u"Help"));
    AddEntry(MakeEntry(u"Email", u"General", u"Text", u"secret", u"http://mail", u"\"Tip\""));

    EXPECT_EQ(Exported(Only({true, true, true, false, false, true}, true, u";")),
              "\"Group\";\"Title\";\"Username\";\"Notes\"\r\n"
              "\"Email\";\"General\";\"Text\";\"\"\"Tip\"\"\"\r\n"
              "\"Forums\";\"Help\";\"\";\"\"\r\n");
}

TEST_F(CsvWriterTest, DefaultsWriteAHeaderAndAllSixFieldsQuotedAndCommaSeparated)
{
    AddEntry(MakeEntry(u"g", u"t", u"u", u"p", u"w", u""));

    EXPECT_EQ(Exported(), "\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n"
                          "\"g\",\"t\",\"u\",\"p\",\"w\",\"\"\r\n");
}

TEST_F(CsvWriterTest, EntriesAreWrittenInKeyOrderWithoutAHeaderWhenAskedSo)
{
    AddEntry(MakeEntry(u"b", u"1"));
    AddEntry(MakeEntry(u"a", u"2"));
    AddEntry(MakeEntry(u"a", u"1"));

    EXPECT_EQ(Exported(Only({true, true, false, false, false, false}, false)),
              "\"a\",\"1\"\r\n\"a\",\"2\"\r\n\"b\",\"1\"\r\n");
}

TEST_F(CsvWriterTest, EveryFieldFlagClearGivesAnEmptyFileHeaderOrNot)
{
    AddEntry(MakeEntry(u"g", u"t"));
    EXPECT_EQ(Exported(Only({false, false, false, false, false, false}, true)), "");
    EXPECT_EQ(Exported(Only({false, false, false, false, false, false}, false)), "");
}

TEST_F(CsvWriterTest, EmptyDatabaseGivesTheHeaderAlone)
{
    EXPECT_EQ(Exported(Only({false, true, false, false, false, false})), "\"Title\"\r\n");
}

TEST_F(CsvWriterTest, EmptyDelimiterWritesValuesBackToBack)
{
    AddEntry(MakeEntry(u"g", u"t"));
    EXPECT_EQ(Exported(Only({true, true, false, false, false, false}, false, u"")), "\"g\"\"t\"\r\n");
}

TEST_F(CsvWriterTest, EveryLineFeedIsWrittenAsCarriageReturnAndLineFeed)
{
    AddEntry(MakeEntry(u"g", u"t", u"", u"", u"", u"a\nb\r\nc\rd"));

    EXPECT_EQ(Exported(Only({false, false, false, false, false, true}, false)), "\"a\r\nb\r\r\nc\rd\"\r\n");
}

TEST_F(CsvWriterTest, TextIsUtf8WithoutByteOrderMark)
{
    AddEntry(MakeEntry(u"\u00C4rger", u"\u20AC\U0001F600"));

    EXPECT_EQ(Exported(Only({true, true, false, false, false, false}, false)),
              "\"\xC3\x84rger\",\"\xE2\x82\xAC\xF0\x9F\x98\x80\"\r\n");
}

TEST_F(CsvWriterTest, TranslatedFieldNamesAreWrittenUnchanged)
{
    class GermanNames : public ITextSource
    {
    public:
        const std::u16string& Text(int id) const override { return id == 4 ? group : english.Text(id); }

    private:
        BuiltinTextSource english;
        std::u16string group = u"Gruppe \u00FC";
    } german;
    CDataBase translated(recorder, german);
    const auto path = folder / "de.csv";

    ASSERT_TRUE(ExportCsv(translated, path, Only({true, true, false, false, false, false})));
    EXPECT_EQ(ReadFileBytes(path), "\"Gruppe \xC3\xBC\",\"Title\"\r\n");
}

TEST_F(CsvWriterTest, UnpairedSurrogateFailsWithTheSaveMessageAndKeepsTheOldFile)
{
    const auto path = folder / "out.csv";
    WriteFileBytes(path, "previous");
    AddEntry(MakeEntry(u"g", u"t", std::u16string(1, char16_t(0xD800))));

    EXPECT_FALSE(ExportCsv(database, path, {}));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{SaveFailed});
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(ReadFileBytes(path), "previous");
}

TEST_F(CsvWriterTest, UnwritableFileFailsWithTheSaveMessage)
{
    AddEntry(MakeEntry(u"g", u"t"));

    EXPECT_FALSE(ExportCsv(database, folder / "missing" / "out.csv", {}));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{SaveFailed});
}

TEST_F(CsvWriterTest, ExportedFileIsReadableByTheOwnerOnly)
{
    AddEntry(MakeEntry(u"g", u"t", u"", u"secret"));
    const auto path = folder / "out.csv";
    ASSERT_TRUE(ExportCsv(database, path, {}));

    const auto permissions = std::filesystem::status(path).permissions();
    EXPECT_EQ(permissions & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);
}
TEST_F(CsvWriterTest, RunningOutOfMemoryIsReportedAndNothingIsWritten)
{
    FailingTextSource<std::bad_alloc> texts(4);
    CDataBase source(recorder, texts);

    EXPECT_FALSE(ExportCsv(source, folder / "out.csv", {}));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{u"Not enough memory."});
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv"));
}

TEST_F(CsvWriterTest, AnyOtherFailureIsReportedWithTheGeneralMessage)
{
    FailingTextSource<UnexpectedFailure> texts(4);
    CDataBase source(recorder, texts);

    EXPECT_FALSE(ExportCsv(source, folder / "out.csv", {}));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{u"An exception occurred."});
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::None);
}

TEST_F(CsvWriterTest, TheStandardStyleEndsRecordsWithCrLfAndWritesValuesAsTheyAre)
{
    AddEntry(MakeEntry(u"g,1", u"t", u"u", u"p\"q", u"", u"two\r\nlines\nand\ra cr"));
    CsvExportOptions options;
    options.style = CsvStyle::Standard;
    options.delimiter.assign(1, u';'); // the standard always separates by commas

    EXPECT_EQ(Exported(options), "\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n"
                                 "\"g,1\",\"t\",\"u\",\"p\"\"q\",\"\",\"two\r\nlines\nand\ra cr\"\r\n");
    // The described style keeps writing every line feed as CR LF.
    EXPECT_NE(Exported().find("two\r\r\nlines\r\nand\ra cr"), std::string::npos);
}

TEST_F(CsvWriterTest, AStandardReaderGetsBackEveryValueOfTheStandardStyle)
{
    const std::vector<Entry> entries = {
        MakeEntry(u"Web", u"Bank", u"ann", u"p\"w,;", u"https://bank", u"a\r\nb \"c\""),
        MakeEntry(u"\u0416", u"\u05E9\u05DC\u05D5\u05DD", u"", u"\U0001F511", u"", u"lone\nfeed")};
    for (const Entry& entry : entries) {
        AddEntry(entry);
    }
    CsvExportOptions options;
    options.style = CsvStyle::Standard;
    options.header = false;
    const std::string bytes = Exported(options);
    std::vector<Entry> read;
    ReadStandardCsv(bytes, [&](std::span<SecureString> fields) {
        ASSERT_EQ(fields.size(), 6u);
        read.push_back(MakeEntry(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]));
    });
    std::vector<Entry> expected = Entries();
    EXPECT_EQ(read, expected);
}
} // namespace
