#include "core/session/DatabaseSession.h"
#include "core/session/SessionTicket.h"
#include "core/settings/BuiltinTexts.h"

// Following the open file while other programs replace it: the part of the session that reads a version it did not
// write itself.

FollowResult DatabaseSession::FollowFile()
{
    if (!IsOpen()) {
        return FollowResult::Unchanged;
    }
    // A command's dialog shows the entries it was handed and acts on them when it closes; a prompt of an open reads
    // into the collection. The new version waits for them, and a save meanwhile merges it.
    if (opening || ticketsHeld != 0) {
        return FollowResult::Deferred;
    }
    const std::optional<FileVersion> now = FileVersion::At(Path());
    // A vanished file is a sync tool between removing and renaming, or a file moved away: there is nothing to read,
    // and the next save writes the collection there again.
    if (!now || now == versionHeld || now == versionNotFollowed) {
        return FollowResult::Unchanged;
    }
    // Following is a command of its own: the questions below may outlive the database.
    SessionTicket ticket(*this);
    FileVersionRead read(database.Texts());
    FileVersionRead::Outcome outcome = FileVersionRead::Outcome::Unreadable;
    work.Run(FileWork::Opening, [&] { outcome = read.Read(Path(), masterPassword); });
    if (outcome == FileVersionRead::Outcome::Read) {
        return ShowOtherVersion(read);
    }
    versionNotFollowed = read.Version();
    if (outcome == FileVersionRead::Outcome::WrongPassword) {
        if (prompts.AskOkCancel(database.Texts().Text(TextId::OtherVersionWrongPassword)) && ticket.Confirm()) {
            CloseDatabase();
            return FollowResult::Closed;
        }
        return FollowResult::NotRead;
    }
    Report(database.Texts().Text(TextId::OtherVersionUnreadable) + u"\n\n" + read.Problem(), MessageIcon::Warning);
    return FollowResult::NotRead;
}

FollowResult DatabaseSession::ShowOtherVersion(FileVersionRead& read)
{
    handle.Close();
    handle.Open(Path());
    if (handle.HeldVersion() != read.Version()) {
        // Replaced once more while it was read: the version now held is followed at the next look, and a save
        // before that merges it.
        return FollowResult::Unchanged;
    }
    CollectionReplaced();
    view.BeforeReload();
    database.SwapEntries(read.Entries());
    versionHeld = read.Version();
    versionNotFollowed.reset();
    collectionTextBytes = read.TextBytesOfEntries();
    database.ForgetChanges();
    damaged.Forget();
    view.AfterReload(database.Texts().Text(TextId::FollowedFileNote));
    return FollowResult::Reloaded;
}
