#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(3);
    const EntryKey key{parsed.Text(1), parsed.Text(2)};
    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    database.RequireEntry(key);
    database.Remove(key);
    ConfirmDone(context, parsed, "Removed " + KeyText(key) + ".");
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand RmCommand{
    "rm",
    "DB GROUP TITLE",
    "Deletes the entry GROUP/TITLE from DB.",
    Run,
};
