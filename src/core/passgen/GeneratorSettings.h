#pragma once

#include <cstdint>

#include "core/passgen/PassGen.h"
#include "core/settings/Options.h"

// The longest password either program generates: a hand-edited length in the settings file must not make the entry
// dialog generate billions of characters before it shows.
inline constexpr std::int32_t LongestGeneratedPassword = 100000;

// Sets the generator's length and character sets from the generator settings (`iPassGenLength` and the four
// `fPassGen...` flags), so that the desktop program and the command line generate the same kind of password.
void ApplyGeneratorSettings(CPassGen& generator, const COptions& options);
