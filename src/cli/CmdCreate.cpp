#include <filesystem>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "cli/NewPassword.h"
#include "core/database/DatabaseFile.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {}, {"--allow-empty"});
    parsed.ExpectPositional(1);
    const std::filesystem::path path = parsed.Path(0);
    std::error_code error;
    // Also a dangling link: writing would create the file it points to.
    if (std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found) {
        throw CliFailure("The file already exists; a new database is not written over it: " + path.string());
    }
    RequireWritableTarget(path);
    // Every command that changes the database refuses such a name; a file made with it could never be changed.
    RequireUtf8Name(path);
    const SecureString password =
        AskNewPassword(context, {NewPasswordMode::NewDatabase, path, parsed.Flag("--allow-empty")});
    const CDataBase empty(context.reporter, context.texts);
    if (!WriteDatabase(empty, path, password)) {
        throw CliFailure("");
    }
    ConfirmDone(context, parsed, "Created " + path.string() + ".");
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand CreateCommand{
    "create",
    "DB [--allow-empty]",
    "Creates an empty database in the new file DB. Asks for its master password and the password again. An empty "
    "master password is confirmed at a terminal and refused otherwise unless --allow-empty is given.",
    Run,
};
