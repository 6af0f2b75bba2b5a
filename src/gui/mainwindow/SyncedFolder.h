#pragma once

#include <functional>
#include <memory>

#include "gui/mainwindow/FileFollower.h"

class COptions;
class DatabaseSession;
class IFileTrash;

// The main window's part in keeping a database that a sync tool shares with other machines: it follows the open
// file as other programs replace it, and after an open offers the conflict copies found beside it.
class SyncedFolder
{
public:
    // `canFollowNow` is false while a dialog or file work runs, when the collection must not change under them;
    // `followed` is called after the session followed the file or closed the database.
    SyncedFolder(DatabaseSession& session, const COptions& options, IFileTrash* trash,
                 std::function<bool()> canFollowNow, std::function<void()> followed);

    // After a database was opened: the conflict copies beside it, once each.
    void OfferConflictCopies();

private:
    bool FollowNow();

    DatabaseSession& session;
    const COptions& options;
    IFileTrash* trash;
    std::function<bool()> canFollowNow;
    std::function<void()> followed;
    FileFollower follower;
};
