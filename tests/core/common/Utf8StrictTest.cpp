#include <gtest/gtest.h>

#include "core/common/Utf.h"

namespace {
TEST(Utf8StrictTest, DecodesAsciiMultiByteAndAstralCharacters)
{
    EXPECT_EQ(DecodeUtf8Strict(""), std::u16string());
    EXPECT_EQ(DecodeUtf8Strict("plain \"text\"\r\n"), u"plain \"text\"\r\n");
    EXPECT_EQ(DecodeUtf8Strict("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80!"), u"\u00E9\u20AC\U0001F600!");
    EXPECT_EQ(DecodeUtf8Strict("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(DecodeUtf8Strict(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Utf8StrictTest, RefusesEveryIllFormedSequence)
{
    for (const std::string_view bad : {"\x80", "a\xC3", "\xC3(", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                       "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF", "ok\xE2\x82"}) {
        EXPECT_FALSE(DecodeUtf8Strict(bad).has_value()) << testing::PrintToString(bad);
    }
}
} // namespace
