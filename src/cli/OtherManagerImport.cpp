#include "cli/OtherManagerImport.h"

#include <algorithm>
#include <string>

#include "cli/Arguments.h"
#include "cli/CliCommand.h"
#include "cli/CliDatabase.h"
#include "cli/FileChecks.h"
#include "core/importexport/OtherExport.h"

namespace {
constexpr std::string_view FromOption = "--from";
constexpr std::string_view AutoPreset = "auto";

std::string PresetOf(const CArguments& parsed)
{
    const std::optional<SecureString> from = parsed.Option(FromOption);
    const std::string name = from ? std::string(from->begin(), from->end()) : std::string();
    if (name != AutoPreset && CExportPreset::Named(name) == nullptr) {
        throw UsageError("--from takes keepassxc, chrome, firefox, bitwarden, 1password or auto");
    }
    return name;
}

std::string Summary(const ImportCounts& counts)
{
    return "added " + std::to_string(counts.added) + ", renamed " + std::to_string(counts.renamed) + ", skipped " +
           std::to_string(counts.skipped) + "\n";
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
    const CArguments parsed(arguments, {FromOption});
    parsed.ExpectPositional(2);
    const std::string preset = PresetOf(parsed);

    // Both files are checked before the password is typed, so a mistyped path costs nothing.
    RequireChangeableFile(parsed.Path(0));
    RequireReadableFile(parsed.Path(1));
    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    ImportCounts counts;
    const bool imported = database.Import([&](CDataBase& entries) {
        std::optional<OtherExport> read = ReadOtherExportFile(entries, parsed.Path(1), preset);
        if (read) {
            counts = AddOtherExport(entries, std::move(*read));
        }
        return read.has_value();
    });
    if (!imported) {
        throw CliFailure("");
    }
    context.output.Write(Summary(counts));
    return ExitCode::Done;
}
