#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "cli/Prompts.h"
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
    parsed.ExpectPositional(2);
    const std::filesystem::path other = parsed.Path(1);
    RequireReadableFile(other);
    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    context.passwords.Explain(context.texts.Text(TextId::SpecifySynchronizePassword));
    const SecureString otherPassword =
        context.passwords.Read(PromptFor(context.texts, TextId::MasterPasswordFor, other));
    SyncSummary summary;
    int readResult = ReadResult::Failed;
    // Saved under DB's own master password; the other file's password only reads it.
    if (!database.Import([&](CDataBase& entries) {
            readResult = SynchronizeFile(entries, other, otherPassword, summary);
            return readResult == ReadResult::Done;
        })) {
        throw CliFailure("", readResult == ReadResult::InvalidPassword ? ExitCode::InvalidPassword : ExitCode::Failed);
    }
    ConfirmDone(context, parsed, SummaryText(other, database.Path(), summary));
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
