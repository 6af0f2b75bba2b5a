#include "core/settings/ProfileReader.h"

#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "support/TempDir.h"

namespace {
ProfileReader Read(std::u16string_view text)
{
    return ProfileReader(text);
}

TEST(ProfileReaderGrammarTest, SectionsAndKeysIgnoreLetterCase)
{
    const auto reader = Read(u"[Language]\nLang_EN=German\n[TEXT]\n13=Optionen\n");
    EXPECT_EQ(reader.Value(u"language", u"lang_en"), u"German");
    EXPECT_EQ(reader.Value(u"LANGUAGE", u"LANG_EN"), u"German");
    EXPECT_EQ(reader.Value(u"Text", u"13"), u"Optionen");
    EXPECT_TRUE(reader.HasSection(u"text"));
    EXPECT_FALSE(reader.HasSection(u"Other"));
}

TEST(ProfileReaderGrammarTest, WhiteSpaceAroundNamesAndValuesIsDropped)
{
    const auto reader = Read(u"  [ Text ]  \n\t 13 \t=  Optionen  \t\n20=Zeigen und  mehr\n");
    EXPECT_EQ(reader.Value(u"Text", u"13"), u"Optionen");
    EXPECT_EQ(reader.Value(u"Text", u"20"), u"Zeigen und  mehr");
}

TEST(ProfileReaderGrammarTest, OnePairOfMatchingQuotesIsRemoved)
{
    const auto reader = Read(u"[T]\na=\"quoted \"\nb='single'\nc=\"mixed'\nd=\"\"\"x\"\"\"\ne=\"\ng=''\n");
    EXPECT_EQ(reader.Value(u"T", u"a"), u"quoted ");
    EXPECT_EQ(reader.Value(u"T", u"b"), u"single");
    EXPECT_EQ(reader.Value(u"T", u"c"), u"\"mixed'");
    EXPECT_EQ(reader.Value(u"T", u"d"), u"\"\"x\"\"");
    EXPECT_EQ(reader.Value(u"T", u"e"), u"\"");
    EXPECT_EQ(reader.Value(u"T", u"g"), u"");
}

TEST(ProfileReaderGrammarTest, FirstOccurrenceCounts)
{
    const auto reader = Read(u"[T]\nk=first\nK=second\n[t]\nk=third\nother=later\n");
    EXPECT_EQ(reader.Value(u"T", u"k"), u"first");
    // A repeated section adds nothing, as the first section of a name is the one searched.
    EXPECT_EQ(reader.Value(u"T", u"other"), std::nullopt);
}

TEST(ProfileReaderGrammarTest, EmptyValueIsAValueAndMissingKeyIsNot)
{
    const auto reader = Read(u"[T]\nempty=\nblank=   \n");
    EXPECT_EQ(reader.Value(u"T", u"empty"), u"");
    EXPECT_EQ(reader.Value(u"T", u"blank"), u"");
    EXPECT_EQ(reader.Value(u"T", u"missing"), std::nullopt);
    EXPECT_EQ(reader.Value(u"Missing", u"empty"), std::nullopt);
}

TEST(ProfileReaderGrammarTest, LinesWithoutSectionOrEqualsAreIgnored)
{
    const auto reader = Read(u"orphan=1\n[T]\njust words\n; comment=no\nk=a=b\n");
    EXPECT_EQ(reader.Value(u"T", u"orphan"), std::nullopt);
    EXPECT_EQ(reader.Value(u"T", u"just words"), std::nullopt);
    EXPECT_EQ(reader.Value(u"T", u"comment"), std::nullopt);
    EXPECT_EQ(reader.Value(u"T", u"k"), u"a=b");
}

TEST(ProfileReaderGrammarTest, AnyLineEnd)
{
    const auto reader = Read(u"[T]\r\na=1\r\nb=2\rc=3\nd=4");
    EXPECT_EQ(reader.Value(u"T", u"a"), u"1");
    EXPECT_EQ(reader.Value(u"T", u"b"), u"2");
    EXPECT_EQ(reader.Value(u"T", u"c"), u"3");
    EXPECT_EQ(reader.Value(u"T", u"d"), u"4");
}

TEST(ProfileReaderGrammarTest, ValuesAreCutAt1023Characters)
{
    const std::u16string longValue(5000, u'x');
    const auto reader = Read(u"[T]\nk=" + longValue + u"\nq=\"" + longValue + u"\"\n");
    EXPECT_EQ(reader.Value(u"T", u"k"), std::u16string(1023, u'x'));
    EXPECT_EQ(reader.Value(u"T", u"q"), std::u16string(1023, u'x'));
}

TEST(ProfileReaderGrammarTest, CutDoesNotSplitACharacter)
{
    const std::u16string value = std::u16string(1022, u'x') + u"\U0001F600" + u"tail";
    const auto read = Read(u"[T]\nk=" + value).Value(u"T", u"k");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, std::u16string(1022, u'x'));
}

