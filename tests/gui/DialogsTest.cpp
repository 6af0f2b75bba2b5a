#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "core/settings/WebLinks.h"
#include "gui/common/LayoutIndicator.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/dialogs/DlgEnter.h"
#include "gui/dialogs/DlgSetPassword.h"
#include "gui/dialogs/DlgTip.h"
#include "support/MessageRecorder.h"

namespace {
QString Prompt(QWidget& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("prompt"))->text();
}

class PasswordDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApplication(); }
    BuiltinTextSource texts;
};

TEST_F(PasswordDialogTest, EnterShowsTheTextsOfItsMode)
{
    CDlgEnter open(EnterMode::Open, texts);
    EXPECT_EQ(open.windowTitle(), QStringLiteral("Enter"));
    EXPECT_EQ(Prompt(open), QStringLiteral(" "));
    CDlgEnter old(EnterMode::OldPassword, texts);
    EXPECT_EQ(old.windowTitle(), QStringLiteral("Change Password"));
    EXPECT_EQ(Prompt(old), QStringLiteral("Specify the old master password."));
    CDlgEnter merge(EnterMode::Merge, texts);
    EXPECT_EQ(merge.windowTitle(), QStringLiteral("Merging databases"));
    EXPECT_EQ(Prompt(merge), QStringLiteral("Specify the password of the importing database."));
}

TEST_F(PasswordDialogTest, EnterNamesTheDatabaseFileItAsksFor)
{
    const std::filesystem::path file = "/home/user/Passwords/Bank accounts.ldb";
    for (EnterMode mode : {EnterMode::Open, EnterMode::OldPassword, EnterMode::Merge}) {
        CDlgEnter dialog(mode, texts, nullptr, file);
        const auto* fileLine = dialog.findChild<QLabel*>(QStringLiteral("file"));
        ASSERT_NE(fileLine, nullptr);
        EXPECT_FALSE(fileLine->isHidden());
        EXPECT_EQ(fileLine->text(), QStringLiteral("Master password for Bank accounts.ldb"));
        EXPECT_EQ(fileLine->toolTip(), QString::fromStdString(file.string()));
    }
    CDlgEnter unnamed(EnterMode::Open, texts);
    EXPECT_TRUE(unnamed.findChild<QLabel*>(QStringLiteral("file"))->isHidden());
}

TEST_F(PasswordDialogTest, SetPasswordShowsTheTextsOfItsMode)
{
    CDlgSetPassword create(SetPasswordMode::NewDatabase, texts);
    EXPECT_EQ(create.windowTitle(), QStringLiteral("Enter"));
    EXPECT_EQ(Prompt(create), QStringLiteral("Specify the composite master password."));
    CDlgSetPassword change(SetPasswordMode::Change, texts);
    EXPECT_EQ(change.windowTitle(), QStringLiteral("Change Password"));
    EXPECT_EQ(Prompt(change), QStringLiteral("Specify the new master password."));
    // A change in between does not alter what a later new-database dialog says.
    CDlgSetPassword again(SetPasswordMode::NewDatabase, texts);
    EXPECT_EQ(Prompt(again), QStringLiteral("Specify the composite master password."));
}

TEST_F(PasswordDialogTest, EnterReturnsTheTypedTextMaskedByDefaultAndFocused)
{
    CDlgEnter dialog(EnterMode::Open, texts);
    ModalDriver driver;
    driver.Then([](QWidget* shown) {
        auto* field = shown->findChild<QLineEdit*>(QStringLiteral("password"));
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(shown->findChild<QCheckBox*>(QStringLiteral("hide"))->isChecked());
        EXPECT_EQ(QApplication::focusWidget(), field);
        TypePassword(QStringLiteral("Sécret 1"))(shown);
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Password(), ToSecure(u"Sécret 1"));
}

TEST_F(PasswordDialogTest, EnterAcceptsAnEmptyPassword)
{
    CDlgEnter dialog(EnterMode::Open, texts);
    ModalDriver driver;
    driver.Then(ClickOk());
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Password().empty());
}

