#pragma once

#include <exception>
#include <filesystem>

#include "cli/CliContext.h"
#include "core/session/IPrompts.h"

// The session's questions as a command answers them: the master password of its database is read once, as the
// command was told to; every other question is declined, because a command runs without dialogs. A second request
// for the password means the first one was refused.
class CCliPrompts : public IPrompts
{
public:
    CCliPrompts(CliContext& context, std::filesystem::path database);

    std::optional<std::filesystem::path> ChooseFileToOpen() override { return std::nullopt; }
    std::optional<std::filesystem::path> ChooseFileToSave(const std::u16string&) override { return std::nullopt; }
    std::optional<SecureString> AskPassword(EnterMode mode, const std::filesystem::path& file) override;
    std::optional<SecureString> AskNewPassword(SetPasswordMode) override { return std::nullopt; }
    bool AskOkCancel(const std::u16string&) override { return false; }
    void ShowTip(int, int) override {}

    bool PasswordRefused() const { return refused; }
    // A failure of reading the password (the input ended, say) travels past the session and is thrown here again.
    void RethrowReadFailure() const;

private:
    CliContext& context;
    std::filesystem::path database;
    bool asked = false;
    bool refused = false;
    std::exception_ptr readFailure;
};
