#pragma once

#include "core/common/TextSource.h"
#include "core/session/IPrompts.h"
#include "gui/common/FileChooser.h"

class COptions;
class QWidget;

// Answers the lifecycle's questions with the program's dialogs, modal to the main window.
class GuiPrompts : public IPrompts
{
public:
    GuiPrompts(QWidget& window, COptions& options, const ITextSource& texts);

    std::optional<std::filesystem::path> ChooseFileToOpen() override;
    std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string& proposedName) override;
    std::optional<SecureString> AskPassword(EnterMode mode, const std::filesystem::path& file) override;
    std::optional<SecureString> AskNewPassword(SetPasswordMode mode) override;
    bool AskOkCancel(const std::u16string& question) override;
    void ShowTip(int tip, int textId) override;

    // The file chooser that the lifecycle's questions use, for the window's other commands.
    CFileChooser& Files() { return files; }

private:
    QWidget& window;
    COptions& options;
    const ITextSource& texts;
    CFileChooser files;
};
