#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/NumberArgument.h"
#include "core/passgen/PassGen.h"

namespace {
constexpr int DefaultLength = 32;
constexpr int LongestPassword = 100000;

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--length"}, {"--upper", "--lower", "--numbers", "--special"});
    parsed.ExpectPositional(0);

    CPassGen generator;
    if (const auto length = parsed.Option("--length")) {
        generator.length = NumberArgument(*length, 1, LongestPassword, "--length");
    } else {
        generator.length = DefaultLength;
    }
    // Naming no set means all of them, as a new entry's generator starts.
    const bool anyNamed =
        parsed.Flag("--upper") || parsed.Flag("--lower") || parsed.Flag("--numbers") || parsed.Flag("--special");
    generator.upper = !anyNamed || parsed.Flag("--upper");
    generator.lower = !anyNamed || parsed.Flag("--lower");
    generator.numbers = !anyNamed || parsed.Flag("--numbers");
    generator.special = !anyNamed || parsed.Flag("--special");

    SecureString password;
    generator.Generate(password);
    SecureUtf8 line = EscapeField(password);
    line += '\n';
    context.output.Write(line);
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand GenCommand{
    "gen",
    "[--length N] [--upper] [--lower] [--numbers] [--special]",
    "Writes a random password of N characters (default 32) drawn from the named character sets: upper-case "
    "letters, lower-case letters, digits, the symbols !@#$%^&*()_-+. Naming no set uses all four.",
    Run,
};
