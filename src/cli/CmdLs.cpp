#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(1);
    CCliDatabase database(context, parsed.Path(0));
    database.Open(false);
    for (const auto& [key, fields] : database.Entries()) {
        context.output.Write(ListingLine(key));
    }
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand LsCommand{
    "ls",
    "DB",
    "Lists the entries of DB in key order, one line each: the group, a tab, the title.",
    Run,
};
