#include "core/settings/XML.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {
class XmlDocumentTest : public testing::Test
{
protected:
    std::filesystem::path Write(const std::string& bytes, const std::string& name = "Lockmere.xml")
    {
        WriteFileBytes(folder / name, bytes);
        return folder / name;
    }

    std::u16string SavedValue(const std::filesystem::path& path, std::u16string_view key)
    {
        CXML reread;
        EXPECT_TRUE(reread.LoadFile(path));
        return reread.GetValue(u"Options/" + std::u16string(key)).value_or(u"<none>");
    }

    TempDir folder;
};

TEST_F(XmlDocumentTest, MissingElementGivesNoValue)
{
    CXML document;
    ASSERT_TRUE(document.LoadFile(Write("<?xml version='1.0'?><Options><fLastDB>1</fLastDB></Options>")));
    EXPECT_EQ(document.GetValue(u"Options/fTop"), std::nullopt);
    EXPECT_EQ(document.GetValue(u"Options/fLastDB"), u"1");
}

TEST_F(XmlDocumentTest, EmptyElementGivesEmptyText)
{
    CXML document;
    ASSERT_TRUE(document.LoadFile(Write("<Options><fTop></fTop><LastPath/></Options>")));
    EXPECT_EQ(document.GetValue(u"Options/fTop"), u"");
    EXPECT_EQ(document.GetValue(u"Options/LastPath"), u"");
}

TEST_F(XmlDocumentTest, PathStartsAtTheRootElement)
{
    CXML document;
    ASSERT_TRUE(document.LoadFile(Write("<Settings><fTop>1</fTop></Settings>")));
    EXPECT_EQ(document.GetValue(u"Options/fTop"), std::nullopt);
    EXPECT_EQ(document.GetValue(u"Settings/fTop"), u"1");
    EXPECT_EQ(document.GetValue(u"fTop"), std::nullopt);
}

TEST_F(XmlDocumentTest, FirstOfTwoElementsIsRead)
{
    CXML document;
    ASSERT_TRUE(document.LoadFile(Write("<Options><fTop>1</fTop><fTop>0</fTop></Options>")));
    EXPECT_EQ(document.GetValue(u"Options/fTop"), u"1");
}

TEST_F(XmlDocumentTest, ValueIsTheWholeTextOfTheElement)
{
    CXML document;
    ASSERT_TRUE(document.LoadFile(
        Write("<Options><LastPath>/home/<!-- note -->a<![CDATA[&b]]></LastPath><Language> </Language></Options>")));
    EXPECT_EQ(document.GetValue(u"Options/LastPath"), u"/home/a&b");
    EXPECT_EQ(document.GetValue(u"Options/Language"), u" ");
}

TEST_F(XmlDocumentTest, ReadsAnyLayoutWithCommentsAndCrLf)
{
    CXML document;
    ASSERT_TRUE(document.LoadFile(Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- mine -->\r\n<Options>\r\n"
                                        "\t<fTop>1</fTop>\r\n  <Language>Deutsch \xE2\x80\x94 de</Language>\r\n"
                                        "</Options>\r\n")));
    EXPECT_EQ(document.GetValue(u"Options/fTop"), u"1");
    EXPECT_EQ(document.GetValue(u"Options/Language"), u"Deutsch \u2014 de");
}

TEST_F(XmlDocumentTest, ReadsUtf16AndDeclaredEightBitFiles)
{
    std::string utf16 = "\xFF\xFE";
    for (char character : std::string("<Options><fTop>7</fTop></Options>")) {
        utf16 += character;
        utf16 += '\0';
    }
    CXML wide;
    ASSERT_TRUE(wide.LoadFile(Write(utf16)));
    EXPECT_EQ(wide.GetValue(u"Options/fTop"), u"7");

    CXML latin;
    ASSERT_TRUE(latin.LoadFile(Write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Options><Language>Fran\xE7"
                                     "ais</Language></Options>")));
    EXPECT_EQ(latin.GetValue(u"Options/Language"), u"Fran\u00E7ais");
}

