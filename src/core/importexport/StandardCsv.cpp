#include "core/importexport/StandardCsv.h"

#include <algorithm>
#include <vector>

namespace {
constexpr char16_t ByteOrderMark = u'\uFEFF';

// Walks the text field by field.
class StandardCsvScanner
{
public:
    explicit StandardCsvScanner(std::u16string_view text)
        : text(text)
    {
        if (!this->text.empty() && this->text.front() == ByteOrderMark) {
            this->text.remove_prefix(1);
        }
    }

    void Run(const std::function<void(std::span<SecureString>)>& onRecord)
    {
        while (position < text.size()) {
            std::size_t count = 0;
            bool recordEnded = false;
            while (!recordEnded) {
                // The strings of the last record are used again, so that most values need no allocation.
                if (count == fields.size()) {
                    fields.emplace_back();
                }
                SecureString& value = fields[count++];
                value.clear();
                if (position < text.size() && text[position] == u'"') {
                    ReadQuoted(value);
                } else {
                    ReadUnquoted(value);
                }
                recordEnded = !SkipComma();
            }
            SkipLineEnd();
            const bool blankLine = count == 1 && fields.front().empty();
            if (!blankLine) {
                onRecord(std::span(fields.data(), count));
            }
        }
    }

private:
    // Counted only for a refusal: a large file is read without looking at its line feeds twice.
    std::size_t LineAt(std::size_t at) const
    {
        const std::u16string_view before = text.substr(0, at);
        return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), u'\n'));
    }

    bool AtLineEnd() const
    {
        return position == text.size() || text[position] == u'\n' ||
               (text[position] == u'\r' && position + 1 < text.size() && text[position + 1] == u'\n');
    }

    void ReadUnquoted(SecureString& value)
    {
        const std::size_t start = position;
        while (position < text.size() && text[position] != u',' && !AtLineEnd()) {
            ++position;
        }
        value.assign(text.begin() + static_cast<std::ptrdiff_t>(start),
                     text.begin() + static_cast<std::ptrdiff_t>(position));
    }

    void ReadQuoted(SecureString& value)
    {
        const std::size_t opening = position;
        ++position;
        for (;;) {
            const std::size_t quote = text.find(u'"', position);
            if (quote == std::u16string_view::npos) {
                throw StandardCsvBrokenQuote{LineAt(opening)};
            }
            const std::u16string_view piece = text.substr(position, quote - position);
            value.append(piece.begin(), piece.end());
            position = quote + 1;
            if (position < text.size() && text[position] == u'"') {
                value.push_back(u'"');
                ++position;
                continue;
            }
            break;
        }
        if (position < text.size() && text[position] != u',' && !AtLineEnd()) {
            throw StandardCsvBrokenQuote{LineAt(position)};
        }
    }

    bool SkipComma()
    {
        if (position < text.size() && text[position] == u',') {
            ++position;
            return true;
        }
        return false;
    }

    void SkipLineEnd()
    {
        if (position < text.size() && text[position] == u'\r') {
            ++position;
        }
        if (position < text.size() && text[position] == u'\n') {
            ++position;
        }
    }

    std::u16string_view text;
    std::size_t position = 0;
    std::vector<SecureString, WipingAllocator<SecureString>> fields;
};
} // namespace

void ReadStandardCsv(std::u16string_view text, const std::function<void(std::span<SecureString> fields)>& onRecord)
{
    StandardCsvScanner(text).Run(onRecord);
}
