#include <gtest/gtest.h>

#include "core/common/Utf.h"

namespace {
const std::vector<std::pair<std::string_view, std::u16string_view>> WellFormed = {
    {"", u""},
    {"plain \"text\"\r\n", u"plain \"text\"\r\n"},
    {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80!", u"\u00E9\u20AC\U0001F600!"},
    {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3)},
};

const std::string_view IllFormed[] = {"\x80",
                                      "a\xC3",
                                      "\xC3(",
                                      "\xC0\xAF",
                                      "\xE0\x80\xAF",
                                      "\xED\xA0\x80",
                                      "\xF4\x90\x80\x80",
                                      "\xF8\x88\x80\x80\x80",
                                      "\xFF",
                                      "ok\xE2\x82"};

// Appended after text that is there already, as a reader appends the pieces of a value.
std::u16string Appended(std::string_view bytes)
{
    SecureString out(u"x");
    AppendUtf8ToSecure(out, bytes);
    return std::u16string(out.begin(), out.end());
}

TEST(Utf8StrictTest, DecodesAsciiMultiByteAndAstralCharacters)
{
    for (const auto& [bytes, text] : WellFormed) {
        EXPECT_EQ(DecodeUtf8Strict(bytes), std::u16string(text)) << testing::PrintToString(bytes);
        EXPECT_TRUE(IsWellFormedUtf8(bytes)) << testing::PrintToString(bytes);
        EXPECT_EQ(Appended(bytes), u"x" + std::u16string(text)) << testing::PrintToString(bytes);
    }
}

// Appending is lenient: each bad byte is one U+FFFD, as in Utf8ToUtf16.
TEST(Utf8StrictTest, RefusesEveryIllFormedSequence)
{
    for (const std::string_view bad : IllFormed) {
        EXPECT_FALSE(DecodeUtf8Strict(bad).has_value()) << testing::PrintToString(bad);
        EXPECT_FALSE(IsWellFormedUtf8(bad)) << testing::PrintToString(bad);
        EXPECT_EQ(Appended(bad), u"x" + Utf8ToUtf16(bad)) << testing::PrintToString(bad);
    }
    EXPECT_EQ(Appended("a\xFF\xC3\xA9\xE2\x82"), u"xa\uFFFD\u00E9\uFFFD\uFFFD");
}
} // namespace