TEST_F(XmlDocumentTest, MissingFileGivesFalse)
{
    CXML document;
    EXPECT_FALSE(document.LoadFile(folder / "absent.xml"));
    EXPECT_FALSE(document.LoadFile(folder.Path()));
    EXPECT_EQ(document.GetValue(u"Options"), std::nullopt);
}

TEST_F(XmlDocumentTest, MalformedFilesGiveFalseAndNoValues)
{
    const std::string malformed[] = {
        "",
        "plain text, no markup",
        "<Options><fTop>1</fTop>",
        "<Options><fTop>1</Options>",
        "<Options><fTop>1</fTop></Options><Options/>",
        "junk before<Options><fTop>1</fTop></Options>",
        "<Options><fTop>1</fTop></Options>junk after",
        std::string("\x00\x01\x02\xFF<Options>\x00</Options>", 21),
        "<Options>" + std::string(100000, '<') + "a>",
        "<Options><fTop>" +
            [] {
                std::string open;
                for (int i = 0; i < 100000; ++i) {
                    open += "<a>";
                }
                return open;
            }(),
    };
    for (const std::string& bytes : malformed) {
        CXML document;
        EXPECT_FALSE(document.LoadFile(Write(bytes))) << bytes;
        EXPECT_EQ(document.GetValue(u"Options/fTop"), std::nullopt) << bytes;
    }
}

class XmlWriteTest : public XmlDocumentTest
{};

TEST_F(XmlWriteTest, PlainTextFileBecomesTheValuesWrittenInOrder)
{
    const auto path = Write("this is not XML");
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"fTop", u"1");
    document.SetValue(u"LastPath", u"/x");
    document.SetValue(u"fLastDB", u"0");
    document.Save(path);

    CXML reread;
    ASSERT_TRUE(reread.LoadFile(path));
    const std::string saved = ReadFileBytes(path);
    EXPECT_LT(saved.find("<fTop>1</fTop>"), saved.find("<LastPath>/x</LastPath>"));
    EXPECT_LT(saved.find("<LastPath>/x</LastPath>"), saved.find("<fLastDB>0</fLastDB>"));
    EXPECT_EQ(saved.find("this is not XML"), std::string::npos);
    EXPECT_EQ(reread.GetValue(u"Options/fLastDB"), u"0");

    pugi::xml_document parsed;
    ASSERT_TRUE(parsed.load_string(saved.c_str()));
    std::vector<std::string> names;
    for (pugi::xml_node child : parsed.child("Options").children()) {
        names.emplace_back(child.name());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"fTop", "LastPath", "fLastDB"}));
}

TEST_F(XmlWriteTest, SavedDocumentIsUtf8WithoutEncodingName)
{
    const auto path = folder / "new.xml";
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"Language", u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439");
    document.Save(path);
    const std::string saved = ReadFileBytes(path);
    EXPECT_TRUE(saved.starts_with("<?xml version=\"1.0\"?>")) << saved;
    EXPECT_NE(saved.find("\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9"), std::string::npos);
    EXPECT_EQ(SavedValue(path, u"Language"), u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439");
}

TEST_F(XmlWriteTest, RootOtherThanOptionsIsLeftUnchanged)
{
    const auto path = Write("<Settings><a>1</a></Settings>");
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"fTop", u"1");
    document.Save(path);

    CXML reread;
    ASSERT_TRUE(reread.LoadFile(path));
    EXPECT_EQ(reread.GetValue(u"Settings/a"), u"1");
    EXPECT_EQ(reread.GetValue(u"Settings/fTop"), std::nullopt);
    EXPECT_EQ(ReadFileBytes(path).find("fTop"), std::string::npos);
}

TEST_F(XmlWriteTest, DuplicateKeyChangesOnlyTheFirst)
{
    const auto path = Write("<Options><fTop>0</fTop><fTop>0</fTop></Options>");
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"fTop", u"1");
    document.Save(path);
    const std::string saved = ReadFileBytes(path);
    EXPECT_NE(saved.find("<fTop>1</fTop>"), std::string::npos);
    EXPECT_NE(saved.find("<fTop>0</fTop>"), std::string::npos);
    EXPECT_LT(saved.find("<fTop>1</fTop>"), saved.find("<fTop>0</fTop>"));
}

