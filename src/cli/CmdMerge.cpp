#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "cli/Prompts.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/database/DatabaseSize.h"
#include "core/database/Merge.h"
#include "core/settings/BuiltinTexts.h"

namespace {

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(2);
    const std::filesystem::path other = parsed.Path(1);
    RequireReadableFile(other);
    if (const std::optional<std::u16string> problem = NotADatabaseProblem(context.texts, other)) {
        throw CliFailure(Utf16ToUtf8(*problem));
    }
    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    context.passwords.Explain(context.texts.Text(TextId::SpecifyImportingPassword));
    const SecureString otherPassword =
        context.passwords.Read(PromptFor(context.texts, TextId::MasterPasswordFor, other));
    const std::size_t before = database.Entries().Size();
    int readResult = ReadResult::Failed;
    // Saved under DB's own master password; the other file's password only reads it.
    if (!database.Import(
            [&](CDataBase& entries) { return MergeDatabase(entries, other, otherPassword, &readResult); })) {
        throw CliFailure("", readResult == ReadResult::InvalidPassword ? ExitCode::InvalidPassword : ExitCode::Failed);
    }
    ConfirmDone(context, parsed,
                "Merged " + other.string() + " into " + database.Path().string() + ": " +
                    std::to_string(database.Entries().Size() - before) + " entries added.");
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
