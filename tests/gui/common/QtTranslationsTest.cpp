#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>

#include "gui/GuiTestSupport.h"
#include "core/settings/Translate.h"
#include "gui/common/QtTranslations.h"

namespace {
const std::filesystem::path ShippedFolder = std::filesystem::path(LOCKMERE_SOURCE_DIR) / "resources" / "lang";

struct QtTextCase
{
    const char16_t* language;
    const char* cancel;
    const char* control;
};

class QtTranslationsTest : public testing::TestWithParam<QtTextCase>, public WithApplication
{
protected:
    ~QtTranslationsTest() override { UseQtTranslations(u""); }
};

QString CancelButtonText()
{
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    return buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'));
}

TEST_P(QtTranslationsTest, StandardButtonsAndKeyNamesFollowTheChosenLanguage)
{
    CTranslate translation(ShippedFolder);
    translation.Load(GetParam().language);
    UseQtTranslations(translation.LanguageCode());

    EXPECT_EQ(CancelButtonText(), QString::fromUtf8(GetParam().cancel));
    EXPECT_EQ(QKeySequence(QStringLiteral("Ctrl+F")).toString(QKeySequence::NativeText),
              QString::fromUtf8(GetParam().control) + QStringLiteral("+F"));
}

INSTANTIATE_TEST_SUITE_P(Languages, QtTranslationsTest,
                         testing::Values(QtTextCase{u"German", "Abbrechen", "Strg"},
                                         QtTextCase{u"Russian", "Отмена", "Ctrl"}, QtTextCase{u"", "Cancel", "Ctrl"},
                                         QtTextCase{u"English", "Cancel", "Ctrl"}));

TEST(QtTranslationsSwitchTest, ChoosingEnglishAgainBringsBackQtsOwnTexts)
{
    EnsureApplication();
    ASSERT_TRUE(UseQtTranslations(u"de"));
    ASSERT_EQ(CancelButtonText(), QStringLiteral("Abbrechen"));
    EXPECT_FALSE(UseQtTranslations(u""));
    EXPECT_EQ(CancelButtonText(), QStringLiteral("Cancel"));
    // A language Qt has no translation for leaves its English.
    EXPECT_FALSE(UseQtTranslations(u"xx"));
    EXPECT_EQ(CancelButtonText(), QStringLiteral("Cancel"));
}
} // namespace
