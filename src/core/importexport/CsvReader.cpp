#include "core/importexport/CsvFormat.h"

#include <functional>
#include <optional>

#include <openssl/crypto.h>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/FieldNames.h"
#include "core/importexport/ImportFile.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// The decoded text of a file; wiped when the import ends, as it holds the file's secrets.
class DecodedText
{
public:
    explicit DecodedText(std::u16string text)
        : text(std::move(text))
    {}
    ~DecodedText() { WipeString(text); }
    DecodedText(const DecodedText&) = delete;
    DecodedText& operator=(const DecodedText&) = delete;

    std::u16string text;
};

// Decodes the bytes and joins the file's lines: a carriage return right before a line feed belongs to the line end
// and is dropped, any other carriage return belongs to the text. A last line without a line end is ended by the
// scan, as if the line feed were there.
std::u16string DecodeLines(std::string_view bytes)
{
    std::optional<std::u16string> decoded = DecodeUtf8Strict(WithoutByteOrderMark(bytes));
    if (!decoded) {
        throw ImportRefusal{NotUtf8Message};
    }
    std::u16string& text = *decoded;
    const std::size_t size = text.size();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] != u'\r' || i + 1 == size || text[i + 1] != u'\n') {
            text[kept++] = text[i];
        }
    }
    // Shrinking keeps the buffer, so nothing of the file is left behind in freed memory.
    text.resize(kept);
    return std::move(text);
}

// Walks the text by the quote-only grammar: calls onField(raw value, holds doubled quotes) as each field closes
// and onRecordEnd() at each line feed outside a field. Returns false when the text ends inside a field.
template <class OnField, class OnRecordEnd>
bool ScanCsv(std::u16string_view text, OnField&& onField, OnRecordEnd&& onRecordEnd)
{
    const std::size_t size = text.size();
    std::size_t position = 0;
    while (position < size) {
        const char16_t character = text[position++];
        if (character == u'\n') {
            onRecordEnd();
            continue;
        }
        if (character != u'"') {
            continue;
        }
        const std::size_t start = position;
        bool doubled = false;
        for (;;) {
            const std::size_t quote = text.find(u'"', position);
            if (quote == std::u16string_view::npos) {
                return false;
            }
            if (quote + 1 < size && text[quote + 1] == u'"') {
                doubled = true;
                position = quote + 2;
                continue;
            }
            onField(text.substr(start, quote - start), doubled);
            position = quote + 1;
            break;
        }
    }
    if (size > 0 && text.back() != u'\n') {
        onRecordEnd();
    }
    return true;
}

// True when the text holds the database's field terminator, or a NUL, which would cut the entry short when the
// database file is read back.
bool HoldsForbiddenCharacters(std::u16string_view text)
{
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] > 7) {
            continue;
        }
        if (text[i] == 0 || text.substr(i, FieldTerminatorView.size()) == FieldTerminatorView) {
            return true;
        }
    }
    return false;
}

// Refuses the whole file before anything is added: characters no entry may hold, a field number beyond the first
// record, records of unequal length, an unclosed field.
void Validate(std::u16string_view text, const CsvImportOptions& options, const ITextSource& texts)
{
    if (HoldsForbiddenCharacters(text)) {
        throw ImportRefusal{texts.Text(TextId::InvalidCharacters)};
    }
    std::size_t fields = 0;
    std::optional<std::size_t> firstRecordFields;
    const bool closed = ScanCsv(
        text, [&](std::u16string_view, bool) { ++fields; },
        [&] {
            if (!firstRecordFields) {
                firstRecordFields = fields;
                for (int field = 0; field < EntryFieldCount; ++field) {
                    const int number = options.fieldNumbers[field];
                    if (number > 0 && static_cast<std::size_t>(number) > fields) {
                        throw ImportRefusal{texts.Text(TextId::FieldNumberBeforeName) +
                                            texts.Text(FieldNameTextId(static_cast<EntryField>(field))) +
                                            texts.Text(TextId::FieldNumberAfterName)};
                    }
                }
            } else if (fields != *firstRecordFields) {
                throw ImportRefusal{texts.Text(TextId::InvalidFileFormat)};
            }
            fields = 0;
        });
    if (!closed) {
        throw ImportRefusal{texts.Text(TextId::InvalidFileFormat)};
    }
}

void AssignValue(SecureString& value, std::u16string_view raw, bool doubled)
{
    if (!doubled) {
        value.assign(raw.begin(), raw.end());
        return;
    }
    value.clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        value.push_back(raw[i]);
        if (raw[i] == u'"') {
            ++i; // the second quote of the pair
        }
    }
}

