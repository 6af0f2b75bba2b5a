#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "cli/CliContext.h"
#include "cli/CliPrompts.h"
#include "cli/UnheldFile.h"
#include "core/common/SecureString.h"
#include "core/database/DataBase.h"
#include "core/session/DatabaseSession.h"

// The database file a command works on: read once under its master password, and changed only through the session's
// operations, which save at once and undo a change whose save failed. The save is refused when another program
// replaced the file after it was read, so that two commands (or a command and the desktop program) never silently
// undo each other's change.
class CCliDatabase
{
public:
    CCliDatabase(CliContext& context, std::filesystem::path path);

    // Checks the file (readable; for a change also writable, with a name the save can use, and not held by another
    // Lockmere), then asks for the master password and reads it. A file that cannot be a database is refused before
    // the password is asked for. A
    // damaged file gives the whole records before the damage; the user is told, and for a command that will write,
    // its original is kept beside it before the first save. Throws CliFailure (exit code 3 for "Invalid password.").
    void Open(bool forChange);

    const CDataBase& Entries() const { return entries; }
    const std::filesystem::path& Path() const { return path; }
    // The master password the file was read with.
    const SecureString& MasterPassword() const { return session.MasterPassword(); }
    // The entry under the key; fails the command when there is none, suggesting a key that differs only in case.
    Entry RequireEntry(const EntryKey& key) const;

    // Each changes the collection and saves it at once. Throws CliFailure when the change was refused or not saved.
    void Add(const EntryKey& key, const EntryFields& fields);
    void Replace(const EntryKey& oldKey, const EntryKey& newKey, const EntryFields& fields);
    void Remove(const EntryKey& key);
    // `import` pours entries into the collection and gives false when it failed; then nothing is saved and the
    // result is false, for the command to tell why.
    [[nodiscard]] bool Import(const std::function<bool(CDataBase&)>& import);
    // Writes the file under a new master password.
    void Rekey(SecureString fresh);

private:
    void Require(ChangeResult result) const;
    [[noreturn]] void FailNotSaved() const;

    CliContext& context;
    std::filesystem::path path;
    CDataBase entries;
    std::u16string openPath;
    CCliPrompts prompts;
    NoSessionView views;
    CUnheldFile file;
    DatabaseSession session;
};
