#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/common/SecureString.h"

// What the password prompt is asking for; the dialog's caption and prompt line follow from it.
enum class EnterMode
{
    Open = 0,
    OldPassword = 1,
    Merge = 2,
    // The password of a file to synchronize with.
    Synchronize = 3,
};

// What the new-password prompt is for.
enum class SetPasswordMode
{
    NewDatabase = 0,
    Change = 1,
};

// The questions the database lifecycle asks the user. The GUI answers with dialogs, tests with prepared answers.
// Every optional is empty when the user cancelled.
class IPrompts
{
public:
    virtual ~IPrompts() = default;
    virtual std::optional<std::filesystem::path> ChooseFileToOpen() = 0;
    // Proposes a file name without a folder; asks before overwriting an existing file.
    virtual std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string& proposedName) = 0;
    // `file`: the database the password is for, which the prompt names.
    virtual std::optional<SecureString> AskPassword(EnterMode mode, const std::filesystem::path& file) = 0;
    // The new password, already typed twice and checked for equality.
    virtual std::optional<SecureString> AskNewPassword(SetPasswordMode mode) = 0;
    // True for OK.
    virtual bool AskOkCancel(const std::u16string& question) = 0;
    // Shows the advice text unless the user has switched that tip off; the answer does not matter.
    virtual void ShowTip(int tip, int textId) = 0;
};
