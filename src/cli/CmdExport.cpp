#include <array>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/ExportTarget.h"
#include "cli/FieldArgument.h"
#include "cli/FileChecks.h"
#include "cli/KdbxExport.h"
#include "cli/NumberArgument.h"
#include "core/common/Utf.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/ExportFile.h"
#include "core/importexport/FieldNames.h"
#include "core/importexport/TextExport.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr char UnencodableMessage[] = "An entry holds a character that UTF-8 cannot represent; nothing was written.";

enum class Format
{
    Csv,
    Text,
    Html,
    Kdbx,
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
    if (*name == ToSecure(u"kdbx")) {
        return Format::Kdbx;
    }
    throw UsageError("--format must be csv, txt, html or kdbx");
}

CsvExportOptions CsvOptionsOf(const CArguments& parsed)
{
    CsvExportOptions options;
    options.header = !parsed.Flag("--no-header");
    if (const auto fields = parsed.Option("--fields")) {
        options.fields.fill(false);
        for (const SecureString& name : CommaSeparated(*fields)) {
            options.fields[static_cast<std::size_t>(FieldArgument(name, "--fields"))] = true;
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

// Refuses an export that could not be written whole before its first byte goes out: standard output, a pipe or a
// device cannot take back what they were given.
void RequireEncodable(const CDataBase& entries, Format format, const CsvExportOptions& csvOptions)
{
    for (const auto& item : entries) {
        for (int field = 0; field < EntryFieldCount; ++field) {
            const bool written = format != Format::Csv || csvOptions.fields[static_cast<std::size_t>(field)];
            const SecureString& value = ValueOf(item, static_cast<EntryField>(field));
            if (written && HoldsUnpairedSurrogate(std::u16string_view(value.data(), value.size()))) {
                throw CliFailure(UnencodableMessage);
            }
        }
    }
}

void StreamFile(const CDataBase& entries, Format format, const CsvExportOptions& csvOptions, const ContentSink& sink)
{
    try {
        switch (format) {
        case Format::Csv:
            StreamCsvFile(entries, csvOptions, sink);
            return;
        case Format::Text:
            StreamTextListingFile(entries, sink);
            return;
        case Format::Html:
            break;
        case Format::Kdbx:
            throw std::logic_error("a KeePassXC database is written whole, not streamed");
        }
        StreamHtmlFile(entries, sink);
    } catch (const UnencodableText&) {
        throw CliFailure(UnencodableMessage);
    }
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--format", "--output", "--fields", "--delimiter"}, {"--no-header"});
    parsed.ExpectPositional(1);
    const Format format = FormatOf(parsed.Option("--format"));
    const bool csvOptionGiven = parsed.Flag("--no-header") || parsed.Option("--fields") || parsed.Option("--delimiter");
    if (format != Format::Csv && csvOptionGiven) {
        throw UsageError("--no-header, --fields and --delimiter apply to --format csv only");
    }
    const CsvExportOptions csvOptions = format == Format::Csv ? CsvOptionsOf(parsed) : CsvExportOptions{};
    const std::optional<std::filesystem::path> target = parsed.OptionPath("--output");
    if (format == Format::Kdbx && !target) {
        throw UsageError("--format kdbx writes a file: give it with -o FILE");
    }
    if (target) {
        RequireWritableTarget(*target);
        std::error_code error;
        // The clear-text export would take the place of the encrypted entries it was made from.
        if (std::filesystem::equivalent(*target, parsed.Path(0), error)) {
            throw CliFailure(target->string() +
                             ": this is the database file itself; the export is not written over it.");
        }
    }

    CCliDatabase database(context, parsed.Path(0));
    database.Open(false);
    // Streamed, so that the export takes no more memory than the entries themselves.
    RequireEncodable(database.Entries(), format, csvOptions);
    if (format == Format::Kdbx) {
        WriteKdbxExport(context, database.Entries(), parsed.Path(0), *target);
        ConfirmDone(context, parsed,
                    Utf16ToUtf8(context.texts.Text(TextId::KdbxFileCreated)) + " " +
                        std::filesystem::absolute(*target).lexically_normal().string());
        return ExitCode::Done;
    }
    if (!target) {
        StreamFile(database.Entries(), format, csvOptions, [&](std::span<const unsigned char> bytes) {
            context.output.Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        });
        return ExitCode::Done;
    }
    WriteExportTarget(context, *target,
                      [&](const ContentSink& sink) { StreamFile(database.Entries(), format, csvOptions, sink); });
    const int created = format == Format::Csv    ? TextId::CsvFileCreated
                        : format == Format::Text ? TextId::TextFileCreated
                                                 : TextId::HtmlFileCreated;
    ConfirmDone(context, parsed,
                Utf16ToUtf8(context.texts.Text(created)) + " " +
                    std::filesystem::absolute(*target).lexically_normal().string());
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand ExportCommand{
    "export",
    "DB --format csv|txt|html [-o|--output FILE] [--no-header] [--fields LIST] [--delimiter D] | DB --format kdbx -o "
    "FILE",
    "Writes every entry of DB, passwords in clear, as CSV, a text listing or an HTML table, to standard output or to "
    "FILE, which is left readable by its owner only (wider permissions of an existing FILE are narrowed, with a "
    "warning); a device or pipe is written into. For CSV, LIST names the fields to write, comma-separated, "
    "from group, title, username, password, url, notes (default all); D is written between fields (default a "
    "comma, may be empty); --no-header leaves out the line of field names. kdbx writes a KeePassXC database (KDBX "
    "4.0: Argon2id with 64 MiB, 10 iterations and 2 lanes, AES-256, gzip) under a new password, asked for twice, that "
    "need not be DB's; each group path becomes nested groups, and each entry gets a new UUID and the export's time.",
    Run,
};
