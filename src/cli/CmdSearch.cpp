#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/EntryListing.h"
#include "core/database/SearchIndex.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(2);
    const SecureString term = parsed.Text(1);
    WriteEntryListing(context, parsed.Path(0), [&term](const EntryKey& key, const EntryFields& fields) {
        return MatchesSearch(key, fields, term);
    });
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
