#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/database/DataBase.h"
#include "core/session/EntryAccess.h"
#include "core/session/IBackgroundWork.h"

class DatabaseSession;
enum class ChangeResult;

// A command's hold on the database that was open, and unlocked, when it started. Every dialog, file chooser or
// progress dialog lets the user lock, close or reopen the database meanwhile; the collection, its file and the
// views then belong to another state, and whatever the command was about to do would write the wrong entries. So a
// command reaches the collection only through its ticket, and a ticket whose database has gone since refuses, telling
// the user once that nothing was changed.
class SessionTicket final : public IEntryAccess
{
public:
    // Taken when the command starts; a ticket taken while no database is open, or a locked one, is stale from the
    // start.
    explicit SessionTicket(DatabaseSession& session);
    // While a ticket is held, the session does not follow the file: the command's dialogs show the entries it was
    // handed.
    ~SessionTicket() override;
    SessionTicket(const SessionTicket&) = delete;
    SessionTicket& operator=(const SessionTicket&) = delete;

    // The database the ticket was taken on is still open, unlocked, and has not been closed or locked in between.
    bool IsLive() const;
    // True while live; the first time it finds the ticket stale it tells the user that nothing was changed.
    bool Confirm();

    // Runs `work` on the session's file-work runner with the collection, once confirmed. While file work runs
    // nothing can lock or close the database, so the collection stays the ticket's for the whole of it. False when
    // stale.
    bool Work(FileWork kind, const std::function<void(CDataBase&)>& work) override;
    // Reads the collection on the calling thread, once confirmed. `read` must not wait for the user: a dialog shown
    // from within it could outlive the database. False when stale.
    bool Read(const std::function<void(const CDataBase&)>& read);

    // The session's changes, each confirmed first; Refused when stale.
    ChangeResult AddEntry(const EntryKey& key, const EntryFields& fields);
    ChangeResult ReplaceEntry(const EntryKey& oldKey, const EntryKey& newKey, const EntryFields& fields);
    ChangeResult RemoveEntry(const EntryKey& key);
    // `pour` runs as file work, so nothing can lock the database between the pour and the save.
    ChangeResult ImportEntries(FileWork kind, const std::function<bool(CDataBase&)>& pour);
    // Saves what a dialog has poured into the collection through Work. A lock in between has taken the poured
    // entries with the others, so a stale ticket only refuses.
    ChangeResult SavePoured();

    const ITextSource& Texts() const override;
    IMessageReporter& Reporter() const override;
    // The open database's file name and folder, for the names a chooser proposes.
    std::u16string FileName() const;
    std::u16string Folder() const;
    // The open database's master password, for the password health report, which judges it too.
    const SecureString& MasterPassword() const;

private:
    DatabaseSession& session;
    std::uint64_t generation;
    bool openAtStart;
    bool told = false;
};
