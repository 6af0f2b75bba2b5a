#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/NumberArgument.h"
#include "core/passgen/GeneratorSettings.h"

namespace {

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--length"}, {"--upper", "--lower", "--numbers", "--special"});
    parsed.ExpectPositional(0);

    // The same kind of password as the desktop program's generator makes, unless the options say otherwise.
    CPassGen generator;
    ApplyGeneratorSettings(generator, context.settings != nullptr ? *context.settings : COptions());
    if (const auto length = parsed.Option("--length")) {
        generator.length = NumberArgument(*length, 1, LongestGeneratedPassword, "--length");
    }
    if (parsed.Flag("--upper") || parsed.Flag("--lower") || parsed.Flag("--numbers") || parsed.Flag("--special")) {
        generator.upper = parsed.Flag("--upper");
        generator.lower = parsed.Flag("--lower");
        generator.numbers = parsed.Flag("--numbers");
        generator.special = parsed.Flag("--special");
    }

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
    "Writes a random password of N characters drawn from the named character sets: upper-case letters, lower-case "
    "letters, digits, the symbols !@#$%^&*()_-+. Without options, the length and the sets are those of the desktop "
    "program's password generator settings.",
    Run,
};
