#include "gui/dialogs/DlgSetPassword.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/health/OfflineAttack.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/LayoutIndicator.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/dialogs/PasswordMasking.h"

CDlgSetPassword::CDlgSetPassword(SetPasswordMode mode, const ITextSource& texts, QWidget* parent)
    : QDialog(parent)
    , texts(texts)
    , field(new QLineEdit(this))
    , repeat(new QLineEdit(this))
    , attackEstimate(new QLabel(this))
    , attackWarning(new QLabel(QtText(texts, TextId::WeakMasterPasswordWarning), this))
{
    const bool change = mode == SetPasswordMode::Change;
    setWindowTitle(QtText(texts, change ? TextId::ChangePassword : TextId::EnterCaption));

    auto* prompt = new QLabel(
        QtText(texts, change ? TextId::SpecifyNewMasterPassword : TextId::SpecifyCompositeMasterPassword), this);
    prompt->setObjectName(QStringLiteral("prompt"));
    prompt->setWordWrap(true);

    field->setObjectName(QStringLiteral("password"));
    field->setMinimumWidth(240);
    repeat->setObjectName(QStringLiteral("repeat"));
    auto* indicator = new LayoutIndicator(this);
    indicator->setMinimumWidth(28);

    auto* hideBox = new QCheckBox(QtText(texts, TextId::HidePasswordCheck), this);
    hideBox->setObjectName(QStringLiteral("hide"));
    ConnectMasking(*hideBox, {field, repeat});

    attackEstimate->setObjectName(QStringLiteral("attackEstimate"));
    attackEstimate->setWordWrap(true);
    attackWarning->setObjectName(QStringLiteral("attackWarning"));
    attackWarning->setWordWrap(true);
    attackWarning->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    connect(field, &QLineEdit::textChanged, this, &CDlgSetPassword::ShowAttackEstimate);
    ShowAttackEstimate();

    auto* advice = new QLabel(QtText(texts, TextId::RememberPasswordAdvice), this);
    advice->setObjectName(QStringLiteral("advice"));
    advice->setWordWrap(true);

    QDialogButtonBox* buttons = OkCancelButtons(*this, texts);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QtText(texts, TextId::MasterPasswordLabel), this), 0, 0);
    grid->addWidget(field, 0, 1);
    grid->addWidget(indicator, 0, 2, 2, 1);
    grid->addWidget(new QLabel(QtText(texts, TextId::RepeatLabel), this), 1, 0);
    grid->addWidget(repeat, 1, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(grid);
    layout->addWidget(hideBox);
    layout->addWidget(attackEstimate);
    layout->addWidget(attackWarning);
    layout->addWidget(advice);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

void CDlgSetPassword::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    field->setFocus();
}

void CDlgSetPassword::ShowAttackEstimate()
{
    // The field's text is copied only for the estimate and wiped at once.
    SecureString typed = ToSecureString(field->text());
    const MasterPasswordAssessment assessment = AssessMasterPassword(typed, texts);
    WipeString(typed);
    attackEstimate->setText(ToQString(assessment.estimate));
    attackWarning->setVisible(assessment.weak);
}

void CDlgSetPassword::accept()
{
    // Qt strings compare UTF-16 code units exactly, as the passwords must be compared.
    if (field->text() != repeat->text()) {
        QMessageBox::warning(this, QStringLiteral("Lockmere"), QtText(texts, TextId::MasterPasswordsDiffer),
                             QMessageBox::Ok);
        return;
    }
    password = TakeSecret(*field);
    repeat->clear();
    QDialog::accept();
}