TEST_F(XmlWriteTest, SetValueReplacesTheWholeContent)
{
    const auto path = Write("<Options><LastPath>a<!-- c --><x>b</x></LastPath></Options>");
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"LastPath", u"/new");
    document.Save(path);
    EXPECT_EQ(SavedValue(path, u"LastPath"), u"/new");
    EXPECT_EQ(ReadFileBytes(path).find("<x>"), std::string::npos);
}

TEST_F(XmlWriteTest, ReservedCharactersRoundTrip)
{
    const auto path = folder / "escaped.xml";
    const std::u16string value = u"/home/a&b/<c>/\"d\"/'e'/]]>";
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"LastPath", value);
    document.Save(path);
    const std::string saved = ReadFileBytes(path);
    EXPECT_NE(saved.find("&amp;"), std::string::npos);
    EXPECT_NE(saved.find("&lt;"), std::string::npos);
    EXPECT_EQ(SavedValue(path, u"LastPath"), value);
}

TEST_F(XmlWriteTest, ForeignElementsAndCommentsAreKept)
{
    const auto path = Write("<Options><!-- keep me --><Other>x</Other><fTop>0</fTop></Options>");
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"fTop", u"1");
    document.SetValue(u"fNew", u"5");
    document.Save(path);
    const std::string saved = ReadFileBytes(path);
    EXPECT_NE(saved.find("<!-- keep me -->"), std::string::npos);
    EXPECT_EQ(SavedValue(path, u"Other"), u"x");
    EXPECT_LT(saved.find("<fTop>1</fTop>"), saved.find("<fNew>5</fNew>"));
}

TEST_F(XmlWriteTest, InvalidUtf8IsRepairedOnSave)
{
    const auto path = Write("<Options><Other>a\xFF\xFE"
                            "b</Other><Language>x\xC3</Language></Options>");
    CXML document;
    document.LoadOrCreate(path);
    EXPECT_EQ(document.GetValue(u"Options/Language"), u"x\uFFFD");
    document.SetValue(u"fTop", u"1");
    document.Save(path);
    const std::string saved = ReadFileBytes(path);
    EXPECT_EQ(saved.find('\xFF'), std::string::npos);
    EXPECT_EQ(SavedValue(path, u"Other"), u"a\uFFFD\uFFFDb");
}

TEST_F(XmlWriteTest, DeeplyNestedFileDoesNotCrash)
{
    std::string nested = "<Options><fTop>";
    for (int i = 0; i < 200000; ++i) {
        nested += "<a>";
    }
    nested += "1";
    for (int i = 0; i < 200000; ++i) {
        nested += "</a>";
    }
    nested += "</fTop></Options>";
    const auto path = Write(nested);
    CXML document;
    document.LoadOrCreate(path);
    EXPECT_EQ(document.GetValue(u"Options/fTop"), u"1");
    document.SetValue(u"fTop", u"0");
    document.Save(path);
    EXPECT_EQ(SavedValue(path, u"fTop"), u"0");
}

class XmlSaveFailureTest : public XmlDocumentTest
{};

TEST_F(XmlSaveFailureTest, MissingFolderThrowsTheSaveMessage)
{
    CXML document;
    document.LoadOrCreate(folder / "absent" / "Lockmere.xml");
    document.SetValue(u"fTop", u"1");
    try {
        document.Save(folder / "absent" / "Lockmere.xml");
        FAIL() << "saved into a missing folder";
    } catch (const XmlError& error) {
        EXPECT_EQ(error.Message(), u"Unable to save XML document.");
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "absent"));
}

TEST_F(XmlSaveFailureTest, ReadOnlyFileIsNotReplaced)
{
    const std::string original = "<Options><fTop>0</fTop></Options>";
    const auto path = Write(original);
    ::chmod(path.c_str(), 0400);
    CXML document;
    document.LoadOrCreate(path);
    document.SetValue(u"fTop", u"1");
    EXPECT_THROW(document.Save(path), XmlError);
    EXPECT_EQ(ReadFileBytes(path), original);
}
} // namespace
