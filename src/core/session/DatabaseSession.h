#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/common/FileVersion.h"
#include "core/common/SecureString.h"
#include "core/database/DamagedOriginal.h"
#include "core/database/DataBase.h"
#include "core/session/IBackgroundWork.h"
#include "core/session/IDatabaseFileHandle.h"
#include "core/session/IFileTrash.h"
#include "core/session/IPrompts.h"
#include "core/session/ISessionView.h"
#include "core/session/MergingSave.h"

class SessionTicket;

// How a change of the collection ended. Refused: the collection did not take it (a duplicate key, an entry that is
// not there, an import that failed), nothing was saved. NotSaved: the save failed; a change of one entry was undone
// in memory, imported entries stay for the next save.
enum class ChangeResult
{
    Refused,
    Saved,
    NotSaved,
};

// What following the file found.
enum class FollowResult
{
    // Nothing to do: the file is the version held, or no database is open and unlocked.
    Unchanged,
    // Not looked at now: a command is under way (one of its dialogs is open on the entries it was shown), or an
    // open asks for its password. Ask again once it has ended.
    Deferred,
    // The new version is shown.
    Reloaded,
    // The new version could not be read; the window keeps the one it shows, and the user was told.
    NotRead,
    // The new version does not open with the password, and the user chose to close the database.
    Closed,
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
    // Writes the whole collection to the open file under the master password and holds the file again. When
    // another program replaced the file since it was read or written, its version is merged with ours first.
    bool SaveAndReopen();
    // Another program may have replaced or rewritten the open file: when the version at the path is not the one
    // held, it is read and shown in place of the collection. Nothing is lost by that, since every change here is
    // saved at once. A locked database reads whatever version is there when it is unlocked. Never while a command
    // holds a ticket; the reload starts a new generation, so a ticket taken on the old version is stale.
    FollowResult FollowFile();
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
    // Synchronizes another file (a conflict copy, the file from another machine) into the open database, under that
    // file's own password: entries only it holds are added, identical ones skipped, and of a key both hold with
    // different fields both are kept. The user is told what was done. Every question is followed by a look at the
    // command's ticket: once its database went, nothing is read or changed.
    void SynchronizeWithFile(SessionTicket& ticket);
    // After a database was opened: the conflict copies beside it that were not offered before are offered for a
    // synchronize, once; after a successful one, each copy goes to the trash, or is deleted if the user asks.
    void OfferConflictCopies(IFileTrash& trash);
    // From now on every open of a database (Open, the start-up open, an unlock) ends with that offer. A session
    // given no trash (the command line) never makes it.
    void OfferConflictCopiesAfterOpening(IFileTrash& trash) { copiesTrash = &trash; }

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
    // Changes whenever a database is opened, created, closed or locked, and when another program's version of the
    // file is followed: a command's SessionTicket compares it to know that it still works on the entries it started
    // with.
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
    // Counts the tickets held: while any is, a command is under way and the file is not followed.
    void TicketTaken() { ++ticketsHeld; }
    void TicketReturned() { --ticketsHeld; }
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
    // A database has just been opened: the conflict copies beside it are offered, when a trash was given.
    void Opened();
    // Asks for another database file and its password, then pours it into the collection with `pour` (false: the
    // file was not read, reported) and saves, all through the command's ticket. Nullopt when the user cancelled or
    // the database went meanwhile.
    using PourFile = std::function<bool(CDataBase&, const std::filesystem::path&, const SecureString&)>;
    std::optional<ChangeResult> PourOtherFile(SessionTicket& ticket, EnterMode mode, const PourFile& pour);
    Attempt TryMerge(SessionTicket& ticket);
    Attempt TrySynchronize(SessionTicket& ticket);
    // Reads each copy, under the master password or one the user gives; the ones read, with what was read. Empty
    // when the ticket went stale during a question.
    std::vector<std::pair<std::filesystem::path, std::unique_ptr<FileVersionRead>>>
    ReadConflictCopies(SessionTicket& ticket, const std::vector<std::filesystem::path>& copies);
    void PutInTrash(const std::vector<std::filesystem::path>& copies, IFileTrash& trash);
    bool AskToCloseOpenDatabase();
    // Holds and reads the file the user chose after asking for its password; `LastPath` names it on success.
    bool OpenChosenFile(const std::filesystem::path& path);
    // Holds the file against other writers and notes which version of it is held.
    void Hold(const std::filesystem::path& path);
    // Writes the collection over the held file, unless another program has replaced that file meanwhile, and holds
    // it again. A damaged original is kept beside it first.
    WriteResult WriteHeldFile(const SecureString& password);
    void ShowOpened(const std::filesystem::path& path);
    void Report(const std::u16string& text, MessageIcon icon);
    void ReopenAfterFailedSave();
    bool AskPasswordAndRead(const std::filesystem::path& path);
    int ReadInBackground(const std::filesystem::path& path, RecordsRead& read, bool& textOfCollection);
    WriteResult WriteHeldFileInBackground(const SecureString& password);
    enum class SaveOutcome
    {
        Saved,
        NotSaved,
        // A merged save failed: the collection is the version the file holds, the change is undone with it.
        NotSavedCollectionRestored,
    };
    // Writes under `password`, merging another program's version as often as a few tries allow. `touched` are the
    // keys the change touched (all of them when nullopt), for the merge's base.
    SaveOutcome Save(const SecureString& password, const std::optional<std::vector<EntryKey>>& touched);
    // The other program's version was read: it is merged into the collection and becomes the version held.
    void MergeTheirs();
    SaveOutcome FinishFailedSave();
    // Before every change: the collection still is the file, and is the base of a merge should the save need one.
    void BeforeChange();
    // The collection was read anew, emptied, or replaced by another program's version: a new generation starts, and
    // what a merge would start from is gone with the old entries.
    void CollectionReplaced();
    FollowResult ShowOtherVersion(FileVersionRead& read);
    void ClearCollection();
    // Saves after a change; on failure runs `undo` and holds the file again.
    ChangeResult SaveOrUndo(const std::function<void()>& undo, const std::optional<std::vector<EntryKey>>& touched);

    CDataBase& database;
    std::u16string& lastPath;
    IPrompts& prompts;
    ISessionView& view;
    IDatabaseFileHandle& handle;
    IBackgroundWork& work;
    SecureString masterPassword;
    std::optional<FileVersion> versionHeld;
    // The length of the held file's text, known only while that text is byte for byte what a save of the collection,
    // as it stood before the changes it has noted since, writes under the master password: a save then keeps the
    // file's encryption of the records before them.
    std::optional<std::size_t> collectionTextBytes;
    DamagedOriginal damaged;
    MergingSave merging;
    // A version the user was told about and that could not be read: it is not read again until it changes.
    std::optional<FileVersion> versionNotFollowed;
    // The conflict copies offered already in this run.
    std::set<std::filesystem::path> copiesOffered;
    IFileTrash* copiesTrash = nullptr;
    bool isLocked = false;
    bool opening = false;
    std::uint64_t generation = 0;
    int ticketsHeld = 0;
};
