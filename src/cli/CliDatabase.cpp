#include "cli/CliDatabase.h"

#include "cli/CliCommand.h"
#include "core/database/DatabaseFile.h"
#include "core/database/FileReplacedCheck.h"
#include "core/settings/BuiltinTexts.h"

CCliDatabase::CCliDatabase(CliContext& context, std::filesystem::path path)
    : context(context)
    , path(std::move(path))
    , entries(context.reporter, context.texts)
{}

void CCliDatabase::Open(std::u16string_view prompt, bool forChange)
{
    masterPassword = context.passwords.Read(prompt);
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
        throw CliFailure("");
    }
    versionRead = written;
}

void FailNoSuchEntry(const EntryKey& key)
{
    const SecureUtf8 group = EscapeField(key.group);
    const SecureUtf8 title = EscapeField(key.title);
    throw CliFailure("There is no entry with the group \"" + std::string(group.begin(), group.end()) +
                     "\" and the title \"" + std::string(title.begin(), title.end()) + "\".");
}
