#include "core/importexport/StandardCsv.h"

#include <algorithm>
#include <vector>

#include "core/common/Utf.h"
#include "core/importexport/ImportFile.h"

StandardCsvReader::StandardCsvReader(std::string_view text)
    : text(WithoutByteOrderMark(text))
{}

std::optional<std::span<SecureString>> StandardCsvReader::Next(const std::vector<bool>& wanted)
{
    while (position < text.size()) {
        std::size_t count = 0;
        bool recordEnded = false;
        while (!recordEnded) {
            // The strings of the last record are used again, so that most values need no allocation.
            if (count == fields.size()) {
                fields.emplace_back();
            }
            SecureString& value = fields[count];
            value.clear();
            SecureString* const copy = count >= wanted.size() || wanted[count] ? &value : nullptr;
            ++count;
            if (position < text.size() && text[position] == '"') {
                ReadQuoted(copy);
            } else {
                ReadUnquoted(copy);
            }
            recordEnded = !SkipComma();
        }
        SkipLineEnd();
        const bool blankLine = count == 1 && fields.front().empty();
        if (!blankLine) {
            return std::span(fields.data(), count);
        }
    }
    return std::nullopt;
}

void StandardCsvReader::MoveTo(std::size_t recordStart)
{
    position = recordStart;
}

bool StandardCsvReader::AtLineEnd() const
{
    return position == text.size() || text[position] == '\n' ||
           (text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n');
}

void StandardCsvReader::ReadUnquoted(SecureString* value)
{
    const std::size_t start = position;
    while (position < text.size() && text[position] != ',' && !AtLineEnd()) {
        ++position;
    }
    if (value != nullptr) {
        AppendUtf8ToSecure(*value, text.substr(start, position - start));
    }
}

void StandardCsvReader::ReadQuoted(SecureString* value)
{
    const std::size_t opening = position;
    ++position;
    for (;;) {
        const std::size_t quote = text.find('"', position);
        if (quote == std::string_view::npos) {
            throw StandardCsvBrokenQuote{::LineAt(text, opening)};
        }
        if (value != nullptr) {
            AppendUtf8ToSecure(*value, text.substr(position, quote - position));
        }
        position = quote + 1;
        if (position < text.size() && text[position] == '"') {
            if (value != nullptr) {
                value->push_back(u'"');
            }
            ++position;
            continue;
        }
        break;
    }
    if (position < text.size() && text[position] != ',' && !AtLineEnd()) {
        throw StandardCsvBrokenQuote{::LineAt(text, position)};
    }
}

bool StandardCsvReader::SkipComma()
{
    if (position < text.size() && text[position] == ',') {
        ++position;
        return true;
    }
    return false;
}

void StandardCsvReader::SkipLineEnd()
{
    if (position < text.size() && text[position] == '\r') {
        ++position;
    }
    if (position < text.size() && text[position] == '\n') {
        ++position;
    }
}

void ReadStandardCsv(std::string_view text, const std::function<void(std::span<SecureString> fields)>& onRecord)
{
    StandardCsvReader reader(text);
    while (const std::optional<std::span<SecureString>> record = reader.Next()) {
        onRecord(*record);
    }
}
