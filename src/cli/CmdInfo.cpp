#include <filesystem>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"

namespace {
// The format's facts in plain words: what protects the file, and what does not.
constexpr std::string_view FormatFacts = "Format: Lockmere database, no header\n"
                                         "Encryption: two layers, two-key triple DES (CBC) inside AES-256 (CBC)\n"
                                         "Key derivation: MD5 of the master password, no salt, no key stretching\n";

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {});
    parsed.ExpectPositional(1);
    CCliDatabase database(context, parsed.Path(0));
    database.Open(false);
    std::vector<std::u16string> groups;
    database.Entries().CollectGroups(groups);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(database.Path(), error);
    std::string text = "File: " + database.Path().string() + "\n";
    text += "Entries: " + std::to_string(database.Entries().Size()) + "\n";
    text += "Groups: " + std::to_string(groups.size()) + "\n";
    text += "File size: " + (error ? std::string("unknown") : std::to_string(size) + " bytes") + "\n";
    context.output.Write(text + std::string(FormatFacts));
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand InfoCommand{
    "info",
    "DB",
    "Describes DB: its number of entries and groups, the file's size, and how the file is encrypted.",
    Run,
};
