#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "core/database/SearchIndex.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(2);
    const SecureString term = parsed.Text(1);
    CCliDatabase database(context, parsed.Path(0));
    database.Open(false);
    for (const auto& item : SearchIndex(database.Entries()).Matching(term)) {
        context.output.Write(ListingLine(item->first));
    }
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand SearchCommand{
    "search",
    "DB TERM",
    "Lists, as ls does, the entries whose group, title, user name, URL or notes contain TERM, ignoring case. "
    "Finding nothing is not a failure.",
    Run,
};
