#include "gui/mainwindow/GuiPrompts.h"

#include <QMessageBox>
#include <QPushButton>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DlgEnter.h"
#include "gui/dialogs/DlgSetPassword.h"
#include "gui/dialogs/DlgTip.h"

GuiPrompts::GuiPrompts(QWidget& window, COptions& options, const ITextSource& texts)
    : window(window)
    , options(options)
    , texts(texts)
    , files(window, options.LastPath)
{}

std::optional<std::filesystem::path> GuiPrompts::ChooseFileToOpen()
{
    return files.ChooseFileToOpen(QString());
}

std::optional<std::filesystem::path> GuiPrompts::ChooseFileToSave(const std::u16string& proposedName)
{
    return files.ChooseFileToSave(ToQString(proposedName));
}

std::optional<SecureString> GuiPrompts::AskPassword(EnterMode mode, const std::filesystem::path& file)
{
    CDlgEnter dialog(mode, texts, &window, file);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Password();
}

std::optional<SecureString> GuiPrompts::AskNewPassword(SetPasswordMode mode)
{
    CDlgSetPassword dialog(mode, texts, &window);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Password();
}

bool GuiPrompts::AskOkCancel(const std::u16string& question)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Lockmere"), ToQString(question),
                    QMessageBox::Ok | QMessageBox::Cancel, &window);
    box.button(QMessageBox::Cancel)->setText(QtText(texts, TextId::Cancel));
    return box.exec() == QMessageBox::Ok;
}

void GuiPrompts::ShowTip(int tip, int textId)
{
    CDlgTip dialog(options.Tip(tip), textId, texts, &window);
    dialog.exec();
}
