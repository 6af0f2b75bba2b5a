#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/GeneratorOptions.h"

namespace {
int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--length"}, {"--upper", "--lower", "--numbers", "--special"});
    parsed.ExpectPositional(0);
    SecureUtf8 line = EscapeField(GeneratedPassword(parsed));
    line += '\n';
    context.output.Write(line);
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand GenCommand{
    "gen",
    "[-l|--length N] [--upper] [--lower] [--numbers] [--special]",
    "Writes a random password of N characters (default 32) drawn from the named character sets: upper-case "
    "letters, lower-case letters, digits, the symbols !@#$%^&*()_-+. Naming no set uses all four.",
    Run,
};
