#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "core/settings/BuiltinTexts.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(3);
    const EntryKey key{parsed.Text(1), parsed.Text(2)};
    CCliDatabase database(context, parsed.Path(0));
    database.Open(context.texts.Text(TextId::MasterPasswordLabel), true);
    if (database.Entries().Remove(key) == 0) {
        FailNoSuchEntry(key);
    }
    database.Save();
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand RmCommand{
    "rm",
    "DB GROUP TITLE",
    "Deletes the entry GROUP/TITLE from DB.",
    Run,
};
