#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/GeneratorOptions.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--length"}, {"--upper", "--lower", "--numbers", "--special"});
    parsed.ExpectPositional(0);
    context.output.WriteLine(EscapeField(GeneratedPassword(parsed, context.options)));
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand GenCommand{
    "gen",
    "[-l|--length N] [--upper] [--lower] [--numbers] [--special]",
    "Writes a random password of N characters drawn from the named character sets: upper-case letters, lower-case "
    "letters, digits, the symbols !@#$%^&*()_-+. Without options, the length and the sets are those of the desktop "
    "program's password generator settings.",
    Run,
};
