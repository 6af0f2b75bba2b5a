#include "cli/CliDatabase.h"

#include "cli/CaseFold.h"
#include "cli/CliCommand.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "cli/Prompts.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// Whether the decrypted text is nothing but whole records, as every file this program writes is.
bool IsWholeRecords(const SecureString& text)
{
    std::size_t consumed = 0;
    ParseRecords(text, [&consumed](Entry& entry) {
        for (int field = 0; field < EntryFieldCount; ++field) {
            consumed += FieldOf(entry, static_cast<EntryField>(field)).size() + FieldTerminatorView.size();
        }
    });
    return consumed == text.size();
}

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
    if (forChange && !IsWholeRecords(text)) {
        WipeString(text);
        context.reporter.ShowMessage(context.texts.Text(TextId::InvalidPassword), MessageIcon::Error);
        throw CliFailure("", ExitCode::InvalidPassword);
    }
    ParseEntries(entries, text);
    WipeString(text);
}

void CCliDatabase::Save()
{
    // Compared while the file is locked for the write: two commands that read the same version must not both
    // replace it, or the first one's change would be lost although it was reported as done.
    const auto unchangedSinceRead = [this](const struct stat* existing) {
        const std::optional<FileVersion> current =
            existing != nullptr ? std::optional<FileVersion>(FileVersion::Of(*existing)) : std::nullopt;
        if (current != versionRead) {
            throw TargetCheckFailed(u"The database file was changed by another program after it was read; nothing was "
                                    u"written. Run the command again.");
        }
    };
    if (!WriteDatabase(entries, path, masterPassword, unchangedSinceRead)) {
        // The general message has been shown; the file and the reason follow when they can be told.
        throw CliFailure(ReplaceProblem(path).value_or(""));
    }
    versionRead = FileVersion::At(path);
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
