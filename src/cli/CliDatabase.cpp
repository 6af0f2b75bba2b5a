#include "cli/CliDatabase.h"

#include "cli/CliCommand.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "cli/Prompts.h"
#include "core/common/CaseFold.h"
#include "core/database/DatabaseFile.h"
#include "core/database/FileReplacedCheck.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// The one key that equals `key` when case is ignored; none when there is no such key or more than one.
std::optional<EntryKey> OnlyKeyIgnoringCase(const CDataBase& entries, const EntryKey& key)
{
    const SecureString group = CaseFolded(key.group);
    const SecureString title = CaseFolded(key.title);
    std::optional<EntryKey> found;
    for (const auto& [candidate, fields] : entries) {
        if (CaseFolded(candidate.group) == group && CaseFolded(candidate.title) == title) {
            if (found) {
                return std::nullopt;
            }
            found = candidate;
        }
    }
    return found;
}
} // namespace

CCliDatabase::CCliDatabase(CliContext& context, std::filesystem::path path)
    : context(context)
    , path(std::move(path))
    , entries(context.reporter, context.texts)
{}

void CCliDatabase::Open(bool forChange)
{
    if (forChange) {
        RequireChangeableFile(path);
    } else {
        RequireReadableFile(path);
    }
    masterPassword = context.passwords.Read(PromptFor(context.texts, TextId::MasterPasswordFor, path));
    // Taken before reading, so that a file replaced while it is read counts as changed.
    versionRead = FileVersion::At(path);
    SecureString text;
    const int result = ReadDecrypted(entries, path, masterPassword, text);
    if (result == ReadResult::InvalidPassword) {
        throw CliFailure("", ExitCode::InvalidPassword);
    }
    if (result != ReadResult::Done) {
        throw CliFailure("");
    }
    damaged.Opened(entries, path, ParseEntries(entries, text));
    WipeString(text);
    if (!forChange) {
        damaged.Forget();
    }
}

void CCliDatabase::Save()
{
    // Compared while the file is locked for the write: two commands that read the same version must not both
    // replace it, or the first one's change would be lost although it was reported as done.
    const auto check = [this](const struct stat* existing) {
        RefuseIfReplaced(existing, versionRead);
        damaged.KeepBeforeReplacing(context.texts);
    };
    FileVersion written;
    if (!WriteDatabase(entries, path, masterPassword, {check}, &written)) {
        // The general message has been shown; the file and the reason follow when they can be told.
        throw CliFailure(ReplaceProblem(path).value_or(""));
    }
    versionRead = written;
}

Entry CCliDatabase::RequireEntry(const EntryKey& key) const
{
    if (std::optional<Entry> entry = entries.Find(key)) {
        return std::move(*entry);
    }
    const SecureUtf8 group = EscapeField(key.group);
    const SecureUtf8 title = EscapeField(key.title);
    std::string message = "There is no entry with the group \"" + std::string(group.begin(), group.end()) +
                          "\" and the title \"" + std::string(title.begin(), title.end()) + "\".";
    if (const std::optional<EntryKey> near = OnlyKeyIgnoringCase(entries, key)) {
        message += " Did you mean " + KeyText(*near) + "?";
    }
    throw CliFailure(message);
}
