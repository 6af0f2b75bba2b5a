#include "cli/KdbxImport.h"

#include <algorithm>

#include "cli/Arguments.h"
#include "cli/CliCommand.h"
#include "cli/CliDatabase.h"
#include "cli/FileChecks.h"
#include "cli/Prompts.h"
#include "core/importexport/kdbx/KdbxReader.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr std::string_view FromOption = "--from";
constexpr std::string_view KeyFileOption = "--key-file";
constexpr std::string_view KdbxFormat = "kdbx";
constexpr std::string_view AutoFormat = "auto";

// The value of an option given as "--name VALUE" or "--name=VALUE", if any.
std::optional<std::string> ValueOf(const std::vector<std::string>& arguments, std::string_view name)
{
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    for (auto argument = arguments.begin(); argument != end; ++argument) {
        if (*argument == name && argument + 1 != end) {
            return *(argument + 1);
        }
        if (argument->starts_with(std::string(name) + "=")) {
            return argument->substr(name.size() + 1);
        }
    }
    return std::nullopt;
}

// The file to import: the second argument that is neither an option nor an option's value.
std::optional<std::string> FileArgument(const std::vector<std::string>& arguments)
{
    static constexpr std::string_view TakesValue[] = {"--map", FromOption, KeyFileOption};
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            positional.insert(positional.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                              arguments.end());
            break;
        }
        if (std::find(std::begin(TakesValue), std::end(TakesValue), argument) != std::end(TakesValue)) {
            ++i;
        } else if (!argument.starts_with("-") || argument == "-") {
            positional.push_back(argument);
        }
    }
    return positional.size() >= 2 ? std::optional(positional[1]) : std::nullopt;
}

std::string Summary(std::size_t added, std::size_t renamed, const KdbxImport& read)
{
    return "added " + std::to_string(added) + ", renamed " + std::to_string(renamed) +
           ", skipped 0; not imported: " + std::to_string(read.historyLeftOut) + " history entries, " +
           std::to_string(read.recycleBinLeftOut) + " entries in the recycle bin, " +
           std::to_string(read.attachmentsLeftOut) + " attachments\n";
}
} // namespace

bool NamesKdbxImport(const std::vector<std::string>& arguments)
{
    const std::optional<std::string> from = ValueOf(arguments, FromOption);
    if (from == KdbxFormat || ValueOf(arguments, KeyFileOption)) {
        return true;
    }
    const std::optional<std::string> file = FileArgument(arguments);
    return (!from || from == AutoFormat) && file && IsKdbxFile(*file);
}

int RunKdbxImport(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {FromOption, KeyFileOption});
    parsed.ExpectPositional(2);
    if (const auto from = parsed.Option(FromOption); from && *from != ToSecure(u"kdbx") && *from != ToSecure(u"auto")) {
        throw UsageError("--key-file reads KeePass files only: leave out --from, or give --from kdbx");
    }
    const std::filesystem::path file = parsed.Path(1);
    KdbxCredentials credentials;
    credentials.keyFile = parsed.OptionPath(KeyFileOption);
    // Both files and the KeePass header are checked before any password is typed, so a mistake costs nothing.
    RequireChangeableFile(parsed.Path(0));
    RequireReadableFile(file);
    if (credentials.keyFile) {
        RequireReadableFile(*credentials.keyFile);
    }
    CDataBase scratch(context.reporter, context.texts);
    if (!CheckKdbxFile(scratch, file)) {
        throw CliFailure("");
    }

    CCliDatabase database(context, parsed.Path(0));
    database.Open(true);
    credentials.password = context.passwords.Read(PromptFor(context.texts, TextId::KdbxPasswordFor, file));
    KdbxReadResult result = KdbxReadResult::Failed;
    std::optional<KdbxImport> read;
    ImportCounts counts;
    const bool imported = database.Import([&](CDataBase& entries) {
        read = ReadKdbxFile(entries, file, credentials, &result);
        if (read) {
            counts = AddOtherExport(entries, std::move(read->read));
        }
        return read.has_value();
    });
    if (!imported) {
        throw CliFailure("", result == KdbxReadResult::WrongKey ? ExitCode::InvalidPassword : ExitCode::Failed);
    }
    context.output.Write(Summary(counts.added, counts.renamed, *read));
    return ExitCode::Done;
}
