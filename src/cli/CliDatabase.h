#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "cli/CliContext.h"
#include "core/common/FileVersion.h"
#include "core/common/SecureString.h"
#include "core/database/DataBase.h"

// The database file a command works on: read once under its master password, changed in memory, and written at once
// after the change. The write is refused when another program replaced the file after it was read, so that two
// commands (or a command and the desktop program) never silently undo each other's change.
class CCliDatabase
{
public:
    CCliDatabase(CliContext& context, std::filesystem::path path);

    // Checks the file (readable; for a change also writable), then asks for the master password and reads it. A
    // command that will write refuses a decryption that is not a sequence of whole records: a damaged file or the
    // rare wrong password that passes both padding checks, which writing back would turn into a loss of every entry.
    // Throws CliFailure (exit code 3 for "Invalid password.").
    void Open(bool forChange);

    CDataBase& Entries() { return entries; }
    const std::filesystem::path& Path() const { return path; }
    // The entry under the key; fails the command when there is none, suggesting a key that differs only in case.
    Entry RequireEntry(const EntryKey& key) const;
    void SetMasterPassword(SecureString password) { masterPassword = std::move(password); }

    // Writes the whole collection under the master password. Throws CliFailure when it was not written.
    void Save();

private:
    CliContext& context;
    std::filesystem::path path;
    CDataBase entries;
    SecureString masterPassword;
    std::optional<FileVersion> versionRead;
};
