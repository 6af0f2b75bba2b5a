#include "cli/Output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/CliCommand.h"
#include "core/common/Utf.h"

namespace {
void AppendEscaped(SecureUtf8& out, char32_t value)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    switch (value) {
    case U'\\':
        out += "\\\\";
        return;
    case U'\t':
        out += "\\t";
        return;
    case U'\n':
        out += "\\n";
        return;
    case U'\r':
        out += "\\r";
        return;
    default:
        break;
    }
    if (value < 0x20 || (value >= 0x7F && value <= 0x9F)) {
        out += "\\x";
        out.push_back(Hex[value >> 4]);
        out.push_back(Hex[value & 0xF]);
        return;
    }
    AppendUtf8(out, value);
}
} // namespace

namespace {
SecureUtf8 Encode(const SecureString& field, bool escape)
{
    SecureUtf8 out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        char32_t unit = field[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < field.size() && field[i + 1] >= 0xDC00 &&
            field[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (field[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        if (escape) {
            AppendEscaped(out, unit);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}
} // namespace

SecureUtf8 EscapeField(const SecureString& field)
{
    return Encode(field, true);
}

SecureUtf8 PlainField(const SecureString& field)
{
    return Encode(field, false);
}

SecureUtf8 ListingLine(const EntryKey& key)
{
    SecureUtf8 line = EscapeField(key.group);
    line += '\t';
    line += EscapeField(key.title);
    line += '\n';
    return line;
}

void COutput::Write(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw CliFailure(std::string("Cannot write the output: ") + std::strerror(written < 0 ? errno : EIO));
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

void COutput::Write(const SecureUtf8& text)
{
    Write(std::string_view(text.data(), text.size()));
}

void COutput::WriteLine(SecureUtf8 text)
{
    text += '\n';
    Write(text);
}
