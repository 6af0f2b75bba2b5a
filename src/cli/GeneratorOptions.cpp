#include "cli/GeneratorOptions.h"

#include "cli/NumberArgument.h"
#include "core/passgen/PassGen.h"

namespace {
constexpr int DefaultLength = 32;
constexpr int LongestPassword = 100000;
} // namespace

bool GeneratorOptionsGiven(const CArguments& parsed)
{
    bool given = parsed.Option("--length").has_value();
    for (std::string_view flag : GeneratorFlags) {
        given = given || parsed.Flag(flag);
    }
    return given;
}

SecureString GeneratedPassword(const CArguments& parsed)
{
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
    return password;
}
