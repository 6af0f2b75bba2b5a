#include "cli/SkipIdentical.h"

#include "cli/CliCommand.h"

IdenticalEntries IdenticalEntriesOf(const CArguments& parsed, IdenticalEntries otherwise)
{
    const bool skip = parsed.Flag(SkipIdenticalFlag);
    const bool keep = parsed.Flag(KeepIdenticalFlag);
    if (skip && keep) {
        throw UsageError("--skip-identical and --no-skip-identical exclude each other");
    }
    return skip ? IdenticalEntries::Skip : keep ? IdenticalEntries::Add : otherwise;
}
