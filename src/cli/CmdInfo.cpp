#include <filesystem>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/Commands.h"
#include "core/common/Utf.h"
#include "core/health/OfflineAttack.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// The format's facts in plain words: what protects the file, and what does not.
constexpr std::string_view FormatFacts = "Format: Lockmere database, no header\n"
                                         "Encryption: two layers, two-key triple DES (CBC) inside AES-256 (CBC)\n"
                                         "Key derivation: MD5 of the master password, no salt, no key stretching "
                                         "(the format's weakest point)\n";

// How long the file withstands an offline attack on the master password it was opened with, and the warning when
// that is less than a century.
std::string OfflineAttackLines(const CCliDatabase& database, const ITextSource& texts)
{
    const MasterPasswordAssessment assessment = AssessMasterPassword(database.MasterPassword(), texts);
    std::string lines = Utf16ToUtf8(assessment.estimate) + "\n";
    if (assessment.weak) {
        lines += Utf16ToUtf8(texts.Text(TextId::WeakMasterPasswordWarning)) + "\n";
    }
    return lines;
}

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
    context.output.Write(text + std::string(FormatFacts) + OfflineAttackLines(database, context.texts));
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand InfoCommand{
    "info",
    "DB",
    "Describes DB: its number of entries and groups, the file's size, how the file is encrypted, and how long an "
    "offline attack on the file would take to find its master password (the key is a single MD5 of it; one consumer "
    "graphics card tries about 10^10 passwords a second), with a warning when that is less than a century.",
    Run,
};
