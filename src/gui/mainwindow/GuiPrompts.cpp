#include "gui/mainwindow/GuiPrompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DlgEnter.h"
#include "gui/dialogs/DlgSetPassword.h"
#include "gui/dialogs/DlgTip.h"

namespace {
// Qt's own file dialog, so that it looks and behaves the same on every desktop and under tests.
std::optional<std::filesystem::path> RunFileDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().constFirst().toStdString());
}
} // namespace

GuiPrompts::GuiPrompts(QWidget& window, COptions& options, const ITextSource& texts)
    : window(window)
    , options(options)
    , texts(texts)
{}

std::optional<std::filesystem::path> GuiPrompts::ChooseFileToOpen()
{
    QFileDialog dialog(&window);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog);
}

std::optional<std::filesystem::path> GuiPrompts::ChooseFileToSave(const std::u16string& proposedName)
{
    QFileDialog dialog(&window);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(ToQString(proposedName));
    return RunFileDialog(dialog);
}

std::optional<SecureString> GuiPrompts::AskPassword(EnterMode mode)
{
    CDlgEnter dialog(mode, texts, &window);
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
