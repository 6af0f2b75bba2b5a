#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/GeneratorOptions.h"
#include "cli/NewPassword.h"
#include "core/common/Utf.h"
#include "core/settings/BuiltinTexts.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--username", "--url", "--notes", "--length"},
                            {"--generate", "--upper", "--lower", "--numbers", "--special"});
    parsed.ExpectPositional(3);
    const bool generate = parsed.Flag("--generate");
    if (!generate && GeneratorOptionsGiven(parsed)) {
        throw UsageError("--length, --upper, --lower, --numbers and --special need --generate");
    }
    const EntryKey key{parsed.Text(1), parsed.Text(2)};
    EntryFields fields;
    fields.username = parsed.Option("--username").value_or(SecureString());
    fields.url = parsed.Option("--url").value_or(SecureString());
    fields.notes = parsed.Option("--notes").value_or(SecureString());
    // Checked before any password is typed, so that a bad length costs nothing.
    SecureString generated = generate ? GeneratedPassword(parsed, context.options) : SecureString();

    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    if (database.Entries().Find(key)) {
        throw CliFailure(Utf16ToUtf8(context.texts.Text(TextId::DuplicateEntry)));
    }
    fields.password =
        generate ? std::move(generated) : AskNewPassword(context, {NewPasswordMode::EntryPassword, {}, false});
    database.Add(key, fields);
    ConfirmDone(context, parsed, "Added " + KeyText(key) + ".");
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand AddCommand{
    "add",
    "DB GROUP TITLE [--username U] [--url U] [--notes N] [--generate [-l N] [--upper] [--lower] [--numbers] "
    "[--special]]",
    "Adds an entry to DB. Asks for the master password, then for the entry's password and the password again; "
    "with --generate the entry gets a random password as gen makes it instead, shown by show -s.",
    Run,
};
