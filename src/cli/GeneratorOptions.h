#pragma once

#include <string_view>

#include "cli/Arguments.h"
#include "core/common/SecureString.h"

// The options that steer the password generator, shared by gen and by add and edit with --generate.
inline constexpr std::string_view GeneratorFlags[] = {"--upper", "--lower", "--numbers", "--special"};

// Whether any of the generator's options was given.
bool GeneratorOptionsGiven(const CArguments& parsed);

// A new random password as the options ask: N characters (default 32) from the named sets (none named: all four).
// Throws UsageError for a length out of range.
SecureString GeneratedPassword(const CArguments& parsed);
