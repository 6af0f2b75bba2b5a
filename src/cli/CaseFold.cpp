#include "cli/CaseFold.h"

#include <locale>

namespace {
// The system's Unicode case mapping; the classic locale, which maps only ASCII letters, where it is not installed.
const std::ctype<wchar_t>& LetterCases()
{
    static const std::locale unicode = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error&) {
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::ctype<wchar_t>>(unicode);
}

bool IsSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF;
}
} // namespace

SecureString CaseFolded(std::u16string_view text)
{
    const std::ctype<wchar_t>& cases = LetterCases();
    SecureString folded(text.begin(), text.end());
    for (char16_t& unit : folded) {
        if (!IsSurrogate(unit)) {
            unit = static_cast<char16_t>(cases.tolower(static_cast<wchar_t>(unit)));
        }
    }
    return folded;
}

bool ContainsIgnoringCase(std::u16string_view text, std::u16string_view term)
{
    const SecureString foldedText = CaseFolded(text);
    const SecureString foldedTerm = CaseFolded(term);
    return std::u16string_view(foldedText).find(std::u16string_view(foldedTerm)) != std::u16string_view::npos;
}
