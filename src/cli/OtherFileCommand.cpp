#include "cli/OtherFileCommand.h"

#include "cli/CliCommand.h"
#include "cli/FileChecks.h"
#include "cli/Prompts.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/BuiltinTexts.h"

namespace {
std::filesystem::path CheckedOther(const CArguments& parsed)
{
    parsed.ExpectPositional(2);
    std::filesystem::path other = parsed.Path(1);
    RequireReadableFile(other);
    return other;
}
} // namespace

OtherFileCommand::OtherFileCommand(CliContext& context, const CArguments& parsed, int explanation)
    : other(CheckedOther(parsed))
    , database(context, parsed.Path(0))
{
    database.Open(true);
    context.passwords.Explain(context.texts.Text(explanation));
    otherPassword = context.passwords.Read(PromptFor(context.texts, TextId::MasterPasswordFor, other));
}

void OtherFileCommand::Pour(
    const std::function<int(CDataBase&, const std::filesystem::path&, const SecureString&)>& read)
{
    int readResult = ReadResult::Failed;
    // Saved under DB's own master password; the other file's password only reads it.
    if (!database.Import([&](CDataBase& entries) {
            readResult = read(entries, other, otherPassword);
            return readResult == ReadResult::Done;
        })) {
        throw CliFailure("", readResult == ReadResult::InvalidPassword ? ExitCode::InvalidPassword : ExitCode::Failed);
    }
}
