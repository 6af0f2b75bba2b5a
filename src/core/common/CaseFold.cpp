#include "core/common/CaseFold.h"

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

void AppendCaseFolded(std::u16string_view text, SecureString& into)
{
    const std::ctype<wchar_t>& cases = LetterCases();
    const std::size_t start = into.size();
    into.append(text.data(), text.size());
    for (auto unit = into.begin() + static_cast<std::ptrdiff_t>(start); unit != into.end(); ++unit) {
        // Most stored text is ASCII: folding it here keeps the search over a large database fast.
        if (*unit < 0x80) {
            if (*unit >= u'A' && *unit <= u'Z') {
                *unit = static_cast<char16_t>(*unit + (u'a' - u'A'));
            }
        } else if (!IsSurrogate(*unit)) {
            *unit = static_cast<char16_t>(cases.tolower(static_cast<wchar_t>(*unit)));
        }
    }
}

SecureString CaseFolded(std::u16string_view text)
{
    SecureString folded;
    AppendCaseFolded(text, folded);
    return folded;
}
