#pragma once

#include <string_view>

#include "core/common/SecureString.h"

// The text with every letter in lower case, for comparisons that ignore case (Web and WEB, Пароль and ПАРОЛЬ).
SecureString CaseFolded(std::u16string_view text);

// Whether `text` contains `term`, ignoring case.
bool ContainsIgnoringCase(std::u16string_view text, std::u16string_view term);
