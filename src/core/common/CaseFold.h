#pragma once

#include <string_view>

#include "core/common/SecureString.h"

// The text with every letter in lower case, for comparisons that ignore case (Web and WEB, Пароль and ПАРОЛЬ).
SecureString CaseFolded(std::u16string_view text);

// Appends the text with every letter in lower case, so that many texts fold into one buffer without a copy each.
void AppendCaseFolded(std::u16string_view text, SecureString& into);
