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

void MakeCsv(const CDataBase& database, const CsvExportOptions& options,
             const std::function<void(std::u16string_view)>& piece)
{
    bool anySelected = false;
    for (bool selected : options.fields) {
        anySelected = anySelected || selected;
    }
    if (!anySelected) {
        return;
    }
    // One line at a time, in a buffer that is wiped when it goes.
    SecureString text;
    auto appendLine = [&](auto&& valueOf) {
        WipeString(text);
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
        piece(std::u16string_view(text.data(), text.size()));
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
    WipeString(text);
}

ExportText CsvOf(const CDataBase& database, const CsvExportOptions& options)
{
    return [&database, &options](const auto& piece) { MakeCsv(database, options, piece); };
}
} // namespace

SecureString BuildCsv(const CDataBase& database, const CsvExportOptions& options)
{
    SecureString text;
    MakeCsv(database, options, [&text](std::u16string_view piece) { text.append(piece.begin(), piece.end()); });
    return text;
}

SecureBytes CsvFileBytes(const CDataBase& database, const CsvExportOptions& options)
{
    return EncodeExportText(CsvOf(database, options), LineEnds::CrLfForEveryLf);
}

void StreamCsvFile(const CDataBase& database, const CsvExportOptions& options, const ContentSink& sink)
{
    StreamExportText(CsvOf(database, options), LineEnds::CrLfForEveryLf, sink);
}

bool ExportCsv(const CDataBase& database, const std::filesystem::path& path, const CsvExportOptions& options,
               const FileSystemCalls& calls)
{
    return WriteExportFile(database.Reporter(), path, CsvOf(database, options), LineEnds::CrLfForEveryLf, calls);
}
