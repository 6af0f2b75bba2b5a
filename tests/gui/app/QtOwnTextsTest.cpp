#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>

#include "core/settings/Translate.h"
#include "gui/GuiTestSupport.h"
#include "gui/app/Language.h"

namespace {
const std::filesystem::path ShippedFolder = std::filesystem::path(LOCKMERE_SOURCE_DIR) / "resources" / "lang";

struct QtTextCase
{
    const char16_t* language;
    const char* cancel;
    const char* control;
};

class QtOwnTextsTest : public testing::TestWithParam<QtTextCase>, public WithApplication
{
protected:
    ~QtOwnTextsTest() override { LoadLanguage(translation, u""); }
    CTranslate translation{ShippedFolder};
};

QString CancelButtonText()
{
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    return buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&'));
}

TEST_P(QtOwnTextsTest, StandardButtonsAndKeyNamesFollowTheChosenLanguage)
{
    LoadLanguage(translation, GetParam().language);

    EXPECT_EQ(CancelButtonText(), QString::fromUtf8(GetParam().cancel));
    EXPECT_EQ(QKeySequence(QStringLiteral("Ctrl+F")).toString(QKeySequence::NativeText),
              QString::fromUtf8(GetParam().control) + QStringLiteral("+F"));
}

INSTANTIATE_TEST_SUITE_P(Languages, QtOwnTextsTest,
                         testing::Values(QtTextCase{u"German", "Abbrechen", "Strg"},
                                         QtTextCase{u"Russian", "Отмена", "Ctrl"}, QtTextCase{u"", "Cancel", "Ctrl"},
                                         QtTextCase{u"English", "Cancel", "Ctrl"}));

} // namespace
