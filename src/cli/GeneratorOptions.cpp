#include "cli/GeneratorOptions.h"

#include "cli/NumberArgument.h"
#include "core/passgen/GeneratorSettings.h"

bool GeneratorOptionsGiven(const CArguments& parsed)
{
    bool given = parsed.Option("--length").has_value();
    for (std::string_view flag : GeneratorFlags) {
        given = given || parsed.Flag(flag);
    }
    return given;
}

SecureString GeneratedPassword(const CArguments& parsed, const COptions* settings)
{
    // The same kind of password as the desktop program's generator makes, unless the options say otherwise.
    CPassGen generator;
    ApplyGeneratorSettings(generator, settings != nullptr ? *settings : COptions());
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
    return password;
}
