#include <array>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/NumberArgument.h"
#include "core/common/Utf.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/ExportFile.h"
#include "core/importexport/TextExport.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// Text ids of the messages that confirm a written file.

constexpr std::array<std::u16string_view, EntryFieldCount> FieldNames = {u"group",    u"title", u"username",
                                                                         u"password", u"url",   u"notes"};

enum class Format
{
    Csv,
    Text,
    Html,
};

Format FormatOf(const std::optional<SecureString>& name)
{
    if (!name) {
        throw UsageError("--format is required");
    }
    if (*name == ToSecure(u"csv")) {
        return Format::Csv;
    }
    if (*name == ToSecure(u"txt")) {
        return Format::Text;
    }
    if (*name == ToSecure(u"html")) {
        return Format::Html;
    }
    throw UsageError("--format must be csv, txt or html");
}

CsvExportOptions CsvOptionsOf(const CArguments& parsed)
{
    CsvExportOptions options;
    options.header = !parsed.Flag("--no-header");
    if (const auto fields = parsed.Option("--fields")) {
        options.fields.fill(false);
        for (const SecureString& name : CommaSeparated(*fields)) {
            const auto found = std::find(FieldNames.begin(), FieldNames.end(), std::u16string_view(name));
            if (found == FieldNames.end()) {
                throw UsageError("--fields takes a list of group, title, username, password, url, notes");
            }
            options.fields[static_cast<std::size_t>(found - FieldNames.begin())] = true;
        }
    }
    if (const auto delimiter = parsed.Option("--delimiter")) {
        const bool onePair = delimiter->size() == 2 && (*delimiter)[0] >= 0xD800 && (*delimiter)[0] <= 0xDBFF;
        if (delimiter->size() > 1 && !onePair) {
            throw UsageError("--delimiter takes at most one character");
        }
        options.delimiter = FromSecure(*delimiter);
    }
    return options;
}

SecureBytes FileBytes(const CDataBase& entries, Format format, const CsvExportOptions& csvOptions)
{
    try {
        switch (format) {
        case Format::Csv:
            return CsvFileBytes(entries, csvOptions);
        case Format::Text:
            return TextListingFileBytes(entries);
        case Format::Html:
            break;
        }
        return HtmlFileBytes(entries);
    } catch (const UnencodableText&) {
        throw CliFailure("An entry holds a character that UTF-8 cannot represent; nothing was written.");
    }
}

bool WriteFile(const CDataBase& entries, Format format, const CsvExportOptions& csvOptions,
               const std::filesystem::path& path)
{
    switch (format) {
    case Format::Csv:
        return ExportCsv(entries, path, csvOptions);
    case Format::Text:
        return ExportTextListing(entries, path);
    case Format::Html:
        break;
    }
    return ExportHtml(entries, path);
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--format", "-o", "--fields", "--delimiter"}, {"--no-header"});
    parsed.ExpectPositional(1);
    const Format format = FormatOf(parsed.Option("--format"));
    const bool csvOptionGiven = parsed.Flag("--no-header") || parsed.Option("--fields") || parsed.Option("--delimiter");
    if (format != Format::Csv && csvOptionGiven) {
        throw UsageError("--no-header, --fields and --delimiter apply to --format csv only");
    }
    const CsvExportOptions csvOptions = format == Format::Csv ? CsvOptionsOf(parsed) : CsvExportOptions{};
    const std::optional<std::filesystem::path> target = parsed.OptionPath("-o");

    CCliDatabase database(context, parsed.Path(0));
    database.Open(context.texts.Text(TextId::MasterPasswordLabel), false);
    if (!target) {
        const SecureBytes bytes = FileBytes(database.Entries(), format, csvOptions);
        context.output.Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return ExitCode::Done;
    }
    if (!WriteFile(database.Entries(), format, csvOptions, *target)) {
        throw CliFailure("");
    }
    const int created = format == Format::Csv    ? TextId::CsvFileCreated
                        : format == Format::Text ? TextId::TextFileCreated
                                                 : TextId::HtmlFileCreated;
    context.reporter.ShowMessage(context.texts.Text(created) + u" " + Utf8ToUtf16(target->string()),
                                 MessageIcon::Information);
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand ExportCommand{
    "export",
    "DB --format csv|txt|html [-o FILE] [--no-header] [--fields LIST] [--delimiter D]",
    "Writes every entry of DB, passwords in clear, as CSV, a text listing or an HTML table, to FILE (created "
    "readable by the owner only) or to standard output. For CSV, LIST names the fields to write, comma-separated, "
    "from group, title, username, password, url, notes (default all); D is written between fields (default a "
    "comma, may be empty); --no-header leaves out the line of field names.",
    Run,
};
