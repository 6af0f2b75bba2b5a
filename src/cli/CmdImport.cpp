#include <algorithm>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "cli/KdbxImport.h"
#include "cli/NumberArgument.h"
#include "cli/OtherManagerImport.h"
#include "cli/SkipIdentical.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/CsvLineCheck.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr int HighestFieldNumber = 1000000;

std::array<int, EntryFieldCount> FieldNumbersOf(const SecureString& map)
{
    const std::vector<SecureString> items = CommaSeparated(map);
    if (items.size() != EntryFieldCount) {
        throw UsageError("--map takes six field numbers: group, title, username, password, url, notes");
    }
    std::array<int, EntryFieldCount> numbers{};
    for (std::size_t field = 0; field < numbers.size(); ++field) {
        numbers[field] =
            NumberArgument(items[field], CsvImportOptions::NotMapped, HighestFieldNumber, "a field number");
    }
    return numbers;
}

CsvImportOptions ImportOptionsOf(const CArguments& parsed)
{
    if (parsed.Flag("--header") && parsed.Flag("--no-header")) {
        throw UsageError("--header and --no-header exclude each other");
    }
    CsvImportOptions options;
    // The export writes a header line by default, so an import of it must skip one by default.
    options.header = !parsed.Flag("--no-header");
    // Every record is added, as described, unless asked otherwise.
    options.identical = IdenticalEntriesOf(parsed, IdenticalEntries::Add);
    if (const auto map = parsed.Option("--map")) {
        options.fieldNumbers = FieldNumbersOf(*map);
    }
    return options;
}

std::string EntriesCounted(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    if (NamesKdbxImport(arguments)) {
        return RunKdbxImport(context, arguments);
    }
    if (NamesOtherManager(arguments)) {
        return RunOtherManagerImport(context, arguments);
    }
    const CArguments parsed(arguments, {"--map"}, {"--header", "--no-header", SkipIdenticalFlag, KeepIdenticalFlag});
    parsed.ExpectPositional(2);
    const CsvImportOptions options = ImportOptionsOf(parsed);
    if (HasEqualFieldNumbers(options.fieldNumbers)) {
        context.reporter.ShowMessage(context.texts.Text(TextId::FieldNumbersDiffer), MessageIcon::Error);
        throw CliFailure("", ExitCode::Usage);
    }
    const std::filesystem::path file = parsed.Path(1);
    // The file is read and checked before any password is typed, so a mistake in it costs nothing.
    const SecureBytes bytes = ReadInputFile(file, CsvFileSizeLimit);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (const std::optional<CsvProblem> problem = FindCsvProblem(text, options)) {
        throw CliFailure(file.string() + ": line " + std::to_string(problem->line) + ": " + problem->text +
                         ". Nothing was imported.");
    }

    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    ImportCounts counts;
    if (!database.Import([&](CDataBase& entries) { return ImportCsvBytes(entries, text, options, counts); })) {
        throw CliFailure("");
    }
    std::string summary = "Imported " + EntriesCounted(counts.added + counts.renamed) + " from " + file.string() +
                          ", " + std::to_string(counts.renamed) + " of them renamed";
    if (options.identical == IdenticalEntries::Skip) {
        summary += "; " + EntriesCounted(counts.skipped) + " identical to one in the database skipped";
    }
    ConfirmDone(context, parsed, summary + ".");
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand ImportCommand{
    "import",
    "DB FILE [--no-header] [--map G,T,U,P,URL,N] [--skip-identical] | DB FILE --from "
    "keepassxc|chrome|firefox|bitwarden|1password [--no-skip-identical] | DB FILE --from "
    "lastpass|apple|dashlane|protonpass|auto [--no-skip-identical] | DB FILE.kdbx [--from kdbx] [--key-file F] "
    "[--no-skip-identical]",
    "Adds one entry per record of the CSV file FILE (UTF-8, every field in double quotes) to DB. The first record "
    "is taken for a header and skipped, as export writes one; --no-header imports it too (--header, the default, is "
    "accepted). --map gives, for group, title, username, password, url and notes, the position of the field that "
    "supplies it (default 1,2,3,4,5,6; -1 leaves it empty, and an unmapped group is \"Import\"). A taken group and "
    "title gets a number after the title; --skip-identical leaves out a record that DB holds already, identical in "
    "all six fields (its title may carry the number an earlier import added). A refused file is reported with its "
    "line, and nothing is added. With --from, FILE is the CSV export of another program, read by its header as the "
    "program named writes it (apple: Apple Passwords or Safari), or with auto by whichever known header its first "
    "line is, our own export in any language included; "
    "the file is read and checked before the password is asked for; columns without a field "
    "of their own go into the notes when they tell something, and the summary tells how many entries were added, "
    "renamed and skipped. Records identical to one in DB are skipped unless --no-skip-identical is given. A KeePass "
    "database (KDBX 3.1, 4.0 or 4.1, recognised by its signature; also --from kdbx) is opened with its password, "
    "asked for after DB's, and the key file F if it has one; the group path below its root group becomes the group, "
    "Title, UserName, Password, URL and Notes their fields, every other attribute and the tags \"Name: value\" lines "
    "of the notes; entries identical to one in DB are skipped as for --from; history entries, the recycle bin and "
    "attachments are not imported, and the summary says how many were left out. A file that asks for more "
    "key derivation work than Lockmere allows is refused before the work: Argon2 memory at most 1 GiB, memory times "
    "iterations at most 64 GiB, parallelism at most 256, AES-KDF at most 1,000,000,000 rounds.",
    Run,
};