class ProfileReaderFileTest : public testing::Test
{
protected:
    ProfileReader FromFile(const std::string& bytes)
    {
        WriteFileBytes(folder / "file.lng", bytes);
        return ProfileReader::FromFile(folder / "file.lng");
    }

    TempDir folder;
};

TEST_F(ProfileReaderFileTest, Utf16WithByteOrderMark)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t character :
         std::u16string(u"[Language]\r\nlang_native=\u0420\u0443\u0441\u0441\u043A\u0438\u0439\r\n")) {
        bytes.push_back(static_cast<char>(character & 0xFF));
        bytes.push_back(static_cast<char>(character >> 8));
    }
    EXPECT_EQ(FromFile(bytes).Value(u"Language", u"lang_native"), u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439");
}

TEST_F(ProfileReaderFileTest, Utf16BigEndianWithByteOrderMark)
{
    std::string bytes = "\xFE\xFF";
    for (char16_t character : std::u16string(u"[L]\nk=\u00E9")) {
        bytes.push_back(static_cast<char>(character >> 8));
        bytes.push_back(static_cast<char>(character & 0xFF));
    }
    EXPECT_EQ(FromFile(bytes).Value(u"L", u"k"), u"\u00E9");
}

TEST_F(ProfileReaderFileTest, EightBitTextIsUtf8WithOrWithoutSignature)
{
    EXPECT_EQ(FromFile("[L]\nk=Deutsch \xC3\xBC").Value(u"L", u"k"), u"Deutsch \u00FC");
    EXPECT_EQ(FromFile("\xEF\xBB\xBF[L]\nk=v").Value(u"L", u"k"), u"v");
}

TEST_F(ProfileReaderFileTest, IllFormedBytesBecomeReplacementCharacters)
{
    EXPECT_EQ(FromFile("[L]\nk=a\xFF"
                       "b\xC3")
                  .Value(u"L", u"k"),
              u"a\uFFFDb\uFFFD");
}

TEST_F(ProfileReaderFileTest, MissingOrUnreadableFileHasNoSections)
{
    EXPECT_FALSE(ProfileReader::FromFile(folder / "absent.lng").HasSection(u"Language"));
    EXPECT_FALSE(ProfileReader::FromFile(folder.Path()).HasSection(u"Language"));
}

TEST_F(ProfileReaderFileTest, BinaryFileDoesNotCrash)
{
    std::string noise;
    std::uint32_t state = 99;
    for (int i = 0; i < 1 << 20; ++i) {
        state = state * 1664525 + 1013904223;
        noise.push_back(static_cast<char>(state >> 24));
    }
    noise += "\n[Text]\n5=found\n";
    const auto reader = FromFile(noise);
    EXPECT_EQ(reader.Value(u"Text", u"5"), u"found");
}

TEST_F(ProfileReaderFileTest, OnlyTheBeginningOfAHugeFileIsRead)
{
    std::string bytes = "[Text]\n1=early\n";
    bytes += std::string(MaxProfileFileSize, ';');
    bytes += "\n2=late\n";
    const auto reader = FromFile(bytes);
    EXPECT_EQ(reader.Value(u"Text", u"1"), u"early");
    EXPECT_EQ(reader.Value(u"Text", u"2"), std::nullopt);
}
} // namespace