TEST_F(PasswordDialogTest, HideBoxShowsAndMasksBothFields)
{
    CDlgSetPassword dialog(SetPasswordMode::NewDatabase, texts);
    auto* hide = dialog.findChild<QCheckBox*>(QStringLiteral("hide"));
    auto* first = dialog.findChild<QLineEdit*>(QStringLiteral("password"));
    auto* second = dialog.findChild<QLineEdit*>(QStringLiteral("repeat"));
    EXPECT_EQ(hide->text(), QStringLiteral("Hide Password Behind Asterisks (***)"));
    EXPECT_EQ(first->echoMode(), QLineEdit::Password);
    hide->click();
    EXPECT_EQ(first->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(second->echoMode(), QLineEdit::Normal);
    hide->click();
    EXPECT_EQ(first->echoMode(), QLineEdit::Password);
    EXPECT_EQ(second->echoMode(), QLineEdit::Password);
}

TEST_F(PasswordDialogTest, BothDialogsMaskWithAsterisksAsTheirBoxesSay)
{
    CDlgEnter enter(EnterMode::Open, texts);
    CDlgSetPassword set(SetPasswordMode::NewDatabase, texts);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&enter, &set}) {
        for (QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            field->ensurePolished();
            field->setText(QStringLiteral("abc"));
            EXPECT_EQ(field->displayText(), QStringLiteral("***")) << field->objectName().toStdString();
        }
    }
}

TEST_F(PasswordDialogTest, BothFieldsEmptyGiveAnEmptyPassword)
{
    CDlgSetPassword dialog(SetPasswordMode::NewDatabase, texts);
    ModalDriver driver;
    driver.Then(ClickOk());
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Password().empty());
}

TEST_F(PasswordDialogTest, TextsDifferingInCaseShowTheMismatchAndStayOpen)
{
    CDlgSetPassword dialog(SetPasswordMode::Change, texts);
    ModalDriver driver;
    QString mismatch;
    QString keptFirst;
    driver.Then(TypePasswords(QStringLiteral("abc"), QStringLiteral("abC")));
    driver.Then([&](QWidget* box) {
        mismatch = qobject_cast<QMessageBox*>(box)->text();
        ClickOk()(box);
    });
    ASSERT_EQ(dialog.exec(), QDialog::Rejected); // nothing is left to answer, so the dialog is cancelled
    EXPECT_EQ(mismatch, QStringLiteral("Error: Passwords do not match, please retype."));
    EXPECT_EQ(driver.titles.back(), QStringLiteral("unexpected: Change Password"));
}

TEST_F(PasswordDialogTest, EqualTextsCloseWithThePassword)
{
    CDlgSetPassword dialog(SetPasswordMode::NewDatabase, texts);
    ModalDriver driver;
    driver.Then(TypePasswords(QStringLiteral("Same"), QStringLiteral("Same")));
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Password(), ToSecure(u"Same"));
}

TEST_F(PasswordDialogTest, SetPasswordEstimatesTheOfflineAttackAsTypedAndWarnsUnderACentury)
{
    const struct
    {
        const char16_t* password;
        const char16_t* duration;
        bool warned;
    } cases[] = {
        {u"", u"less than a second", true},
        {u"summer2024", u"less than a second", true},
        {u"tangerine quietly harbors seventeen velvet cartographers", u"more than a thousand years", false},
    };
    for (const SetPasswordMode mode : {SetPasswordMode::NewDatabase, SetPasswordMode::Change}) {
        CDlgSetPassword dialog(mode, texts);
        dialog.show();
        for (const auto& [password, duration, warned] : cases) {
            dialog.findChild<QLineEdit*>(QStringLiteral("password"))->setText(QString::fromStdU16String(password));
            const QString estimate = dialog.findChild<QLabel*>(QStringLiteral("attackEstimate"))->text();
            EXPECT_TRUE(
                estimate.contains(QStringLiteral(": ") + QString::fromStdU16String(duration) + QLatin1Char('.')))
                << estimate.toStdString();
            EXPECT_TRUE(estimate.contains(QStringLiteral("10^10"))) << estimate.toStdString();
            EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("attackWarning"))->isVisible(), warned)
                << QString::fromStdU16String(password).toStdString();
        }
    }
}

