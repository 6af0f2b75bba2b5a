#include "core/importexport/StandardCsv.h"

#include <algorithm>
#include <vector>

namespace {
constexpr char16_t ByteOrderMark = u'\uFEFF';

} // namespace

StandardCsvReader::StandardCsvReader(std::u16string_view text)
    : text(text)
{
    if (!this->text.empty() && this->text.front() == ByteOrderMark) {
        this->text.remove_prefix(1);
    }
}

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
            if (position < text.size() && text[position] == u'"') {
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

// Counted only for a refusal: a large file is read without looking at its line feeds twice.
std::size_t StandardCsvReader::LineAt(std::size_t at) const
{
    const std::u16string_view before = text.substr(0, at);
    return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), u'\n'));
}

bool StandardCsvReader::AtLineEnd() const
{
    return position == text.size() || text[position] == u'\n' ||
           (text[position] == u'\r' && position + 1 < text.size() && text[position + 1] == u'\n');
}

void StandardCsvReader::ReadUnquoted(SecureString* value)
{
    const std::size_t start = position;
    while (position < text.size() && text[position] != u',' && !AtLineEnd()) {
        ++position;
    }
    if (value != nullptr) {
        value->assign(text.begin() + static_cast<std::ptrdiff_t>(start),
                      text.begin() + static_cast<std::ptrdiff_t>(position));
    }
}

void StandardCsvReader::ReadQuoted(SecureString* value)
{
    const std::size_t opening = position;
    ++position;
    for (;;) {
        const std::size_t quote = text.find(u'"', position);
        if (quote == std::u16string_view::npos) {
            throw StandardCsvBrokenQuote{LineAt(opening)};
        }
        if (value != nullptr) {
            value->append(text.begin() + static_cast<std::ptrdiff_t>(position),
                          text.begin() + static_cast<std::ptrdiff_t>(quote));
        }
        position = quote + 1;
        if (position < text.size() && text[position] == u'"') {
            if (value != nullptr) {
                value->push_back(u'"');
            }
            ++position;
            continue;
        }
        break;
    }
    if (position < text.size() && text[position] != u',' && !AtLineEnd()) {
        throw StandardCsvBrokenQuote{LineAt(position)};
    }
}

bool StandardCsvReader::SkipComma()
{
    if (position < text.size() && text[position] == u',') {
        ++position;
        return true;
    }
    return false;
}

void StandardCsvReader::SkipLineEnd()
{
    if (position < text.size() && text[position] == u'\r') {
        ++position;
    }
    if (position < text.size() && text[position] == u'\n') {
        ++position;
    }
}

void ReadStandardCsv(std::u16string_view text, const std::function<void(std::span<SecureString> fields)>& onRecord)
{
    StandardCsvReader reader(text);
    while (const std::optional<std::span<SecureString>> record = reader.Next()) {
        onRecord(*record);
    }
}
