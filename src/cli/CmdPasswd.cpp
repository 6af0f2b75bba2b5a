#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/NewPassword.h"
#include "cli/Prompts.h"
#include "core/settings/BuiltinTexts.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {}, {"--allow-empty"});
    parsed.ExpectPositional(1);
    CCliDatabase database(context, parsed.Path(0));
    // Only the password that decrypts the file is the old one, so reading it is the check.
    context.passwords.Explain(context.texts.Text(TextId::SpecifyOldMasterPassword));
    database.Open(true);
    database.Rekey(
        AskNewPassword(context, {NewPasswordMode::ChangeMaster, database.Path(), parsed.Flag("--allow-empty")}));
    ConfirmDone(context, parsed, "Re-keyed " + database.Path().string() + " with the new master password.");
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand PasswdCommand{
    "passwd",
    "DB [--allow-empty]",
    "Changes the master password of DB. Asks for the old password, the new one and the new one again. An empty new "
    "password is treated as by create.",
    Run,
};
