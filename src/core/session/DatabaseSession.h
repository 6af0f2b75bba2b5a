#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/common/FileVersion.h"
#include "core/common/SecureString.h"
#include "core/database/DamagedOriginal.h"
#include "core/database/DataBase.h"
#include "core/session/IBackgroundWork.h"
#include "core/session/IDatabaseFileHandle.h"
#include "core/session/IPrompts.h"
#include "core/session/ISessionView.h"

// How a change of the collection ended. Refused: the collection did not take it (a duplicate key, an entry that is
// not there, an import that failed), nothing was saved. NotSaved: the save failed; a change of one entry was undone
// in memory, imported entries stay for the next save.
class SessionTicket;

enum class ChangeResult
{
    Refused,
    Saved,
    NotSaved,
};

enum class ListingFormat
{
    Text,
    Html,
};

// The open database: which file, under which password, held or not, locked or not; and every operation that
// creates, opens, saves, backs up, re-keys, locks or closes it. The path lives in the settings (`LastPath`), so the
// session works on a reference to it; an empty path means that no database is open.
class DatabaseSession
{
public:
    // `work` runs the long file work of each operation; by default on the calling thread.
    DatabaseSession(CDataBase& database, std::u16string& lastPath, IPrompts& prompts, ISessionView& view,
                    IDatabaseFileHandle& handle, IBackgroundWork& work = InlineWork::Shared());

    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    void CreateDatabase();
    void OpenDatabase();
    // Opens a file the user named outside the program (its command line, a second start): a missing file is reported
    // with its name, another open database is closed after asking, and the password is asked as by Open. True when
    // `path` is the open database afterwards, also when it was open (or locked) already.
    bool OpenFile(const std::filesystem::path& path);
    // Asks for the password until it opens the file or the user cancels; leaves `LastPath` to the caller.
    bool OpenWithPassword(const std::filesystem::path& path);
    void CloseDatabase();
    // Writes the whole collection to the open file under the master password and holds the file again.
    bool SaveAndReopen();
    void CreateBackup();
    void ChangeMasterPassword();
    // Writes the open database under `fresh`, a new password already asked for; after a failed write the file and
    // the master password stay the old ones.
    bool Rekey(SecureString fresh);
    void Lock();
    // Asks for the password of the locked database again; a failure or Cancel leaves no database open.
    bool Unlock();
    // The start-up open of the last database: only with `fLastDB`, only when its file still exists.
    void StartupOpen(bool openLastDatabase);
    // Writes every entry, passwords in clear, to a file the user chooses, as a text listing or an HTML table.
    void ExportListing(ListingFormat format);
    // Pours another database file, under its own password, into the open one.
    void MergeImport();

    // Each changes the collection and saves it at once; a failed save undoes the change in memory, so the collection
    // never holds what the file does not.
    ChangeResult AddEntry(const EntryKey& key, const EntryFields& fields);
    ChangeResult ReplaceEntry(const EntryKey& oldKey, const EntryKey& newKey, const EntryFields& fields);
    ChangeResult RemoveEntry(const EntryKey& key);
    // Runs `import`, which pours entries into the collection and gives false when it took none, then saves. After a
    // failed save the imported entries stay in memory and the next successful save writes them.
    ChangeResult ImportEntries(const std::function<bool(CDataBase&)>& import);

    // Sets the locked state without touching the collection: an open that asks for its password, a hidden start.
    void SetLocked(bool locked) { isLocked = locked; }

    bool IsOpen() const { return !lastPath.empty() && !isLocked; }
    // Changes whenever a database is opened, created, closed or locked: a command's SessionTicket compares it to
    // know that it still works on the database it started with.
    std::uint64_t Generation() const { return generation; }
    // A password prompt of an open or unlock is showing; the session takes no second one meanwhile.
    bool IsOpening() const { return opening; }
    bool IsLocked() const { return isLocked; }
    const std::u16string& LastPath() const { return lastPath; }
    const SecureString& MasterPassword() const { return masterPassword; }
    // The runner of the session's long file work, for the dialogs that read a file the collection never sees.
    IBackgroundWork& Work() const { return work; }
    std::filesystem::path Path() const;
    // The open database's file name without its folder.
    std::u16string FileName() const;
    // The folder of the open database, with its trailing separator.
    std::u16string Folder() const;

private:
    // A command reaches the collection only through its ticket.
    friend class SessionTicket;
    CDataBase& Collection() const { return database; }
    // Tells the user that the database went while a dialog was open, so that nothing was changed.
    void ReportDatabaseGone();

    // How one pass of a command that starts over after a failure ended.
    enum class Attempt
    {
        Done,
        Cancelled,
        Retry,
    };
    Attempt TryCreate();
    Attempt TryOpen();
    Attempt TryMerge(SessionTicket& ticket);
    bool AskToCloseOpenDatabase();
    // Holds and reads the file the user chose after asking for its password; `LastPath` names it on success.
    bool OpenChosenFile(const std::filesystem::path& path);
    // Holds the file against other writers and notes which version of it is held.
    void Hold(const std::filesystem::path& path);
    // Writes the collection over the held file, unless another program has replaced that file meanwhile, and holds
    // it again. A damaged original is kept beside it first.
    bool WriteHeldFile(const SecureString& password);
    void ShowOpened(const std::filesystem::path& path);
    void Report(const std::u16string& text, MessageIcon icon);
    void ReopenAfterFailedSave();
    bool AskPasswordAndRead(const std::filesystem::path& path);
    int ReadInBackground(const std::filesystem::path& path, RecordsRead& read);
    bool WriteHeldFileInBackground(const SecureString& password);
    void ClearCollection();
    // Saves after a change; on failure runs `undo` and holds the file again.
    ChangeResult SaveOrUndo(const std::function<void()>& undo);

    CDataBase& database;
    std::u16string& lastPath;
    IPrompts& prompts;
    ISessionView& view;
    IDatabaseFileHandle& handle;
    IBackgroundWork& work;
    SecureString masterPassword;
    std::optional<FileVersion> versionHeld;
    // The held file is exactly what a save of the collection, as it stood before the changes it has noted since,
    // writes under the master password: a save then keeps the file's encryption of the records before them.
    bool heldFileIsCollection = false;
    DamagedOriginal damaged;
    bool isLocked = false;
    bool opening = false;
    std::uint64_t generation = 0;
};
