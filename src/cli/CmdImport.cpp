#include <algorithm>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "cli/NumberArgument.h"
#include "core/importexport/CsvFormat.h"
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

bool HasEqualFieldNumbers(const std::array<int, EntryFieldCount>& numbers)
{
    for (std::size_t first = 0; first < numbers.size(); ++first) {
        for (std::size_t second = first + 1; second < numbers.size(); ++second) {
            if (numbers[first] != CsvImportOptions::NotMapped && numbers[first] == numbers[second]) {
                return true;
            }
        }
    }
    return false;
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--map"}, {"--header"});
    parsed.ExpectPositional(2);
    CsvImportOptions options;
    options.header = parsed.Flag("--header");
    if (const auto map = parsed.Option("--map")) {
        options.fieldNumbers = FieldNumbersOf(*map);
    }
    if (HasEqualFieldNumbers(options.fieldNumbers)) {
        context.reporter.ShowMessage(context.texts.Text(TextId::FieldNumbersDiffer), MessageIcon::Error);
        throw CliFailure("", ExitCode::Usage);
    }

    CCliDatabase database(context, parsed.Path(0));
    database.Open(context.texts.Text(TextId::MasterPasswordLabel), true);
    if (!ImportCsv(database.Entries(), parsed.Path(1), options)) {
        throw CliFailure("");
    }
    database.Save();
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand ImportCommand{
    "import",
    "DB FILE [--header] [--map G,T,U,P,URL,N]",
    "Adds one entry per record of the CSV file FILE (UTF-8, every field in double quotes) to DB. --header skips the "
    "first record. --map gives, for group, title, username, password, url and notes, the position of the field that "
    "supplies it (default 1,2,3,4,5,6; -1 leaves it empty, and an unmapped group is \"Import\"). A taken group and "
    "title gets a number after the title. Nothing is added when the file is refused.",
    Run,
};
