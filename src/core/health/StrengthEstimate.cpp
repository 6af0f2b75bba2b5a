#include "core/health/StrengthEstimate.h"

#include <algorithm>
#include <optional>
#include <vector>

#include <zxcvbn.h>

#include "core/common/SecureString.h"
#include "core/common/Utf.h"
#include "core/settings/BuiltinTexts.h"

// zxcvbn keeps no writable state: its dictionaries are read-only data and each call allocates what it needs, so
// the analysis may call it from several threads at once.

namespace {
// UTF-8 for zxcvbn, in a buffer that is wiped when it is freed. A vector, because a string would keep a short
// password in its own object, outside the allocator's reach.
using SecureUtf8 = std::vector<char, WipingAllocator<char>>;

// The Latin key under each Russian letter, а to я, on the standard Russian layout: the word "пароль" typed on that
// layout is "gfhjkm".
constexpr char16_t FirstCyrillicLower = u'а';
constexpr char LatinKeysOfLower[] = "f,dult;pbqrkvyjghcnea[wxio]sm'.z";
constexpr char LatinKeysOfUpper[] = "F<DULT:PBQRKVYJGHCNEA{WXIO}SM\">Z";

std::optional<char> LatinKeyOf(char32_t letter)
{
    if (letter == U'ё') {
        return '`';
    }
    if (letter == U'Ё') {
        return '~';
    }
    if (letter >= U'а' && letter <= U'я') {
        return LatinKeysOfLower[letter - FirstCyrillicLower];
    }
    if (letter >= U'А' && letter <= U'Я') {
        return LatinKeysOfUpper[letter - U'А'];
    }
    return std::nullopt;
}

// The password as zxcvbn reads it; with `asTypedOnLatinKeys`, each Russian letter becomes the key it is typed with.
// A NUL code point would end the text early, so it becomes U+FFFD.
SecureUtf8 ToZxcvbnText(std::u16string_view password, bool asTypedOnLatinKeys, bool& hasCyrillic)
{
    SecureUtf8 text;
    text.reserve(password.size() * 3 + 1);
    ForEachCodePoint(password, [&](char32_t codePoint) {
        const std::optional<char> key = LatinKeyOf(codePoint);
        hasCyrillic = hasCyrillic || key.has_value();
        if (key && asTypedOnLatinKeys) {
            text.push_back(*key);
        } else {
            AppendUtf8(text, codePoint == 0 ? ReplacementCharacter : codePoint);
        }
    });
    text.push_back('\0');
    return text;
}

double Zxcvbn(const SecureUtf8& text)
{
    return ZxcvbnMatch(text.data(), nullptr, nullptr);
}
} // namespace

double EstimateStrengthBits(std::u16string_view password)
{
    if (password.empty()) {
        return 0;
    }
    bool hasCyrillic = false;
    double bits = Zxcvbn(ToZxcvbnText(password, false, hasCyrillic));
    // zxcvbn knows Latin words and keyboards only, and counts every byte of a Cyrillic letter as a random character:
    // "пароль" would rate as strong. Typed on the Latin keys it is found for what it is, and an attacker tries both.
    if (hasCyrillic) {
        bits = std::min(bits, Zxcvbn(ToZxcvbnText(password, true, hasCyrillic)));
    }
    return bits;
}

StrengthLevel StrengthLevelOf(double bits)
{
    if (bits < 28) {
        return StrengthLevel::VeryWeak;
    }
    if (bits < WeakBelowBits) {
        return StrengthLevel::Weak;
    }
    return bits < 64 ? StrengthLevel::Fair : StrengthLevel::Strong;
}

int StrengthWordId(StrengthLevel level)
{
    switch (level) {
    case StrengthLevel::VeryWeak:
        return TextId::VeryWeakStrength;
    case StrengthLevel::Weak:
        return TextId::WeakStrength;
    case StrengthLevel::Fair:
        return TextId::FairStrength;
    case StrengthLevel::Strong:
        break;
    }
    return TextId::StrongStrength;
}
