#pragma once

#include <string_view>

#include "cli/Arguments.h"
#include "core/common/SecureString.h"

class COptions;

// The options that steer the password generator, shared by gen and by add and edit with --generate.
inline constexpr std::string_view GeneratorFlags[] = {"--upper", "--lower", "--numbers", "--special"};

// Whether any of the generator's options was given.
bool GeneratorOptionsGiven(const CArguments& parsed);

// A new random password as the options ask: N characters from the named sets; without them, the length and sets of
// the desktop program's generator settings (`settings`, or their defaults when nullptr). Throws UsageError for a
// length out of range.
SecureString GeneratedPassword(const CArguments& parsed, const COptions* settings);
