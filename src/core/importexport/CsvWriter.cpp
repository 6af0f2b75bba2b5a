#include "core/importexport/CsvFormat.h"

#include "core/importexport/ExportFile.h"
#include "core/importexport/FieldNames.h"

namespace {
void AppendQuoted(SecureString& out, const SecureString& value)
{
    out.push_back(u'"');
    std::size_t start = 0;
    for (auto quote = value.find(u'"'); quote != SecureString::npos; quote = value.find(u'"', start)) {
        out.append(value, start, quote + 1 - start);
        out.push_back(u'"');
        start = quote + 1;
    }
    out.append(value, start);
    out.push_back(u'"');
}

// Enough room for a typical export, so that the text is not copied while it grows.
std::size_t EstimatedSize(const CDataBase& database, const CsvExportOptions& options)
{
    std::size_t size = 0;
    for (const auto& item : database) {
        for (int field = 0; field < EntryFieldCount; ++field) {
            if (options.fields[field]) {
                size += ValueOf(item, static_cast<EntryField>(field)).size() + 3 + options.delimiter.size();
            }
        }
        size += 1;
    }
    return size + size / 64;
}
} // namespace

SecureString BuildCsv(const CDataBase& database, const CsvExportOptions& options)
{
    SecureString text;
    bool anySelected = false;
    for (bool selected : options.fields) {
        anySelected = anySelected || selected;
    }
    if (!anySelected) {
        return text;
    }
    text.reserve(EstimatedSize(database, options));

    auto appendLine = [&](auto&& valueOf) {
        bool first = true;
        for (int field = 0; field < EntryFieldCount; ++field) {
            if (!options.fields[field]) {
                continue;
            }
            if (!first) {
                text.append(options.delimiter.begin(), options.delimiter.end());
            }
            first = false;
            valueOf(static_cast<EntryField>(field));
        }
        text.push_back(u'\n');
    };

    if (options.header) {
        // Names go in as they are: a translation is trusted not to hold quotes.
        appendLine([&](EntryField field) {
            const std::u16string& name = database.Texts().Text(FieldNameTextId(field));
            text.push_back(u'"');
            text.append(name.begin(), name.end());
            text.push_back(u'"');
        });
    }
    for (const auto& item : database) {
        appendLine([&](EntryField field) { AppendQuoted(text, ValueOf(item, field)); });
    }
    return text;
}

SecureBytes CsvFileBytes(const CDataBase& database, const CsvExportOptions& options)
{
    return EncodeExportText(BuildCsv(database, options), LineEnds::CrLfForEveryLf);
}

bool ExportCsv(const CDataBase& database, const std::filesystem::path& path, const CsvExportOptions& options,
               const FileSystemCalls& calls)
{
    return WriteExportFile(
        database.Reporter(), path, [&] { return CsvFileBytes(database, options); }, calls);
}
