#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "core/database/Merge.h"
#include "core/settings/BuiltinTexts.h"

namespace {

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(2);
    CCliDatabase database(context, parsed.Path(0));
    database.Open(context.texts.Text(TextId::MasterPasswordLabel), true);
    context.passwords.Explain(context.texts.Text(TextId::SpecifyImportingPassword));
    const SecureString otherPassword = context.passwords.Read(context.texts.Text(TextId::MasterPasswordLabel));
    if (!MergeDatabase(database.Entries(), parsed.Path(1), otherPassword)) {
        throw CliFailure("");
    }
    // Saved under DB's own master password; the other file's password only read it.
    database.Save();
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand MergeCommand{
    "merge",
    "DB OTHER",
    "Adds every entry of the database file OTHER to DB; a taken group and title gets a number after the title, and "
    "no entry of DB changes. Asks for the master password of DB, then for the password of OTHER.",
    Run,
};
