#include <gtest/gtest.h>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/ProfileReader.h"
#include "core/settings/Translate.h"

namespace {
const std::filesystem::path ShippedFolder = std::filesystem::path(LOCKMERE_SOURCE_DIR) / "resources" / "lang";

std::u16string IdKey(int id)
{
    const std::string digits = std::to_string(id);
    return std::u16string(digits.begin(), digits.end());
}

class ShippedLanguagesTest : public testing::TestWithParam<std::string>
{};

TEST_P(ShippedLanguagesTest, EveryTextWithWordsIsTranslatedAndBlanksAreLeftOut)
{
    const ProfileReader file = ProfileReader::FromFile(ShippedFolder / (GetParam() + ".lng"));
    for (int id = 0; id < BuiltinTextCount; ++id) {
        const std::u16string_view english = BuiltinText(id);
        const auto translated = file.Value(u"Text", IdKey(id));
        if (english == u" ") {
            EXPECT_EQ(translated, std::nullopt) << id;
            continue;
        }
        ASSERT_TRUE(translated) << id;
        EXPECT_FALSE(translated->empty()) << id;
        EXPECT_EQ(translated->ends_with(u' '), english.ends_with(u' ')) << id;
        EXPECT_EQ(translated->ends_with(u':'), english.ends_with(u':')) << id;
        EXPECT_EQ(translated->find(u"(***)") != std::u16string::npos, english.find(u"(***)") != std::u16string::npos)
            << id;
        EXPECT_EQ(translated->find(u'\\'), std::u16string::npos) << id;
    }
}

TEST_P(ShippedLanguagesTest, LoadsByItsEnglishName)
{
    CTranslate translate(ShippedFolder);
    const std::u16string name(GetParam().begin(), GetParam().end());
    translate.Load(name);
    ASSERT_EQ(translate.Count(), static_cast<std::size_t>(BuiltinTextCount));
    EXPECT_NE(translate.Text(0), u"Cancel");
    EXPECT_EQ(translate.Text(12), u" ");
    EXPECT_EQ(translate.Text(200), u"Windows");
}

TEST_P(ShippedLanguagesTest, NamesItsCodeForTheLibrariesTranslations)
{
    CTranslate translate(ShippedFolder);
    translate.Load(std::u16string(GetParam().begin(), GetParam().end()));
    EXPECT_EQ(translate.LanguageCode(), GetParam() == "German" ? u"de" : u"ru");
    translate.Load(u"");
    EXPECT_EQ(translate.LanguageCode(), u"");
}

// Words that hold only on Windows, in every language shipped. Group 200 is a suggested group name for the logins of
// that system, and the portable copy's program file is really called Lockmere.exe (text 97).
TEST_P(ShippedLanguagesTest, NoTextSpeaksOfWindowsOnly)
{
    const std::u16string_view windowsWords[] = {
        u"Windows",       u"Explorer",
        u"Registry",      u"registry",
        u"Registrierung", u"\u0440\u0435\u0435\u0441\u0442\u0440",
        u"system tray",   u"\u0441\u0438\u0441\u0442\u0435\u043C\u043D\u044B\u0439 \u0442\u0440\u0435\u0439",
        u":\\",           u".exe",
    };
    const ProfileReader file = ProfileReader::FromFile(ShippedFolder / (GetParam() + ".lng"));
    for (int id = 0; id < BuiltinTextCount; ++id) {
        if (id == TextId::FirstSuggestedGroup || id == TextId::RunFromInstallFolder) {
            continue;
        }
        const std::u16string english(BuiltinText(id));
        const std::u16string translated = file.Value(u"Text", IdKey(id)).value_or(u"");
        for (const std::u16string_view word : windowsWords) {
            EXPECT_EQ(english.find(word), std::u16string::npos) << id;
            EXPECT_EQ(translated.find(word), std::u16string::npos) << id;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguagesTest, testing::Values("German", "Russian"));

// The code names Qt's own catalogue of the language (qtbase_de.qm), which the programs load beside the file.
TEST(ShippedLanguageCodeTest, EveryShippedLanguageNamesItsCode)
{
    CTranslate translate(ShippedFolder);
    for (const auto& [language, code] : {std::pair{u"English", u"en"}, {u"German", u"de"}, {u"Russian", u"ru"}}) {
        translate.Load(language);
        EXPECT_EQ(translate.LanguageCode(), code);
    }
}

TEST(ShippedLanguageListTest, OffersEnglishGermanAndRussian)
{
    CTranslate translate(ShippedFolder);
    LanguageList list;
    translate.FillLanguageList(list, u"Russian");
    EXPECT_EQ(list.names,
              (std::vector<std::u16string>{u"English", u"Deutsch", u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439"}));
    EXPECT_EQ(list.selected, 2);

    // Choosing English again after another language brings back the built-in texts.
    list.selected = 0;
    std::u16string language = u"Russian";
    translate.ReadLanguageChoice(list, language);
    EXPECT_EQ(language, u"English");
    translate.Load(language);
    for (int id = 0; id < BuiltinTextCount; ++id) {
        EXPECT_EQ(translate.Text(id), BuiltinText(id)) << id;
    }
}
} // namespace
