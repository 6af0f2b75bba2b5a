#include <array>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// Fixed English labels, so that scripts can read the output whatever the language of the messages.
constexpr std::array<std::string_view, EntryFieldCount> Labels = {
    "Group: ", "Title: ", "Username: ", "Password: ", "URL/Path: ", "Notes: ",
};

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(3);
    const EntryKey key{parsed.Text(1), parsed.Text(2)};
    CCliDatabase database(context, parsed.Path(0));
    database.Open(context.texts.Text(TextId::MasterPasswordLabel), false);
    const std::optional<Entry> entry = database.Entries().Find(key);
    if (!entry) {
        FailNoSuchEntry(key);
    }
    SecureUtf8 text;
    for (int field = 0; field < EntryFieldCount; ++field) {
        text += Labels[static_cast<std::size_t>(field)];
        text += EscapeField(FieldOf(*entry, static_cast<EntryField>(field)));
        text += '\n';
    }
    context.output.Write(text);
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand ShowCommand{
    "show",
    "DB GROUP TITLE",
    "Shows the six fields of the entry GROUP/TITLE, one line each, the password included.",
    Run,
};
