#include "core/settings/Translate.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/common/Utf.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/ProfileReader.h"
#include "support/TempDir.h"

namespace {
class TranslateTest : public testing::Test
{
protected:
    void AddFile(const std::string& name, const std::string& text) { WriteFileBytes(programFolder / name, text); }

    static std::string LanguageFile(const std::string& english, const std::string& native, const std::string& texts)
    {
        return "[Language]\nlang_en=" + english + "\nlang_native=" + native + "\n[Text]\n" + texts;
    }

    void ExpectBuiltinTexts() const
    {
        ASSERT_EQ(translate.Count(), static_cast<std::size_t>(BuiltinTextCount));
        for (int id = 0; id < BuiltinTextCount; ++id) {
            EXPECT_EQ(translate.Text(id), BuiltinText(id)) << id;
        }
    }

    TempDir programFolder;
    CTranslate translate{programFolder.Path()};
};

TEST_F(TranslateTest, TableIsEmptyUntilTheFirstLoad)
{
    EXPECT_EQ(translate.Count(), 0u);
    EXPECT_THROW(translate.Text(0), std::invalid_argument);
}

TEST_F(TranslateTest, TextBeyondTheTableIsAnInvalidArgument)
{
    translate.Load(u"");
    EXPECT_THROW(translate.Text(BuiltinTextCount), std::invalid_argument);
    EXPECT_THROW(translate.Text(-1), std::invalid_argument);
    EXPECT_EQ(translate.Text(BuiltinTextCount - 1), BuiltinText(BuiltinTextCount - 1));
}

TEST_F(TranslateTest, EmptyLanguageGivesTheBuiltinTextsEvenWithFiles)
{
    AddFile("German.lng", LanguageFile("German", "Deutsch", "0=Abbrechen\n"));
    translate.Load(u"");
    ExpectBuiltinTexts();
}

TEST_F(TranslateTest, NoFilesGiveTheBuiltinTexts)
{
    translate.Load(u"German");
    ExpectBuiltinTexts();
}

TEST_F(TranslateTest, MatchingFileReplacesTheTextsItHas)
{
    AddFile("German.lng",
            LanguageFile("German", "Deutsch", "0=Abbrechen\n8=Das Programm l\xC3\xA4uft bereits.\n12=frei\n"));
    translate.Load(u"German");
    ASSERT_EQ(translate.Count(), static_cast<std::size_t>(BuiltinTextCount));
    EXPECT_EQ(translate.Text(0), u"Abbrechen");
    EXPECT_EQ(translate.Text(8), u"Das Programm l\u00E4uft bereits.");
    EXPECT_EQ(translate.Text(12), u"frei");
    EXPECT_EQ(translate.Text(38), u"Invalid password.");
}

TEST_F(TranslateTest, LanguageCodeIsTheLoadedFilesOwn)
{
    AddFile("German.lng", "[Language]\nlang_en=German\nlang_code=de\n");
    AddFile("Russian.lng", "[Language]\nlang_en=Russian\n LANG_CODE = \"ru\" \n");
    AddFile("Klingon.lng", "[Language]\nlang_en=Klingon\n");
    struct Case
    {
        std::u16string language;
        std::u16string code;
    };
    // Each load replaces the code of the one before, also by none.
    for (const Case& c : {Case{u"German", u"de"}, Case{u"Klingon", u""}, Case{u"Russian", u"ru"}, Case{u"", u""},
                          Case{u"Russian", u"ru"}, Case{u"French", u""}}) {
        translate.Load(c.language);
        EXPECT_EQ(translate.LanguageCode(), c.code) << Utf16ToUtf8(c.language);
    }
}

TEST_F(TranslateTest, LanguageNamesMatchWithLetterCase)
{
    AddFile("Russian.lng", LanguageFile("russian", "Russkij", "0=Otmena\n"));
    translate.Load(u"Russian");
    ExpectBuiltinTexts();
}

TEST_F(TranslateTest, EscapesBecomeTabsAndLineBreaks)
{
    AddFile("Test.lng",
            LanguageFile("Test", "Test", "1=two\\nlines\n2=back\\\\nslash\n3=a\\tb\n4=\\\\t\\n\n5=\\x\\\n"));
    translate.Load(u"Test");
    EXPECT_EQ(translate.Text(1), u"two\nlines");
    EXPECT_EQ(translate.Text(2), u"back\\\nslash");
    EXPECT_EQ(translate.Text(3), u"a\tb");
    EXPECT_EQ(translate.Text(4), u"\\\t\n");
    EXPECT_EQ(translate.Text(5), u"\\x\\");
}

TEST_F(TranslateTest, EmptyValueIsAnEmptyText)
{
    AddFile("Test.lng", LanguageFile("Test", "Test", "13=\n"));
    translate.Load(u"Test");
    EXPECT_EQ(translate.Text(13), u"");
}

TEST_F(TranslateTest, QuotedValueKeepsItsTrailingBlank)
{
    AddFile("Test.lng", LanguageFile("Test", "Test", "102=\"Immer oben \"\n"));
    translate.Load(u"Test");
    EXPECT_EQ(translate.Text(102), u"Immer oben ");
}

TEST_F(TranslateTest, ReloadOverwritesInPlace)
{
    AddFile("German.lng", LanguageFile("German", "Deutsch", "0=Abbrechen\n"));
    translate.Load(u"German");
    const std::u16string* first = &translate.Text(0);
    translate.Load(u"");
    EXPECT_EQ(&translate.Text(0), first);
    ExpectBuiltinTexts();
}

TEST_F(TranslateTest, FileWithoutTextSectionGivesBuiltinTextsButIsListed)
{
    AddFile("Empty.lng", "[Language]\nlang_en=Empty\nlang_native=Leer\n");
    translate.Load(u"Empty");
    ExpectBuiltinTexts();
    LanguageList list;
    translate.FillLanguageList(list, u"Empty");
    EXPECT_EQ(list.names, std::vector<std::u16string>{u"Leer"});
    EXPECT_EQ(list.selected, 0);
}

TEST_F(TranslateTest, FileWithoutLanguageSectionIsNamedUnknown)
{
    AddFile("Anon.lng", "[Text]\n0=Anon\n");
    LanguageList list;
    translate.FillLanguageList(list, u"Unknown");
    EXPECT_EQ(list.names, std::vector<std::u16string>{u"Unknown"});
    EXPECT_EQ(list.selected, 0);
    translate.Load(u"Unknown");
    EXPECT_EQ(translate.Text(0), u"Anon");
}

TEST_F(TranslateTest, ValuesAreCutBeforeTheEscapesAreReplaced)
{
    AddFile("Long.lng",
            LanguageFile("Long", "Long", "6=" + std::string(2000, 'a') + "\n7=" + std::string(1022, 'b') + "\\n\n"));
    translate.Load(u"Long");
    EXPECT_EQ(translate.Text(6), std::u16string(1023, u'a'));
    EXPECT_EQ(translate.Text(7), std::u16string(1022, u'b') + u"\\");
}

class LanguageFilesTest : public TranslateTest
{};

TEST_F(LanguageFilesTest, OnlyLanguageFilesInNameOrder)
{
    AddFile("b.lng", "");
    AddFile("a.LNG", "");
    AddFile("c.txt", "");
    AddFile("d.lng.bak", "");
    std::filesystem::create_directory(programFolder / "e.lng");
    std::vector<std::string> names;
    for (const auto& path : translate.LanguageFiles()) {
        EXPECT_EQ(path.parent_path(), programFolder.Path());
        names.push_back(path.filename().string());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.LNG", "b.lng"}));
}

TEST_F(LanguageFilesTest, MissingProgramFolderHasNoFiles)
{
    CTranslate nowhere(programFolder / "absent");
    EXPECT_TRUE(nowhere.LanguageFiles().empty());
    nowhere.Load(u"German");
    EXPECT_EQ(nowhere.Text(0), u"Cancel");
}

TEST_F(LanguageFilesTest, ListHoldsNativeNamesAndSelectsTheCurrentLanguage)
{
    AddFile("German.lng", LanguageFile("German", "Deutsch", ""));
    AddFile("Russian.lng", LanguageFile("Russian", "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", ""));
    LanguageList list;
    list.names = {u"stale"};
    translate.FillLanguageList(list, u"Russian");
    EXPECT_EQ(list.names, (std::vector<std::u16string>{u"Deutsch", u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439"}));
    EXPECT_EQ(list.selected, 1);

    translate.FillLanguageList(list, u"");
    EXPECT_EQ(list.names.size(), 2u);
    EXPECT_EQ(list.selected, -1);
}

TEST_F(LanguageFilesTest, ChoiceStoresTheEnglishNameOfTheFileAtThatPosition)
{
    AddFile("German.lng", LanguageFile("German", "Deutsch", ""));
    AddFile("Russian.lng", LanguageFile("Russian", "Russkij", ""));
    LanguageList list;
    translate.FillLanguageList(list, u"");
    std::u16string language = u"before";
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, u"before");

    list.selected = 0;
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, u"German");
    list.selected = 1;
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, u"Russian");
    list.selected = 2;
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, u"Russian");
}

TEST_F(LanguageFilesTest, FileAddedWhileChoosingShiftsThePositions)
{
    AddFile("German.lng", LanguageFile("German", "Deutsch", ""));
    AddFile("Russian.lng", LanguageFile("Russian", "Russkij", ""));
    LanguageList list;
    translate.FillLanguageList(list, u"");
    list.selected = 1;
    AddFile("French.lng", LanguageFile("French",
                                       "Fran\xC3\xA7"
                                       "ais",
                                       ""));
    std::u16string language;
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, u"German");
}

