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

void AppendName(SecureString& out, const CsvExportOptions& options, const std::u16string& name)
{
    if (options.style == CsvStyle::Standard) {
        AppendQuoted(out, SecureString(name.begin(), name.end()));
        return;
    }
    // Names go in as they are: a translation is trusted not to hold quotes.
    out.push_back(u'"');
    out.append(name.begin(), name.end());
    out.push_back(u'"');
}

LineEnds LineEndsOf(CsvStyle style)
{
    return style == CsvStyle::Standard ? LineEnds::AsWritten : LineEnds::CrLfForEveryLf;
}

void MakeCsv(const CDataBase& database, const CsvExportOptions& options,
             const std::function<void(std::u16string_view)>& piece)
{
    const bool standard = options.style == CsvStyle::Standard;
    const std::u16string_view delimiter = standard ? std::u16string_view(u",") : options.delimiter;
    // The standard ends records with CR LF; the described format writes a line feed that the encoding widens.
    const std::u16string_view lineEnd = standard ? std::u16string_view(u"\r\n") : std::u16string_view(u"\n");
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
                text.append(delimiter.begin(), delimiter.end());
            }
            first = false;
            valueOf(static_cast<EntryField>(field));
        }
        text.append(lineEnd.begin(), lineEnd.end());
        piece(std::u16string_view(text.data(), text.size()));
    };

    if (options.header) {
        appendLine([&](EntryField field) { AppendName(text, options, database.Texts().Text(FieldNameTextId(field))); });
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
    return EncodeExportText(CsvOf(database, options), LineEndsOf(options.style));
}

void StreamCsvFile(const CDataBase& database, const CsvExportOptions& options, const ContentSink& sink)
{
    StreamExportText(CsvOf(database, options), LineEndsOf(options.style), sink);
}

bool ExportCsv(const CDataBase& database, const std::filesystem::path& path, const CsvExportOptions& options,
               const FileSystemCalls& calls)
{
    return WriteExportFile(database.Reporter(), path, CsvOf(database, options), LineEndsOf(options.style), calls);
}
