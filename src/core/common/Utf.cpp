#include "core/common/Utf.h"

namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Decodes one code point at `position`; returns nullopt for an ill-formed sequence and advances past what was read.
std::optional<char32_t> DecodeOne(std::string_view text, std::size_t& position)
{
    const auto lead = static_cast<unsigned char>(text[position++]);
    if (lead < 0x80) {
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 1, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 2, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 3, value = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    for (int i = 0; i < length; ++i) {
        if (position >= text.size() || !IsContinuation(static_cast<unsigned char>(text[position]))) {
            return std::nullopt;
        }
        value = (value << 6) | (static_cast<unsigned char>(text[position++]) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return value;
}

// Decodes into the units of `out` from `written` on, which must have room for one unit per byte. ASCII, the bulk of
// most files, is copied without decoding. An ill-formed sequence becomes U+FFFD when lenient, and otherwise stops the
// decoding with false.
template <class String> bool DecodeInto(String& out, std::size_t& written, std::string_view text, bool lenient)
{
    std::size_t position = 0;
    while (position < text.size()) {
        const auto byte = static_cast<unsigned char>(text[position]);
        if (byte < 0x80) {
            out[written++] = byte;
            ++position;
            continue;
        }
        const std::size_t start = position;
        std::optional<char32_t> value = DecodeOne(text, position);
        if (!value && !lenient) {
            return false;
        }
        if (!value) {
            // Resynchronise on the next byte so one bad byte costs one replacement character.
            position = start + 1;
            value = ReplacementCharacter;
        }
        if (*value < 0x10000) {
            out[written++] = static_cast<char16_t>(*value);
        } else {
            out[written++] = static_cast<char16_t>(0xD800 + ((*value - 0x10000) >> 10));
            out[written++] = static_cast<char16_t>(0xDC00 + ((*value - 0x10000) & 0x3FF));
        }
    }
    return true;
}

template <class String> String DecodeLenient(std::string_view text)
{
    String out(text.size(), u'\0');
    std::size_t written = 0;
    DecodeInto(out, written, text, true);
    out.resize(written);
    return out;
}

template <class String> std::string Encode(const String& text)
{
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&out](char32_t codePoint) { AppendUtf8(out, codePoint); });
    return out;
}
} // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    return DecodeLenient<std::u16string>(text);
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    return Encode(text);
}

SecureString Utf8ToSecure(std::string_view text)
{
    return DecodeLenient<SecureString>(text);
}

std::string SecureToUtf8(const SecureString& text)
{
    return Encode(text);
}

std::optional<std::u16string> DecodeUtf8Strict(std::string_view text)
{
    // Never more units than bytes: sized once and shrunk at the end, the buffer is not reallocated, so no copy of
    // the text is left behind in freed memory.
    std::u16string out(text.size(), u'\0');
    std::size_t written = 0;
    if (!DecodeInto(out, written, text, false)) {
        WipeString(out);
        return std::nullopt;
    }
    out.resize(written);
    return out;
}

bool IsWellFormedUtf8(std::string_view text)
{
    for (std::size_t position = 0; position < text.size();) {
        if (static_cast<unsigned char>(text[position]) < 0x80) {
            ++position;
        } else if (!DecodeOne(text, position)) {
            return false;
        }
    }
    return true;
}

void AppendUtf8ToSecure(SecureString& out, std::string_view text)
{
    std::size_t written = out.size();
    out.resize(written + text.size());
    DecodeInto(out, written, text, true);
    out.resize(written);
}

std::u16string Utf16LeBytesToText(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return out;
}

std::u16string ToU16(unsigned long long number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}
