#include "cli/NewPassword.h"

#include "cli/CliCommand.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// Text id of the label the entry password is asked with.
} // namespace

SecureString AskNewPassword(CliContext& context, NewPasswordMode mode)
{
    const ITextSource& texts = context.texts;
    if (mode == NewPasswordMode::NewDatabase) {
        context.passwords.Explain(texts.Text(TextId::SpecifyCompositeMasterPassword));
    } else if (mode == NewPasswordMode::ChangeMaster) {
        context.passwords.Explain(texts.Text(TextId::SpecifyNewMasterPassword));
    }
    const bool entry = mode == NewPasswordMode::EntryPassword;
    SecureString password =
        context.passwords.Read(texts.Text(entry ? TextId::PasswordItem : TextId::MasterPasswordLabel));
    const SecureString repeat = context.passwords.Read(texts.Text(TextId::RepeatLabel));
    if (password != repeat) {
        context.reporter.ShowMessage(texts.Text(entry ? TextId::EntryPasswordsDiffer : TextId::MasterPasswordsDiffer),
                                     MessageIcon::Error);
        throw CliFailure("");
    }
    return password;
}
