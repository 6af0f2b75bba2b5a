#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/EntryListing.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(1);
    WriteEntryListing(context, parsed.Path(0), [](const EntryKey&, const EntryFields&) { return true; });
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand LsCommand{
    "ls",
    "DB",
    "Lists the entries of DB in key order, one line each: the group, a tab, the title.",
    Run,
};
