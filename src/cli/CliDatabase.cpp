#include "cli/CliDatabase.h"

#include "cli/CliCommand.h"
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
} // namespace

CCliDatabase::CCliDatabase(CliContext& context, std::filesystem::path path)
    : context(context)
    , path(std::move(path))
    , entries(context.reporter, context.texts)
{}

std::optional<CCliDatabase::Identity> CCliDatabase::CurrentIdentity() const
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return Identity{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

void CCliDatabase::Open(std::u16string_view prompt, bool forChange)
{
    masterPassword = context.passwords.Read(prompt);
    // Taken before reading, so that a file replaced while it is read counts as changed.
    identityRead = CurrentIdentity();
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
    if (CurrentIdentity() != identityRead) {
        throw CliFailure("The database file was changed by another program after it was read; nothing was written. "
                         "Run the command again.");
    }
    if (!WriteDatabase(entries, path, masterPassword)) {
        throw CliFailure("");
    }
    identityRead = CurrentIdentity();
}

void FailNoSuchEntry(const EntryKey& key)
{
    const SecureUtf8 group = EscapeField(key.group);
    const SecureUtf8 title = EscapeField(key.title);
    throw CliFailure("There is no entry with the group \"" + std::string(group.begin(), group.end()) +
                     "\" and the title \"" + std::string(title.begin(), title.end()) + "\".");
}
