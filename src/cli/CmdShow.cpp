#include <array>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/FieldArgument.h"

namespace {
// Fixed English labels, so that scripts can read the output whatever the language of the messages.
constexpr std::array<std::string_view, EntryFieldCount> Labels = {
    "Group: ", "Title: ", "Username: ", "Password: ", "URL/Path: ", "Notes: ",
};

// Stands for the password, so that showing an entry does not put its secret on the screen by accident.
constexpr std::string_view Hidden = "PROTECTED";

// The field's value as stored, for scripts: no escapes, one line end after it.
void WriteRawField(CliContext& context, const Entry& entry, EntryField field)
{
    context.output.WriteLine(PlainField(FieldOf(entry, field)));
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--field"}, {"--show-password"});
    parsed.ExpectPositional(3);
    const EntryKey key{parsed.Text(1), parsed.Text(2)};
    const std::optional<SecureString> fieldName = parsed.Option("--field");
    const std::optional<EntryField> onlyField =
        fieldName ? std::optional<EntryField>(FieldArgument(*fieldName, "--field")) : std::nullopt;

    CCliDatabase database(context, parsed.Path(0));
    database.Open(false);
    const Entry entry = database.RequireEntry(key);
    if (onlyField) {
        WriteRawField(context, entry, *onlyField);
        return ExitCode::Done;
    }
    const bool showPassword = parsed.Flag("--show-password");
    SecureUtf8 text;
    for (int field = 0; field < EntryFieldCount; ++field) {
        text += Labels[static_cast<std::size_t>(field)];
        if (static_cast<EntryField>(field) == EntryField::Password && !showPassword) {
            text += Hidden;
        } else {
            text += EscapeField(FieldOf(entry, static_cast<EntryField>(field)));
        }
        text += '\n';
    }
    context.output.Write(text);
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand ShowCommand{
    "show",
    "DB GROUP TITLE [-s|--show-password] [--field NAME]",
    "Shows the six fields of the entry GROUP/TITLE, one line each; the password reads PROTECTED unless "
    "--show-password is given. --field writes only the named field (group, title, username, password, url, notes) "
    "exactly as stored, without escapes, for scripts.",
    Run,
};
