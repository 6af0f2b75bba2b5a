#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/OtherFileCommand.h"
#include "core/database/DatabaseFile.h"
#include "core/database/Merge.h"
#include "core/settings/BuiltinTexts.h"

namespace {

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    OtherFileCommand command(context, parsed, TextId::SpecifyImportingPassword);
    const std::size_t before = command.Database().Entries().Size();
    command.Pour([](CDataBase& entries, const std::filesystem::path& other, const SecureString& password) {
        int readResult = ReadResult::Failed;
        MergeDatabase(entries, other, password, &readResult);
        return readResult;
    });
    ConfirmDone(context, parsed,
                "Merged " + command.Other().string() + " into " + command.Database().Path().string() + ": " +
                    std::to_string(command.Database().Entries().Size() - before) + " entries added.");
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
