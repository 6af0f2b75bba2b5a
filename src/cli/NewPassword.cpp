#include "cli/NewPassword.h"

#include "cli/CliCommand.h"

namespace {
// Text ids of the prompts and of the mismatch message.
constexpr int SpecifyCompositeMasterPassword = 220;
constexpr int SpecifyNewMasterPassword = 221;
constexpr int MasterPasswordLabel = 222;
constexpr int RepeatLabel = 223;
constexpr int MasterPasswordsDiffer = 224;
constexpr int EntryPasswordLabel = 150;
constexpr int EntryPasswordsDiffer = 188;
} // namespace

SecureString AskNewPassword(CliContext& context, NewPasswordMode mode)
{
    const ITextSource& texts = context.texts;
    if (mode == NewPasswordMode::NewDatabase) {
        context.passwords.Explain(texts.Text(SpecifyCompositeMasterPassword));
    } else if (mode == NewPasswordMode::ChangeMaster) {
        context.passwords.Explain(texts.Text(SpecifyNewMasterPassword));
    }
    const bool entry = mode == NewPasswordMode::EntryPassword;
    SecureString password = context.passwords.Read(texts.Text(entry ? EntryPasswordLabel : MasterPasswordLabel));
    const SecureString repeat = context.passwords.Read(texts.Text(RepeatLabel));
    if (password != repeat) {
        context.reporter.ShowMessage(texts.Text(entry ? EntryPasswordsDiffer : MasterPasswordsDiffer),
                                     MessageIcon::Error);
        throw CliFailure("");
    }
    return password;
}
