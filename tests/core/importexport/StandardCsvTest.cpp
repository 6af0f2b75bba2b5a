#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/importexport/StandardCsv.h"

namespace {
using Records = std::vector<std::vector<std::u16string>>;

Records Read(std::u16string_view text)
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
    const std::vector<std::pair<std::u16string_view, Records>> cases = {
        {u"a,b\r\nc,d", {{u"a", u"b"}, {u"c", u"d"}}},
        {u"\uFEFFa,\"b,c\"\n", {{u"a", u"b,c"}}},
        {u"\"say \"\"hi\"\"\",\"\"\n", {{u"say \"hi\"", u""}}},
        {u"\"two\r\nlines\",x\n\nnext,\n", {{u"two\r\nlines", u"x"}, {u"next", u""}}},
        {u"in\"side,lone\rreturn\n", {{u"in\"side", u"lone\rreturn"}}},
        {u",\n", {{u"", u""}}},
        {u"", {}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Read(text), expected) << SecureToUtf8(SecureString(text));
    }
}

TEST(StandardCsvTest, ABrokenQuoteNamesItsLine)
{
    const std::vector<std::pair<std::u16string_view, std::size_t>> cases = {
        {u"a,\"never closed\nb,c\n", 1},
        {u"a,b\n\"x\nx\",y\n\"z\"tail,w\n", 4},
        {u"a\r\nb,\"c\"\"\r\n", 2},
    };
    for (const auto& [text, line] : cases) {
        try {
            Read(text);
            ADD_FAILURE() << SecureToUtf8(SecureString(text));
        } catch (const StandardCsvBrokenQuote& broken) {
            EXPECT_EQ(broken.line, line) << SecureToUtf8(SecureString(text));
        }
    }
}
} // namespace
