#include <cmath>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Output.h"
#include "core/health/PasswordHealth.h"

namespace {
std::string_view KindWord(HealthFindingKind kind)
{
    switch (kind) {
    case HealthFindingKind::EmptyPassword:
        return "empty";
    case HealthFindingKind::ReusedPassword:
        return "reused";
    case HealthFindingKind::WeakMasterPassword:
        return "master";
    case HealthFindingKind::WeakPassword:
        break;
    }
    return "weak";
}

// The kind, the estimate in whole bits, then the group and title of each entry, all separated by tabs.
SecureUtf8 FindingLine(const HealthFinding& finding)
{
    SecureUtf8 line(KindWord(finding.kind));
    line += '\t';
    line += std::to_string(std::lround(finding.bits));
    for (const EntryKey& key : finding.entries) {
        line += '\t';
        line += EscapeField(key.group);
        line += '\t';
        line += EscapeField(key.title);
    }
    line += '\n';
    return line;
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(1);
    CCliDatabase database(context, parsed.Path(0));
    database.Open(false);
    for (const HealthFinding& finding : AnalyzePasswordHealth(database.Entries(), database.MasterPassword())) {
        context.output.Write(FindingLine(finding));
    }
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand AnalyzeCommand{
    "analyze",
    "DB",
    "Reports the password problems of DB, weakest first, one line each, never a password: first \"master\" when the "
    "master password would fall to an offline attack on the file in less than a century (the file's key is a single "
    "MD5 of it, and one consumer graphics card tries about 10^10 passwords a second), then \"empty\" for an empty "
    "password, \"reused\" for a password that several entries share, \"weak\" for one whose strength estimate is "
    "below 40 bits. Each line holds the word, the estimate in bits (0 for empty), then the group and title of every "
    "entry concerned (none for the master password), all separated by tabs. The estimate is zxcvbn's count of the "
    "guesses the password withstands.",
    Run,
};
