#include "core/importexport/CsvLineCheck.h"

#include "core/common/Utf.h"
#include "core/importexport/ImportFile.h"

namespace {
constexpr std::string_view FieldNames[EntryFieldCount] = {"group", "title", "username", "password", "url", "notes"};

using Problem = CsvProblem;

std::string Fields(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " field" : " fields");
}

// Blanks may stand anywhere outside the quotes; a carriage return belongs to the line end.
bool IsBlank(char character)
{
    return character == ' ' || character == '\t' || character == '\r';
}

void CheckCharacters(std::string_view bytes)
{
    std::size_t line = 1;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        const std::string_view text = bytes.substr(start, end - start);
        if (!IsWellFormedUtf8(text)) {
            throw Problem{line, "the text is not UTF-8"};
        }
        if (FirstForbiddenCharacter(text) != std::string_view::npos) {
            throw Problem{line, "a character that no entry may hold (NUL or U+0007 U+0001 U+0005)"};
        }
        ++line;
        start = end + 1;
    }
}

void CheckFieldNumbers(std::size_t fields, const CsvImportOptions& options)
{
    for (int field = 0; field < EntryFieldCount; ++field) {
        const int number = options.fieldNumbers[static_cast<std::size_t>(field)];
        if (number > 0 && static_cast<std::size_t>(number) > fields) {
            throw Problem{1, "the first record has " + Fields(fields) + ", but field " + std::to_string(number) +
                                 " is to give the " + std::string(FieldNames[field])};
        }
    }
}

// Walks the records by the import's quote-only grammar, keeping count of lines.
class RecordScan
{
public:
    RecordScan(std::string_view bytes, const CsvImportOptions& options)
        : bytes(bytes)
        , options(options)
    {}

    void Run()
    {
        while (position < bytes.size()) {
            const char character = bytes[position++];
            if (character == '\n') {
                EndRecord();
                ++line;
            } else if (character == '"') {
                ReadField();
            } else if (!IsBlank(character)) {
                Unquoted();
            }
        }
        if (!bytes.empty() && bytes.back() != '\n') {
            EndRecord();
        }
    }

private:
    void ReadField()
    {
        const std::size_t openedAt = line;
        for (;;) {
            const std::size_t quote = bytes.find('"', position);
            if (quote == std::string_view::npos) {
                throw Problem{openedAt, "a double quote opens a field that is never closed"};
            }
            for (std::size_t at = position; at < quote; ++at) {
                line += bytes[at] == '\n' ? 1 : 0;
            }
            position = quote + 1;
            if (position < bytes.size() && bytes[position] == '"') {
                ++position;
                continue;
            }
            break;
        }
        ++fields;
        unquotedSinceField = 0;
    }

    // Text outside the quotes: one delimiter after a field is expected, anything more is a value without quotes.
    void Unquoted()
    {
        if (fields == 0 || ++unquotedSinceField > 1) {
            throw Problem{line, "a field is not in double quotes; every value must be enclosed in double quotes"};
        }
    }

    void EndRecord()
    {
        if (!firstRecordFields) {
            firstRecordFields = fields;
            CheckFieldNumbers(fields, options);
        } else if (fields != *firstRecordFields) {
            throw Problem{recordLine, "the record has " + Fields(fields) + ", but the first record has " +
                                          std::to_string(*firstRecordFields)};
        }
        recordLine = line + 1;
        fields = 0;
        unquotedSinceField = 0;
    }

    std::string_view bytes;
    const CsvImportOptions& options;
    std::size_t position = 0;
    std::size_t line = 1;
    std::size_t recordLine = 1; // where the current record starts; a value may span lines
    std::size_t fields = 0;
    std::size_t unquotedSinceField = 0;
    std::optional<std::size_t> firstRecordFields;
};
} // namespace

std::optional<CsvProblem> FindCsvProblem(std::string_view bytes, const CsvImportOptions& options)
{
    bytes = WithoutByteOrderMark(bytes);
    try {
        CheckCharacters(bytes);
        RecordScan(bytes, options).Run();
    } catch (const Problem& problem) {
        return problem;
    }
    return std::nullopt;
}
