#include <gtest/gtest.h>

#include "EntryTestHelpers.h"
#include "core/importexport/CsvFormat.h"

namespace {
const std::u16string InvalidFormat = u"The file format is invalid. This file can not be imported.";
const std::u16string InvalidCharacters = u"Invalid characters detected. The file can not be imported.";
const std::u16string TooLarge = u"Exceeded the maximum file size. The file can not be read.";
const std::u16string ReadFailed = u"An unknown file exception occurred when attempting to read the file.";

std::u16string FieldNumberMessage(std::u16string_view name)
{
    return u"The specified number of the \"" + std::u16string(name) +
           u"\" field exceeds the number of fields in the records. Please, change the number or uncheck the field.";
}

const std::string WorkedExample = "\"Group\";\"Title\";\"Username\";\"Notes\"\r\n"
                                  "\"Email\";\"General\";\"Text\";\"\"\"Tip\"\"\"\r\n"
                                  "\"Forums\";\"Help\";\"\";\"\"\r\n";

class CsvReaderTest : public ImportExportTest
{
protected:
    bool Import(const std::string& bytes, const CsvImportOptions& options = {})
    {
        const auto path = folder / "in.csv";
        WriteFileBytes(path, bytes);
        return ImportCsv(database, path, options);
    }

    static CsvImportOptions Numbers(std::array<int, 6> numbers, bool header = false)
    {
        CsvImportOptions options;
        options.fieldNumbers = numbers;
        options.header = header;
        return options;
    }

    void ExpectRefused(const std::u16string& message)
    {
        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{message});
        ASSERT_FALSE(recorder.messages.empty());
        EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(database.Size(), 0u);
    }

    const CsvImportOptions workedExampleOptions = Numbers({1, 2, 3, -1, -1, 4}, true);
};

TEST_F(CsvReaderTest, WorkedExampleYieldsItsTwoEntries)
{
    ASSERT_TRUE(Import(WorkedExample, workedExampleOptions));

    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(Entries(), (std::vector<Entry>{MakeEntry(u"Email", u"General", u"Text", u"", u"", u"\"Tip\""),
                                             MakeEntry(u"Forums", u"Help")}));
}

TEST_F(CsvReaderTest, WorkedExampleImportedTwiceGetsNumberedTitles)
{
    ASSERT_TRUE(Import(WorkedExample, workedExampleOptions));
    ASSERT_TRUE(Import(WorkedExample, workedExampleOptions));

    EXPECT_EQ(database.Size(), 4u);
    EXPECT_EQ(database.Find({ToSecure(u"Email"), ToSecure(u"General1")})->notes, ToSecure(u"\"Tip\""));
    EXPECT_TRUE(database.Find({ToSecure(u"Forums"), ToSecure(u"Help1")}));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CsvReaderTest, AnythingOutsideQuotesIsIgnored)
{
    for (const std::string separator : {",", "\t", " ", " ,x; "}) {
        CDataBase other(recorder, texts);
        std::string bytes = WorkedExample;
        for (auto at = bytes.find(';'); at != std::string::npos; at = bytes.find(';', at + separator.size())) {
            bytes.replace(at, 1, separator);
        }
        WriteFileBytes(folder / "sep.csv", bytes);
        ASSERT_TRUE(ImportCsv(other, folder / "sep.csv", workedExampleOptions)) << separator;
        EXPECT_EQ(other.Size(), 2u);
        EXPECT_EQ(other.Find({ToSecure(u"Email"), ToSecure(u"General")})->notes, ToSecure(u"\"Tip\""));
    }
}