TEST_F(PasswordDialogTest, LayoutIndicatorRefreshesTwiceASecondInItsColour)
{
    CDlgEnter dialog(EnterMode::Open, texts);
    auto* indicator = dialog.findChild<LayoutIndicator*>();
    ASSERT_NE(indicator, nullptr);
    EXPECT_EQ(indicator->Period(), 500);
    EXPECT_EQ(indicator->palette().color(QPalette::WindowText), QColor(0, 191, 240));
}

class TipDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApplication(); }
    BuiltinTextSource texts;
    bool showTip = true;
};

TEST_F(TipDialogTest, SwitchedOffItIsNeverShown)
{
    showTip = false;
    CDlgTip tip(showTip, 173, texts);
    ModalDriver driver;
    EXPECT_EQ(tip.exec(), QDialog::Rejected);
    EXPECT_TRUE(driver.titles.empty());
    EXPECT_FALSE(tip.isVisible());
}

TEST_F(TipDialogTest, ShowsItsTextAndOkWithTheBoxTickedSwitchesItOff)
{
    CDlgTip tip(showTip, 11, texts);
    EXPECT_EQ(tip.windowTitle(), QStringLiteral("Tip"));
    EXPECT_EQ(tip.findChild<QLabel*>(QStringLiteral("advice"))->text(),
              QStringLiteral("Please remember that the database should be closed to move, rename or delete the "
                             "database file."));
    ModalDriver driver;
    driver.Then([](QWidget* shown) {
        auto* box = shown->findChild<QCheckBox*>(QStringLiteral("neverAgain"));
        EXPECT_EQ(box->text(), QStringLiteral("Do not show me this tip again"));
        EXPECT_FALSE(box->isChecked());
        box->click();
        ClickOk()(shown);
    });
    EXPECT_EQ(tip.exec(), QDialog::Accepted);
    EXPECT_FALSE(showTip);
}

TEST_F(TipDialogTest, EscapeWithTheBoxTickedLeavesItOn)
{
    CDlgTip tip(showTip, 173, texts);
    ModalDriver driver;
    driver.Then([](QWidget* shown) {
        shown->findChild<QCheckBox*>(QStringLiteral("neverAgain"))->click();
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    EXPECT_EQ(tip.exec(), QDialog::Rejected);
    EXPECT_TRUE(showTip);
}

TEST_F(TipDialogTest, OkWithoutTheBoxLeavesItOn)
{
    CDlgTip tip(showTip, 173, texts);
    ModalDriver driver;
    driver.Then(ClickOk());
    tip.exec();
    EXPECT_TRUE(showTip);
}

TEST_F(TipDialogTest, TheAdviceAreaIsWhiteAboveTheStrip)
{
    CDlgTip tip(showTip, 173, texts);
    tip.resize(420, 200);
    const QImage image = tip.grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(5, image.height() - 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(5, image.height() - CDlgTip::StripHeight - 2), QColor(Qt::white));
}

class AboutDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { EnsureApplication(); }
    BuiltinTextSource texts;
};

TEST_F(AboutDialogTest, ShowsNameInBoldAndTheVersion)
{
    CAboutDlg about(texts, u"");
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Lockmere"));
    auto* name = about.findChild<QLabel*>(QStringLiteral("programName"));
    EXPECT_EQ(name->text(), QStringLiteral("Lockmere"));
    EXPECT_TRUE(name->font().bold());
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("Version 1.6"));
}

TEST_F(AboutDialogTest, LinkCarriesTheRussianQueryOnlyForRussian)
{
    const QString site = QString::fromStdU16String(VendorSite);
    EXPECT_EQ(CAboutDlg(texts, u"Russian").LinkAddress(), site + QStringLiteral("?lng=ru"));
    EXPECT_EQ(CAboutDlg(texts, u"russian").LinkAddress(), site);
    EXPECT_EQ(CAboutDlg(texts, u"German").LinkAddress(), site);
}
} // namespace
