#pragma once

#include <string_view>
#include <vector>

#include "core/common/SecureString.h"

// A whole decimal number from `lowest` to `highest` (a leading minus allowed); throws UsageError naming `what`
// for anything else.
int NumberArgument(std::u16string_view text, int lowest, int highest, std::string_view what);

// Splits a comma-separated list; an empty text is an empty list.
std::vector<SecureString> CommaSeparated(const SecureString& text);
