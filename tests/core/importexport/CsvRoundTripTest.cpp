#include <gtest/gtest.h>

#include <random>

#include "EntryTestHelpers.h"
#include "core/importexport/CsvFormat.h"

namespace {
// Pieces that stress the format: quotes, delimiters, every kind of line break, tabs, non-ASCII and astral
// characters, and the single code units of the database's field terminator.
const std::u16string_view Pieces[] = {
    u"a",    u"Z",    u"0",    u" ",      u"\"",     u"\"\"",   u",",      u";",          u"\t",         u"\r",
    u"\n",   u"\r\n", u"\n\r", u"\u00E9", u"\u00DF", u"\u4E2D", u"\u20AC", u"\U0001F600", u"\U00010348", u"\x07",
    u"\x01", u"\x05", u"\\",   u"'",      u"\uFEFF", u"<b>",    u"&amp;",  u"word"};

class CsvRoundTripTest : public ImportExportTest
{
protected:
    SecureString RandomValue(std::mt19937& random)
    {
        std::uniform_int_distribution<int> length(0, 12);
        std::uniform_int_distribution<std::size_t> piece(0, std::size(Pieces) - 1);
        SecureString value;
        for (int count = length(random); count > 0; --count) {
            const std::u16string_view next = Pieces[piece(random)];
            // Keep the three terminator units from meeting in their order: no entry may hold that sequence.
            value.append(next.begin(), next.end());
            if (value.find(u"\x07\x01\x05") != SecureString::npos) {
                value.resize(value.size() - next.size());
            }
        }
        return value;
    }
};

TEST_F(CsvRoundTripTest, ThousandRandomEntriesSurviveExportAndImportExactly)
{
    std::mt19937 random(1208);
    while (database.Size() < 1000) {
        Entry entry;
        for (int field = 0; field < EntryFieldCount; ++field) {
            FieldOf(entry, static_cast<EntryField>(field)) = RandomValue(random);
        }
        database.Insert(entry.Key(), entry.Fields());
    }
    const auto path = folder / "all.csv";
    ASSERT_TRUE(ExportCsv(database, path, {}));

    CDataBase imported(recorder, texts);
    CsvImportOptions options;
    options.header = true;
    ASSERT_TRUE(ImportCsv(imported, path, options));

    EXPECT_TRUE(recorder.messages.empty());
    ASSERT_EQ(imported.Size(), database.Size());
    auto original = database.begin();
    for (const auto& item : imported) {
        EXPECT_EQ(ToEntry(item), ToEntry(*original));
        ++original;
    }
}

TEST_F(CsvRoundTripTest, SelectedFieldsWithAnyDelimiterComeBackInPlace)
{
    AddEntry(MakeEntry(u"Web", u"Shop, \"best\"", u"ann", u"p;w\td", u"https://x", u"line 1\r\nline 2"));
    for (const std::u16string delimiter : {u",", u";", u"\t", u" ", u"|"}) {
        CsvExportOptions exportOptions;
        exportOptions.fields = {true, true, false, true, false, true};
        exportOptions.delimiter = delimiter;
        const auto path = folder / "some.csv";
        ASSERT_TRUE(ExportCsv(database, path, exportOptions));

        CDataBase imported(recorder, texts);
        CsvImportOptions importOptions;
        importOptions.header = true;
        importOptions.fieldNumbers = {1, 2, -1, 3, -1, 4};
        ASSERT_TRUE(ImportCsv(imported, path, importOptions));
        EXPECT_EQ(ToEntry(*imported.begin()),
                  MakeEntry(u"Web", u"Shop, \"best\"", u"", u"p;w\td", u"", u"line 1\r\nline 2"));
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CsvRoundTripTest, EmptyDelimiterReadsBackWrongly)
{
    AddEntry(MakeEntry(u"g", u"t"));
    CsvExportOptions exportOptions;
    exportOptions.header = false;
    exportOptions.fields = {true, true, false, false, false, false};
    exportOptions.delimiter = u"";
    ASSERT_TRUE(ExportCsv(database, folder / "joined.csv", exportOptions));

    CDataBase imported(recorder, texts);
    CsvImportOptions importOptions;
    importOptions.fieldNumbers = {1, -1, -1, -1, -1, -1};
    ASSERT_TRUE(ImportCsv(imported, folder / "joined.csv", importOptions));
    EXPECT_EQ(ToEntry(*imported.begin()), MakeEntry(u"g\"t", u""));
}
} // namespace
