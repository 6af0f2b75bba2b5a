#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/common/SecureString.h"

// Conversions between the program's UTF-16 text and the UTF-8 of files, paths and the terminal.

// Lenient: ill-formed input becomes U+FFFD, an unpaired surrogate in UTF-16 too.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

SecureString Utf8ToSecure(std::string_view text);
std::string SecureToUtf8(const SecureString& text);

// Strict: nullopt when the bytes are not well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF too).
std::optional<std::u16string> DecodeUtf8Strict(std::string_view text);
// The same check without the decoded text.
bool IsWellFormedUtf8(std::string_view text);
// Appends the decoded text, leniently as Utf8ToSecure; a piece of a file already checked by IsWellFormedUtf8 is
// decoded without a copy of the whole file.
void AppendUtf8ToSecure(SecureString& out, std::string_view text);

// UTF-16 with byte order little-endian, as stored in files.
std::u16string Utf16LeBytesToText(std::string_view bytes);

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// Calls `use` with each code point of UTF-16 text; an unpaired surrogate counts as U+FFFD.
template <class String, class Use> void ForEachCodePoint(const String& text, Use use)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = ReplacementCharacter;
        }
        use(unit);
    }
}

// Appends one code point as UTF-8 to any string of char.
template <class Out> void AppendUtf8(Out& out, char32_t value)
{
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

// Formats a number the way the program's messages and numbered titles show it.
std::u16string ToU16(unsigned long long number);
