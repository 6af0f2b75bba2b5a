#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "cli/CliContext.h"
#include "core/common/FileVersion.h"
#include "core/common/SecureString.h"
#include "core/database/DamagedOriginal.h"
#include "core/database/DataBase.h"

// The database file a command works on: read once under its master password, changed in memory, and written at once
// after the change. The write is refused when another program replaced the file after it was read, so that two
// commands (or a command and the desktop program) never silently undo each other's change.
class CCliDatabase
{
public:
    CCliDatabase(CliContext& context, std::filesystem::path path);

    // Checks the file (readable; for a change also writable), then asks for the master password and reads it. A
    // damaged file gives the whole records before the damage; the user is told, and for a command that will write,
    // its original is kept beside it before the first save. Throws CliFailure (exit code 3 for "Invalid password.").
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
    DamagedOriginal damaged;
};