TEST_F(LanguageFilesTest, ChosenFileWithoutEnglishNameStoresUnknown)
{
    AddFile("Anon.lng", "[Text]\n0=x\n");
    LanguageList list;
    translate.FillLanguageList(list, u"");
    list.selected = 0;
    std::u16string language = u"German";
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, u"Unknown");
}

TEST_F(LanguageFilesTest, TwoFilesWithTheSameNameUseTheFirst)
{
    AddFile("a.lng", LanguageFile("German", "Deutsch", "0=Erste\n"));
    AddFile("b.lng", LanguageFile("German", "Deutsch (2)", "0=Zweite\n"));
    translate.Load(u"German");
    EXPECT_EQ(translate.Text(0), u"Erste");

    LanguageList list;
    translate.FillLanguageList(list, u"German");
    EXPECT_EQ(list.names, (std::vector<std::u16string>{u"Deutsch", u"Deutsch (2)"}));
    for (int position : {0, 1}) {
        list.selected = position;
        std::u16string language;
        translate.ReadLanguageChoice(list, language);
        EXPECT_EQ(language, u"German");
    }
}

class BadLanguageFileTest : public TranslateTest
{
protected:
    void ExpectAllWithinTheLimit() const
    {
        ASSERT_EQ(translate.Count(), static_cast<std::size_t>(BuiltinTextCount));
        for (int id = 0; id < BuiltinTextCount; ++id) {
            EXPECT_LE(translate.Text(id).size(), 1023u) << id;
        }
    }
};

