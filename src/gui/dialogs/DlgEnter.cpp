#include "gui/dialogs/DlgEnter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/LayoutIndicator.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DialogButtons.h"
#include "gui/dialogs/PasswordMasking.h"

namespace {
struct ModeTexts
{
    int caption;
    int prompt;
};

ModeTexts TextsOf(EnterMode mode)
{
    switch (mode) {
    case EnterMode::OldPassword:
        return {TextId::ChangePassword, TextId::SpecifyOldMasterPassword};
    case EnterMode::Merge:
        return {TextId::MergingDatabases, TextId::SpecifyImportingPassword};
    case EnterMode::Synchronize:
        return {TextId::SynchronizingDatabases, TextId::SpecifySynchronizePassword};
    case EnterMode::Open:
        break;
    }
    return {TextId::EnterCaption, TextId::OpenPrompt};
}

} // namespace

CDlgEnter::CDlgEnter(EnterMode mode, const ITextSource& texts, QWidget* parent, const std::filesystem::path& file)
    : QDialog(parent)
    , field(new QLineEdit(this))
    , hideBox(new QCheckBox(this))
{
    const ModeTexts modeTexts = TextsOf(mode);
    setWindowTitle(QtText(texts, modeTexts.caption));

    auto* prompt = new QLabel(QtText(texts, modeTexts.prompt), this);
    prompt->setObjectName(QStringLiteral("prompt"));
    prompt->setAlignment(Qt::AlignCenter);
    prompt->setWordWrap(true);

    auto* fileLine = new QLabel(this);
    fileLine->setObjectName(QStringLiteral("file"));
    fileLine->setAlignment(Qt::AlignCenter);
    fileLine->setWordWrap(true);
    fileLine->setText(QtText(texts, TextId::MasterPasswordFor) + QLatin1Char(' ') +
                      QString::fromStdString(file.filename().string()));
    fileLine->setToolTip(QString::fromStdString(file.string()));
    fileLine->setVisible(!file.empty());

    field->setObjectName(QStringLiteral("password"));
    field->setMinimumWidth(260);
    auto* indicator = new LayoutIndicator(this);
    indicator->setMinimumWidth(28);

    hideBox->setObjectName(QStringLiteral("hide"));
    hideBox->setText(QtText(texts, TextId::HideMasterPasswordCheck));
    ConnectMasking(*hideBox, {field});

    QDialogButtonBox* buttons = OkCancelButtons(*this, texts);

    auto* fieldRow = new QHBoxLayout;
    fieldRow->addWidget(field, 1);
    fieldRow->addWidget(indicator);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(fileLine);
    layout->addLayout(fieldRow);
    layout->addWidget(hideBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgEnter::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    field->setFocus();
    activateWindow();
    raise();
}

void CDlgEnter::accept()
{
    password = TakeSecret(*field);
    QDialog::accept();
}