TEST_F(CsvReaderTest, QuotedFieldsBackToBackJoinIntoOneValue)
{
    ASSERT_TRUE(Import("\"g\"\"t\"\n", Numbers({1, -1, -1, -1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"g\"t", u"")});
}

TEST_F(CsvReaderTest, LineWithoutQuotesIsARecordWithoutFields)
{
    EXPECT_FALSE(Import("Email,General,Text\n"));
    ExpectRefused(FieldNumberMessage(u"Group"));

    recorder.Reset();
    ASSERT_TRUE(Import("Email,General,Text\n", Numbers({-1, -1, -1, -1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"Import", u"")});
}

TEST_F(CsvReaderTest, TooLargeFieldNumberNamesTheFirstSuchFieldAndAddsNothing)
{
    const std::string threeFields = "\"a\",\"b\",\"c\"\n\"d\",\"e\",\"f\"\n";

    EXPECT_FALSE(Import(threeFields, Numbers({1, 2, 3, -1, -1, 6})));
    ExpectRefused(FieldNumberMessage(u"Notes"));

    recorder.Reset();
    EXPECT_FALSE(Import(threeFields));
    ExpectRefused(FieldNumberMessage(u"Password"));
}

TEST_F(CsvReaderTest, FieldNumberMessageUsesTheTranslatedFieldName)
{
    class TranslatedNames : public ITextSource
    {
    public:
        const std::u16string& Text(int id) const override { return id == 18 ? url : english.Text(id); }

    private:
        BuiltinTextSource english;
        std::u16string url = u"Adresse";
    } translated;
    CDataBase other(recorder, translated);
    WriteFileBytes(folder / "in.csv", "\"a\"\n");

    EXPECT_FALSE(ImportCsv(other, folder / "in.csv", Numbers({-1, -1, -1, -1, 2, -1})));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{FieldNumberMessage(u"Adresse")});
}

TEST_F(CsvReaderTest, HeaderRecordCountsForTheChecks)
{
    EXPECT_FALSE(Import("\"Group\",\"Title\"\n\"a\",\"b\",\"c\"\n", Numbers({1, 2, 3, -1, -1, -1}, true)));
    ExpectRefused(FieldNumberMessage(u"Username"));

    recorder.Reset();
    EXPECT_FALSE(Import("\"Group\",\"Title\"\n\"a\",\"b\",\"c\"\n", Numbers({1, 2, -1, -1, -1, -1}, true)));
    ExpectRefused(InvalidFormat);
}

TEST_F(CsvReaderTest, BlankLineAtTheEndOrBetweenRecordsIsRefused)
{
    const auto options = Numbers({1, 2, -1, -1, -1, -1});
    EXPECT_FALSE(Import("\"a\",\"b\"\r\n\"c\",\"d\"\r\n\r\n", options));
    ExpectRefused(InvalidFormat);

    recorder.Reset();
    EXPECT_FALSE(Import("\"a\",\"b\"\n\n\"c\",\"d\"\n", options));
    ExpectRefused(InvalidFormat);
}

TEST_F(CsvReaderTest, RecordWithAnotherFieldCountIsRefused)
{
    EXPECT_FALSE(Import("\"a\",\"b\"\n\"c\",\"d\",\"e\"\n\"f\",\"g\"\n", Numbers({1, 2, -1, -1, -1, -1})));
    ExpectRefused(InvalidFormat);
}

TEST_F(CsvReaderTest, FileEndingInsideAFieldIsRefused)
{
    EXPECT_FALSE(Import("\"a\",\"b\"\n\"c\",\"d\n", Numbers({1, 2, -1, -1, -1, -1})));
    ExpectRefused(InvalidFormat);
}

TEST_F(CsvReaderTest, FieldTerminatorAnywhereRefusesTheWholeFile)
{
    EXPECT_FALSE(Import("\"a\",\"b\"\n\"c\",\"x\x07\x01\x05y\"\n", Numbers({1, 2, -1, -1, -1, -1})));
    ExpectRefused(InvalidCharacters);

    recorder.Reset();
    EXPECT_FALSE(Import("\x07\x01\x05\n", Numbers({-1, -1, -1, -1, -1, -1})));
    ExpectRefused(InvalidCharacters);
}

TEST_F(CsvReaderTest, SingleTerminatorCharactersAreOrdinaryText)
{
    ASSERT_TRUE(Import("\"\x07\",\"\x01\x05\"\n", Numbers({1, 2, -1, -1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"\a", u"\x01\x05")});
}

TEST_F(CsvReaderTest, ZeroCharacterIsRefusedSinceNoEntryCanHoldIt)
{
    EXPECT_FALSE(Import(std::string("\"a\",\"b\0c\"\n", 10), Numbers({1, 2, -1, -1, -1, -1})));
    ExpectRefused(InvalidCharacters);
}

TEST_F(CsvReaderTest, UnmappedTitleGivesNumberedEmptyTitles)
{
    ASSERT_TRUE(Import("\"G\",\"x\"\n\"G\",\"y\"\n\"G\",\"z\"\n", Numbers({1, -1, -1, -1, -1, 2})));

    EXPECT_EQ(Entries(),
              (std::vector<Entry>{MakeEntry(u"G", u"", u"", u"", u"", u"x"), MakeEntry(u"G", u"1", u"", u"", u"", u"y"),
                                  MakeEntry(u"G", u"2", u"", u"", u"", u"z")}));
}

TEST_F(CsvReaderTest, UnmappedGroupPutsEveryEntryIntoTheImportGroup)
{
    ASSERT_TRUE(Import("\"a\",\"b\"\n\"c\",\"d\"\n", Numbers({-1, 1, 2, -1, -1, -1})));

    EXPECT_EQ(Entries(), (std::vector<Entry>{MakeEntry(u"Import", u"a", u"b"), MakeEntry(u"Import", u"c", u"d")}));
}

TEST_F(CsvReaderTest, FieldNumberZeroMatchesNoFieldButAGroupOfZeroStaysEmpty)
{
    ASSERT_TRUE(Import("\"a\",\"b\"\n", Numbers({0, 1, 0, 2, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"", u"a", u"", u"b")});
}

TEST_F(CsvReaderTest, FieldsMapByNumberInAnyOrderAndUnmappedFieldsAreDropped)
{
    ASSERT_TRUE(Import("\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"\n", Numbers({7, 5, 3, 1, 6, 2})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"7", u"5", u"3", u"1", u"6", u"2")});
}

TEST_F(CsvReaderTest, EqualFieldNumbersFeedOnlyTheFirstField)
{
    ASSERT_TRUE(Import("\"a\",\"b\"\n", Numbers({1, 2, 2, 1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"a", u"b")});
}

TEST_F(CsvReaderTest, WithoutTheHeaderOptionTheFirstRecordIsAnEntry)
{
    ASSERT_TRUE(Import(WorkedExample, Numbers({1, 2, 3, -1, -1, 4})));
    EXPECT_EQ(database.Size(), 3u);
    EXPECT_TRUE(database.Find({ToSecure(u"Group"), ToSecure(u"Title")}));
}

TEST_F(CsvReaderTest, EmptyFilePassesAndImportsNothing)
{
    EXPECT_TRUE(Import("", Numbers({1, 2, 3, 4, 5, 6}, true)));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(database.Size(), 0u);
}

TEST_F(CsvReaderTest, LineEndsAreCarriageReturnLineFeedOrALoneLineFeedAndTheLastOneIsOptional)
{
    const auto options = Numbers({1, 2, -1, -1, -1, -1});
    for (const std::string bytes : {"\"a\",\"b\"\r\n\"c\",\"d\"\r\n", "\"a\",\"b\"\n\"c\",\"d\"\n",
                                    "\"a\",\"b\"\r\n\"c\",\"d\"", "\"a\",\"b\"\n\"c\",\"d\""}) {
        CDataBase other(recorder, texts);
        WriteFileBytes(folder / "ends.csv", bytes);
        ASSERT_TRUE(ImportCsv(other, folder / "ends.csv", options)) << bytes;
        EXPECT_EQ(other.Size(), 2u) << bytes;
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CsvReaderTest, ValuesSpanLinesAndKeepCarriageReturnsThatEndNoLine)
{
    ASSERT_TRUE(Import("\"g\",\"a\r\r\nb\nc\rd\r\"\r\n", Numbers({1, -1, -1, -1, -1, 2})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"g", u"", u"", u"", u"", u"a\r\nb\nc\rd\r")});
}

TEST_F(CsvReaderTest, LoneCarriageReturnDoesNotEndARecord)
{
    // One record of four fields, not two records of two.
    ASSERT_TRUE(Import("\"a\",\"b\"\r\"c\",\"d\"\n", Numbers({1, 4, -1, -1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"a", u"d")});
}

TEST_F(CsvReaderTest, NonAsciiAndAstralCharactersAreDecodedFromUtf8)
{
    ASSERT_TRUE(Import("\"\xC3\x84rger\",\"\xE2\x82\xAC\xF0\x9F\x98\x80\"\n", Numbers({1, 2, -1, -1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"\u00C4rger", u"\u20AC\U0001F600")});
}

TEST_F(CsvReaderTest, ByteOrderMarkIsAnOrdinaryCharacterOutsideTheFields)
{
    ASSERT_TRUE(Import("\xEF\xBB\xBF\"a\",\"b\"\n", Numbers({1, 2, -1, -1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"a", u"b")});
}

TEST_F(CsvReaderTest, FileThatIsNotUtf8IsRefusedAndNothingIsAdded)
{
    EXPECT_FALSE(Import("\"\xC4rger\",\"b\"\n", Numbers({1, 2, -1, -1, -1, -1})));
    ExpectRefused(u"The file is not UTF-8 text. The file can not be imported.");
}

TEST_F(CsvReaderTest, ExistingEntriesAreNeverChanged)
{
    AddEntry(MakeEntry(u"Web", u"Bank", u"mine", u"old"));
    AddEntry(MakeEntry(u"Web", u"Bank1", u"mine too"));

    ASSERT_TRUE(Import("\"Web\",\"Bank\",\"theirs\"\n\"Web\",\"Bank\",\"again\"\n", Numbers({1, 2, 3, -1, -1, -1})));
    EXPECT_EQ(Entries(),
              (std::vector<Entry>{MakeEntry(u"Web", u"Bank", u"mine", u"old"), MakeEntry(u"Web", u"Bank1", u"mine too"),
                                  MakeEntry(u"Web", u"Bank2", u"theirs"), MakeEntry(u"Web", u"Bank3", u"again")}));
}

TEST_F(CsvReaderTest, MissingFileIsAFileError)
{
    EXPECT_FALSE(ImportCsv(database, folder / "missing.csv", {}));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{ReadFailed});
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::None);
}

TEST_F(CsvReaderTest, FolderIsAFileError)
{
    EXPECT_FALSE(ImportCsv(database, folder.Path(), {}));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{ReadFailed});
}

TEST_F(CsvReaderTest, FileOfFourGibibytesIsRefusedBeforeReading)
{
    const auto path = folder / "huge.csv";
    WriteFileBytes(path, "");
    std::filesystem::resize_file(path, CsvFileSizeLimit); // sparse: costs no disk space

    EXPECT_FALSE(ImportCsv(database, path, {}));
    ExpectRefused(TooLarge);
}

TEST_F(CsvReaderTest, BytesAlreadyReadGoThroughTheSameChecks)
{
    EXPECT_FALSE(ImportCsvBytes(database, "\"a\"\n\"b\n", Numbers({1, -1, -1, -1, -1, -1})));
    ExpectRefused(InvalidFormat);

    recorder.Reset();
    EXPECT_TRUE(ImportCsvBytes(database, "\"a\"\n\"b\"\n", Numbers({1, -1, -1, -1, -1, -1})));
    EXPECT_EQ(database.Size(), 2u);
}
TEST_F(CsvReaderTest, RunningOutOfMemoryIsReportedPlainly)
{
    FailingTextSource<std::bad_alloc> texts(136);
    CDataBase target(recorder, texts);
    WriteFileBytes(folder / "in.csv", "\"a\"\n");

    EXPECT_FALSE(ImportCsv(target, folder / "in.csv", Numbers({-1, 1, -1, -1, -1, -1})));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{u"Not enough memory to read the file."});
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::None);
}

TEST_F(CsvReaderTest, AnyOtherFailureIsReportedWithTheGeneralMessage)
{
    FailingTextSource<UnexpectedFailure> texts(136);
    CDataBase target(recorder, texts);
    WriteFileBytes(folder / "in.csv", "\"a\"\n");

    EXPECT_FALSE(ImportCsv(target, folder / "in.csv", Numbers({-1, 1, -1, -1, -1, -1})));
    EXPECT_EQ(recorder.Texts(),
              std::vector<std::u16string>{u"An unknown exception occurred when attempting to read the file."});
}
TEST_F(CsvReaderTest, ALeadingByteOrderMarkIsNoPartOfTheFile)
{
    ASSERT_TRUE(Import("\xEF\xBB\xBF" + WorkedExample, workedExampleOptions));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(Entries(), (std::vector<Entry>{MakeEntry(u"Email", u"General", u"Text", u"", u"", u"\"Tip\""),
                                             MakeEntry(u"Forums", u"Help")}));
    // Only at the start: anywhere else it is a character of the text.
    database.Clear();
    ASSERT_TRUE(Import("\"a\xEF\xBB\xBF\",\"b\"\n", Numbers({-1, 1, 2, -1, -1, -1})));
    EXPECT_EQ(Entries(), std::vector<Entry>{MakeEntry(u"Import", u"a\uFEFF", u"b")});
}

TEST_F(CsvReaderTest, SkippingIdenticalRecordsLeavesOutWhatTheDatabaseHoldsAndCountsIt)
{
    struct Case
    {
        IdenticalEntries identical;
        std::size_t added;
        std::size_t renamed;
        std::size_t skipped;
        std::size_t size;
    };
    for (const Case& expected : {Case{IdenticalEntries::Add, 0, 2, 0, 4}, Case{IdenticalEntries::Skip, 0, 0, 2, 2}}) {
        database.Clear();
        ASSERT_TRUE(Import(WorkedExample, workedExampleOptions));
        CsvImportOptions options = workedExampleOptions;
        options.identical = expected.identical;
        ImportCounts counts;
        const auto path = folder / "in.csv";
        ASSERT_TRUE(ImportCsv(database, path, options, counts));
        EXPECT_EQ(counts.added, expected.added);
        EXPECT_EQ(counts.renamed, expected.renamed);
        EXPECT_EQ(counts.skipped, expected.skipped);
        EXPECT_EQ(database.Size(), expected.size);
    }
    EXPECT_TRUE(recorder.messages.empty());
}
} // namespace
