#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/OtherFileCommand.h"
#include "core/database/DatabaseFile.h"
#include "core/database/Synchronize.h"
#include "core/settings/BuiltinTexts.h"

namespace {

std::string SummaryText(const std::filesystem::path& other, const std::filesystem::path& database,
                        const SyncSummary& summary)
{
    std::string text = "Synchronized " + other.string() + " into " + database.string() + ": " +
                       std::to_string(summary.added) + " added, " + std::to_string(summary.identical) + " identical, " +
                       std::to_string(summary.keptBoth.size()) + " kept both.";
    for (const EntryKey& key : summary.keptBoth) {
        text += "\nKept both, the other file's entry as " + KeyText(key);
    }
    return text;
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    OtherFileCommand command(context, parsed, TextId::SpecifySynchronizePassword);
    SyncSummary summary;
    command.Pour([&summary](CDataBase& entries, const std::filesystem::path& other, const SecureString& password) {
        return SynchronizeFile(entries, other, password, summary);
    });
    ConfirmDone(context, parsed, SummaryText(command.Other(), command.Database().Path(), summary));
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand SyncCommand{
    "sync",
    "DB OTHER",
    "Synchronizes the database file OTHER (a conflict copy left by a file synchronizing tool, or the file from "
    "another machine) into DB: entries only OTHER holds are added, entries equal in all six fields are skipped, and "
    "where both hold the same group and title with different fields both are kept, the one of OTHER under a number "
    "after its title. No entry of DB changes, and OTHER is not written. Asks for the master password of DB, then "
    "for the password of OTHER.",
    Run,
};
