#include "core/passgen/GeneratorSettings.h"

#include <algorithm>

void ApplyGeneratorSettings(CPassGen& generator, const COptions& options)
{
    generator.length = std::min(options.iPassGenLength, LongestGeneratedPassword);
    generator.upper = options.fPassGenUpperLetters ? 1 : 0;
    generator.lower = options.fPassGenLowerLetters ? 1 : 0;
    generator.numbers = options.fPassGenNumbers ? 1 : 0;
    generator.special = options.fPassGenSpecSymbols ? 1 : 0;
}
