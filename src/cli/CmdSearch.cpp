#include "cli/Arguments.h"
#include "cli/CaseFold.h"
#include "cli/Commands.h"
#include "cli/EntryListing.h"

namespace {
// The password is left out: a search must not tell which entries share a secret.
bool Matches(const EntryKey& key, const EntryFields& fields, std::u16string_view term)
{
    for (const SecureString* field : {&key.group, &key.title, &fields.username, &fields.url, &fields.notes}) {
        if (ContainsIgnoringCase(*field, term)) {
            return true;
        }
    }
    return false;
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(2);
    const SecureString term = parsed.Text(1);
    WriteEntryListing(context, parsed.Path(0),
                      [&term](const EntryKey& key, const EntryFields& fields) { return Matches(key, fields, term); });
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