// Wipes all the string's room, not just its length: a string whose value was moved away keeps the characters of a
// short value in its own small buffer.
void WipeWholeBuffer(SecureString& value)
{
    OPENSSL_cleanse(value.data(), value.capacity() * sizeof(char16_t));
    value.clear();
}

// The import pass: one entry per record, in file order, the header record left out.
void ReadEntries(std::u16string_view text, const CsvImportOptions& options, const ITextSource& texts,
                 const std::function<void(Entry&&)>& onEntry)
{
    // Which entry field a field number feeds; with equal numbers the first entry field wins.
    auto targetOf = [&](std::size_t number) {
        for (int field = 0; field < EntryFieldCount; ++field) {
            if (options.fieldNumbers[field] > 0 && static_cast<std::size_t>(options.fieldNumbers[field]) == number) {
                return field;
            }
        }
        return -1;
    };
    const bool groupFromFile = options.fieldNumbers[0] != CsvImportOptions::NotMapped;

    Entry entry;
    bool skipRecord = options.header;
    std::size_t number = 0;
    ScanCsv(
        text,
        [&](std::u16string_view raw, bool doubled) {
            if (const int target = targetOf(++number); target >= 0) {
                AssignValue(FieldOf(entry, static_cast<EntryField>(target)), raw, doubled);
            }
        },
        [&] {
            if (!skipRecord) {
                if (!groupFromFile) {
                    const std::u16string& group = texts.Text(TextId::Import);
                    entry.group.assign(group.begin(), group.end());
                }
                onEntry(std::move(entry));
            }
            skipRecord = false;
            for (int field = 0; field < EntryFieldCount; ++field) {
                WipeWholeBuffer(FieldOf(entry, static_cast<EntryField>(field)));
            }
            number = 0;
        });
}

template <class Operation> bool RunImport(CDataBase& database, Operation&& operation)
{
    IMessageReporter& reporter = database.Reporter();
    try {
        operation();
        return true;
    } catch (...) {
        ReportImportFailure(reporter);
        return false;
    }
}

// Checks the whole file, then reads its entries.
void ReadCheckedEntries(std::string_view bytes, const CsvImportOptions& options, const ITextSource& texts,
                        const std::function<void(Entry&&)>& onEntry)
{
    const DecodedText decoded(DecodeLines(bytes));
    Validate(decoded.text, options, texts);
    ReadEntries(decoded.text, options, texts, onEntry);
}

void ImportBytes(CDataBase& database, std::string_view bytes, const CsvImportOptions& options, ImportCounts& counts)
{
    CEntryImport import(database, options.identical);
    ReadCheckedEntries(bytes, options, database.Texts(), [&](Entry&& entry) { import.Add(std::move(entry)); });
    counts = import.Counts();
}
} // namespace

void ReadCsvEntries(std::string_view bytes, const CsvImportOptions& options, const ITextSource& texts,
                    const std::function<void(Entry&&)>& onEntry)
{
    ReadCheckedEntries(bytes, options, texts, onEntry);
}

bool ImportCsvBytes(CDataBase& database, std::string_view bytes, const CsvImportOptions& options)
{
    ImportCounts counts;
    return ImportCsvBytes(database, bytes, options, counts);
}

bool ImportCsvBytes(CDataBase& database, std::string_view bytes, const CsvImportOptions& options, ImportCounts& counts)
{
    return RunImport(database, [&] { ImportBytes(database, bytes, options, counts); });
}

bool ImportCsv(CDataBase& database, const std::filesystem::path& path, const CsvImportOptions& options)
{
    ImportCounts counts;
    return ImportCsv(database, path, options, counts);
}

bool ImportCsv(CDataBase& database, const std::filesystem::path& path, const CsvImportOptions& options,
               ImportCounts& counts)
{
    return RunImport(database, [&] {
        const SecureBytes bytes = ReadImportFile(path);
        ImportBytes(database, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, options, counts);
    });
}

bool HasEqualFieldNumbers(const std::array<int, 6>& fieldNumbers)
{
    for (std::size_t first = 0; first < fieldNumbers.size(); ++first) {
        for (std::size_t second = first + 1; second < fieldNumbers.size(); ++second) {
            if (fieldNumbers[first] != CsvImportOptions::NotMapped && fieldNumbers[first] == fieldNumbers[second]) {
                return true;
            }
        }
    }
    return false;
}
