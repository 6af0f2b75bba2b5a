#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/NewPassword.h"
#include "core/settings/BuiltinTexts.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--username", "--url", "--notes"});
    parsed.ExpectPositional(3);
    const EntryKey key{parsed.Text(1), parsed.Text(2)};
    EntryFields fields;
    fields.username = parsed.Option("--username").value_or(SecureString());
    fields.url = parsed.Option("--url").value_or(SecureString());
    fields.notes = parsed.Option("--notes").value_or(SecureString());

    CCliDatabase database(context, parsed.Path(0));
    database.Open(context.texts.Text(TextId::MasterPasswordLabel), true);
    fields.password = AskNewPassword(context, NewPasswordMode::EntryPassword);
    if (!database.Entries().Add(key, fields)) {
        throw CliFailure("");
    }
    database.Save();
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand AddCommand{
    "add",
    "DB GROUP TITLE [--username U] [--url U] [--notes N]",
    "Adds an entry to DB. Asks for the master password, then for the entry's password and the password again.",
    Run,
};
