#include "core/importexport/CsvFormat.h"

#include <fstream>
#include <new>
#include <optional>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/FieldNames.h"

namespace {
const std::u16string TooLargeMessage = u"Exceeded the maximum file size. The file can not be read.";
const std::u16string NotUtf8Message = u"The file is not UTF-8 text. The file can not be imported.";
const std::u16string ReadFailedMessage = u"An unknown file exception occurred when attempting to read the file.";
const std::u16string NoMemoryMessage = u"Not enough memory to read the file.";
const std::u16string OtherFailureMessage = u"An unknown exception occurred when attempting to read the file.";

constexpr int InvalidFormatText = 174;
constexpr int InvalidCharactersText = 175;
constexpr int FieldNumberBeforeNameText = 176;
constexpr int FieldNumberAfterNameText = 177;
constexpr int ImportGroupText = 136;

// The program's own refusal of a file's content, shown with the error icon.
struct CsvRefusal
{
    std::u16string message;
};

// The file could not be opened or read.
struct CsvFileError
{};

SecureBytes ReadWholeFile(const std::filesystem::path& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        throw CsvFileError{};
    }
    if (size >= CsvFileSizeLimit) {
        throw CsvRefusal{TooLargeMessage};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw CsvFileError{};
    }
    SecureBytes bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        throw CsvFileError{};
    }
    return bytes;
}

// Decodes the bytes and joins the file's lines, each ended by a single line feed: a carriage return right before a
// line feed belongs to the line end, any other carriage return to the text.
SecureString DecodeLines(std::string_view bytes)
{
    std::optional<std::u16string> decoded = DecodeUtf8Strict(bytes);
    if (!decoded) {
        throw CsvRefusal{NotUtf8Message};
    }
    SecureString text;
    text.reserve(decoded->size() + 1);
    const std::size_t size = decoded->size();
    for (std::size_t i = 0; i < size; ++i) {
        if ((*decoded)[i] != u'\r' || i + 1 == size || (*decoded)[i + 1] != u'\n') {
            text.push_back((*decoded)[i]);
        }
    }
    if (!text.empty() && text.back() != u'\n') {
        text.push_back(u'\n');
    }
    WipeString(*decoded);
    return text;
}

// Walks the text by the quote-only grammar: calls onField(raw value, holds doubled quotes) as each field closes
// and onRecordEnd() at each line feed outside a field. Returns false when the text ends inside a field.
template <class OnField, class OnRecordEnd>
bool ScanCsv(std::u16string_view text, OnField&& onField, OnRecordEnd&& onRecordEnd)
{
    const std::size_t size = text.size();
    std::size_t position = 0;
    while (position < size) {
        position = text.find_first_of(u"\"\n", position);
        if (position == std::u16string_view::npos) {
            break;
        }
        if (text[position] == u'\n') {
            ++position;
            onRecordEnd();
            continue;
        }
        const std::size_t start = ++position;
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
    return true;
}

std::u16string_view View(const SecureString& text)
{
    return {text.data(), text.size()};
}

// Refuses the whole file before anything is added: characters no entry may hold, a field number beyond the first
// record, records of unequal length, an unclosed field.
void Validate(const SecureString& text, const CsvImportOptions& options, const ITextSource& texts)
{
    if (text.find(FieldTerminatorView.data(), 0, FieldTerminatorView.size()) != SecureString::npos ||
        text.find(u'\0') != SecureString::npos) {
        // A NUL would cut the entry short when the database file is read back.
        throw CsvRefusal{texts.Text(InvalidCharactersText)};
    }
    std::size_t fields = 0;
    std::optional<std::size_t> firstRecordFields;
    const bool closed = ScanCsv(
        View(text), [&](std::u16string_view, bool) { ++fields; },
        [&] {
            if (!firstRecordFields) {
                firstRecordFields = fields;
                for (int field = 0; field < EntryFieldCount; ++field) {
                    const int number = options.fieldNumbers[field];
                    if (number > 0 && static_cast<std::size_t>(number) > fields) {
                        throw CsvRefusal{texts.Text(FieldNumberBeforeNameText) +
                                         texts.Text(FieldNameTextId(static_cast<EntryField>(field))) +
                                         texts.Text(FieldNumberAfterNameText)};
                    }
                }
            } else if (fields != *firstRecordFields) {
                throw CsvRefusal{texts.Text(InvalidFormatText)};
            }
            fields = 0;
        });
    if (!closed) {
        throw CsvRefusal{texts.Text(InvalidFormatText)};
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

void Import(CDataBase& database, const SecureString& text, const CsvImportOptions& options)
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

    EntryKey key;
    EntryFields fields;
    SecureString* values[] = {&key.group, &key.title, &fields.username, &fields.password, &fields.url, &fields.notes};
    bool skipRecord = options.header;
    std::size_t number = 0;
    ScanCsv(
        View(text),
        [&](std::u16string_view raw, bool doubled) {
            if (const int target = targetOf(++number); target >= 0) {
                AssignValue(*values[target], raw, doubled);
            }
        },
        [&] {
            if (!skipRecord) {
                if (!groupFromFile) {
                    const std::u16string& group = database.Texts().Text(ImportGroupText);
                    key.group.assign(group.begin(), group.end());
                }
                database.AddRenaming(key, fields);
            }
            skipRecord = false;
            for (SecureString* value : values) {
                WipeString(*value);
            }
            number = 0;
        });
}

bool ReportFailure(IMessageReporter& reporter, const std::u16string& message, MessageIcon icon)
{
    reporter.ShowMessage(message, icon);
    return false;
}

template <class Operation> bool RunImport(CDataBase& database, Operation&& operation)
{
    IMessageReporter& reporter = database.Reporter();
    try {
        operation();
        return true;
    } catch (const CsvRefusal& refusal) {
        return ReportFailure(reporter, refusal.message, MessageIcon::Error);
    } catch (const CsvFileError&) {
        return ReportFailure(reporter, ReadFailedMessage, MessageIcon::None);
    } catch (const std::bad_alloc&) {
        return ReportFailure(reporter, NoMemoryMessage, MessageIcon::None);
    } catch (...) {
        return ReportFailure(reporter, OtherFailureMessage, MessageIcon::None);
    }
}

void ImportBytes(CDataBase& database, std::string_view bytes, const CsvImportOptions& options)
{
    const SecureString text = DecodeLines(bytes);
    Validate(text, options, database.Texts());
    Import(database, text, options);
}
} // namespace

bool ImportCsvBytes(CDataBase& database, std::string_view bytes, const CsvImportOptions& options)
{
    return RunImport(database, [&] { ImportBytes(database, bytes, options); });
}

bool ImportCsv(CDataBase& database, const std::filesystem::path& path, const CsvImportOptions& options)
{
    return RunImport(database, [&] {
        const SecureBytes bytes = ReadWholeFile(path);
        ImportBytes(database, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, options);
    });
}