TEST_F(BadLanguageFileTest, BinaryFile)
{
    std::string noise;
    std::uint32_t state = 7;
    for (int i = 0; i < 1 << 20; ++i) {
        state = state * 1664525 + 1013904223;
        noise.push_back(static_cast<char>(state >> 24));
    }
    AddFile("Noise.lng", noise + "\n[Language]\nlang_en=Noise\n[Text]\n0=Kept\n");
    translate.Load(u"Noise");
    ExpectAllWithinTheLimit();
    EXPECT_EQ(translate.Text(0), u"Kept");
    LanguageList list;
    translate.FillLanguageList(list, u"Noise");
    EXPECT_EQ(list.selected, 0);
}

TEST_F(BadLanguageFileTest, HugeLines)
{
    std::string texts;
    for (int id = 0; id < 100; ++id) {
        texts += std::to_string(id) + "=" + std::string(100000, 'x') + "\\n\n";
    }
    AddFile("Wide.lng", "[Language]\nlang_en=" + std::string(100000, 'W') +
                            "\nlang_native=" + std::string(100000, 'N') + "\n[Text]\n" + texts);
    translate.Load(u"");
    LanguageList list;
    translate.FillLanguageList(list, u"");
    ASSERT_EQ(list.names.size(), 1u);
    EXPECT_EQ(list.names[0], std::u16string(1023, u'N'));
    list.selected = 0;
    std::u16string language;
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, std::u16string(1023, u'W'));
    translate.Load(language);
    ExpectAllWithinTheLimit();
    EXPECT_EQ(translate.Text(99), std::u16string(1023, u'x'));
    EXPECT_EQ(translate.Text(100), u"View");
}

TEST_F(BadLanguageFileTest, HugeFile)
{
    std::string bytes = LanguageFile("Huge", "Huge", "0=Start\n");
    bytes += std::string(MaxProfileFileSize + 1024, '=');
    AddFile("Huge.lng", bytes);
    translate.Load(u"Huge");
    ExpectAllWithinTheLimit();
    EXPECT_EQ(translate.Text(0), u"Start");
}
} // namespace
