#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/importexport/StandardCsv.h"

namespace {
using Records = std::vector<std::vector<std::u16string>>;

Records Read(std::string_view text)
{
    Records records;
    ReadStandardCsv(text, [&](std::span<SecureString> fields) {
        records.emplace_back();
        for (const SecureString& field : fields) {
            records.back().emplace_back(field);
        }
    });
    return records;
}

TEST(StandardCsvTest, ReadsQuotedAndUnquotedFieldsAcrossLineEnds)
{
    const std::vector<std::pair<std::string_view, Records>> cases = {
        {"a,b\r\nc,d", {{u"a", u"b"}, {u"c", u"d"}}},
        {"\uFEFFa,\"b,c\"\n", {{u"a", u"b,c"}}},
        {"\"say \"\"hi\"\"\",\"\"\n", {{u"say \"hi\"", u""}}},
        {"\"two\r\nlines\",x\n\nnext,\n", {{u"two\r\nlines", u"x"}, {u"next", u""}}},
        {"in\"side,lone\rreturn\n", {{u"in\"side", u"lone\rreturn"}}},
        {",\n", {{u"", u""}}},
        {"", {}},
        // Values are decoded as they are copied: German, Russian, an emoji, right-to-left text.
        {"Gr\u00FC\u00DFe,\"\u041F\u0440\u0438\u0432\u0435\u0442, \U0001F600\"\n\u05E9\u05DC\u05D5\u05DD\n",
         {{u"Gr\u00FC\u00DFe", u"\u041F\u0440\u0438\u0432\u0435\u0442, \U0001F600"}, {u"\u05E9\u05DC\u05D5\u05DD"}}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Read(text), expected) << text;
    }
}

TEST(StandardCsvTest, ABrokenQuoteNamesItsLine)
{
    const std::vector<std::pair<std::string_view, std::size_t>> cases = {
        {"a,\"never closed\nb,c\n", 1},
        {"a,b\n\"x\nx\",y\n\"z\"tail,w\n", 4},
        {"a\r\nb,\"c\"\"\r\n", 2},
    };
    for (const auto& [text, line] : cases) {
        try {
            Read(text);
            ADD_FAILURE() << text;
        } catch (const StandardCsvBrokenQuote& broken) {
            EXPECT_EQ(broken.line, line) << text;
        }
    }
}

TEST(StandardCsvTest, AReaderComesBackToARecordAndCopiesOnlyTheWantedColumns)
{
    // A skipped column is checked like any other: its broken quote is still found.
    const std::string text = "\uFEFFh1,h2\r\n\r\n\"a\"\"1\",\"b\nb\"\r\nc,d\n";
    StandardCsvReader reader(text);
    ASSERT_TRUE(reader.Next());
    std::vector<std::size_t> starts;
    std::vector<std::vector<std::u16string>> masked;
    for (std::size_t start = reader.Position(); const auto record = reader.Next({false, true});
         start = reader.Position()) {
        starts.push_back(start);
        masked.push_back({std::u16string((*record)[0]), std::u16string((*record)[1])});
    }
    EXPECT_EQ(masked, (std::vector<std::vector<std::u16string>>{{u"", u"b\nb"}, {u"", u"d"}}));
    const std::vector<std::vector<std::u16string>> whole = {{u"a\"1", u"b\nb"}, {u"c", u"d"}};
    for (std::size_t i = starts.size(); i-- > 0;) {
        reader.MoveTo(starts[i]);
        const auto record = reader.Next();
        ASSERT_TRUE(record);
        EXPECT_EQ(std::vector<std::u16string>((*record).begin(), (*record).end()), whole[i]);
    }
    StandardCsvReader broken("a,\"b\"x\n");
    EXPECT_THROW(broken.Next({true, false}), StandardCsvBrokenQuote);
}
} // namespace
