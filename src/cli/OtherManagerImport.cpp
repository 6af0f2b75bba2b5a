#include "cli/OtherManagerImport.h"

#include <algorithm>
#include <string>

#include "cli/Arguments.h"
#include "cli/CliCommand.h"
#include "cli/CliDatabase.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "cli/SkipIdentical.h"
#include "core/importexport/OtherExport.h"

namespace {
constexpr std::string_view FromOption = "--from";
constexpr std::string_view AutoPreset = "auto";

std::string PresetOf(const CArguments& parsed)
{
    const std::optional<SecureString> from = parsed.Option(FromOption);
    const std::string name = from ? std::string(from->begin(), from->end()) : std::string();
    if (name != AutoPreset && CExportPreset::Named(name).empty()) {
        std::string names;
        for (const std::string_view known : CExportPreset::Names()) {
            names += std::string(known) + ", ";
        }
        throw UsageError("--from takes " + names + "or auto");
    }
    return name;
}

std::string Summary(const ImportCounts& counts)
{
    return "added " + std::to_string(counts.added) + ", renamed " + std::to_string(counts.renamed) + ", skipped " +
           std::to_string(counts.skipped);
}
} // namespace

bool NamesOtherManager(const std::vector<std::string>& arguments)
{
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    return std::any_of(arguments.begin(), end, [](const std::string& argument) {
        return argument == FromOption || argument.starts_with(std::string(FromOption) + "=");
    });
}

int RunOtherManagerImport(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {FromOption}, {SkipIdenticalFlag, KeepIdenticalFlag});
    parsed.ExpectPositional(2);
    const std::string preset = PresetOf(parsed);
    // Importing the same export again should not add its entries twice.
    const IdenticalEntries identical = IdenticalEntriesOf(parsed, IdenticalEntries::Skip);

    // The database and the export are checked, and the export read, before the password is typed, so that a
    // mistyped path or a refused file costs nothing.
    const std::filesystem::path file = parsed.Path(1);
    RequireChangeableDatabase(parsed.Path(0));
    RequireReadableFile(file);
    const CDataBase reader(context.reporter, context.texts);
    std::optional<OtherExport> read = ReadOtherExportFile(reader, file, preset);
    if (!read) {
        throw CliFailure("");
    }

    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    ImportCounts counts;
    const bool imported = database.Import([&](CDataBase& entries) {
        counts = AddOtherExport(entries, std::move(*read), identical);
        return true;
    });
    if (!imported) {
        throw CliFailure("");
    }
    ConfirmDone(context, parsed, Summary(counts));
    return ExitCode::Done;
}
