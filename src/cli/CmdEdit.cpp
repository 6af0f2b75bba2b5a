#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/GeneratorOptions.h"
#include "cli/NewPassword.h"
#include "core/common/Utf.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// Replaces the value with the option's, when the option was given.
void TakeOption(const CArguments& parsed, std::string_view name, SecureString& value)
{
    if (std::optional<SecureString> given = parsed.Option(name)) {
        value = std::move(*given);
    }
}

void CheckCombination(const CArguments& parsed)
{
    const bool generate = parsed.Flag("--generate");
    if (generate && parsed.Flag("--password-prompt")) {
        throw UsageError("--password-prompt and --generate exclude each other");
    }
    if (!generate && GeneratorOptionsGiven(parsed)) {
        throw UsageError("--length, --upper, --lower, --numbers and --special need --generate");
    }
    bool changes = parsed.Flag("--password-prompt") || generate;
    for (std::string_view name : {"--group", "--title", "--username", "--url", "--notes"}) {
        changes = changes || parsed.Option(name).has_value();
    }
    if (!changes) {
        throw UsageError("nothing to change");
    }
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--group", "--title", "--username", "--url", "--notes", "--length"},
                            {"--password-prompt", "--generate", "--upper", "--lower", "--numbers", "--special"});
    parsed.ExpectPositional(3);
    CheckCombination(parsed);
    const EntryKey oldKey{parsed.Text(1), parsed.Text(2)};
    SecureString generated = parsed.Flag("--generate") ? GeneratedPassword(parsed, context.options) : SecureString();

    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    Entry entry = database.RequireEntry(oldKey);
    TakeOption(parsed, "--group", entry.group);
    TakeOption(parsed, "--title", entry.title);
    TakeOption(parsed, "--username", entry.username);
    TakeOption(parsed, "--url", entry.url);
    TakeOption(parsed, "--notes", entry.notes);
    const EntryKey newKey = entry.Key();
    // Refused before a new password is typed for nothing.
    if (!(newKey == oldKey) && database.Entries().Find(newKey)) {
        throw CliFailure(Utf16ToUtf8(context.texts.Text(TextId::DuplicateEntry)));
    }
    if (parsed.Flag("--generate")) {
        entry.password = std::move(generated);
    } else if (parsed.Flag("--password-prompt")) {
        entry.password = AskNewPassword(context, {NewPasswordMode::EntryChange, {}, false});
    }
    database.Replace(oldKey, newKey, entry.Fields());
    ConfirmDone(context, parsed,
                newKey == oldKey ? "Changed " + KeyText(newKey) + "."
                                 : "Changed " + KeyText(oldKey) + ", now " + KeyText(newKey) + ".");
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand EditCommand{
    "edit",
    "DB GROUP TITLE [--group G] [--title T] [--username U] [--url U] [--notes N] [--password-prompt | --generate "
    "[-l N] [--upper] [--lower] [--numbers] [--special]]",
    "Changes the entry GROUP/TITLE: each option given replaces that field; a new group or title moves the entry, "
    "unless another entry has that group and title. --password-prompt asks for a new password and the password "
    "again; --generate stores a random one instead.",
    Run,
};
