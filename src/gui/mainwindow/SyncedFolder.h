#pragma once

#include <functional>

#include "gui/mainwindow/FileFollower.h"

class COptions;
class DatabaseSession;
class IFileTrash;

// The main window's part in keeping a database that a sync tool shares with other machines: it follows the open
// file as other programs replace it, and has every open offer the conflict copies found beside it.
class SyncedFolder
{
public:
    // `canFollowNow` is false while file work runs, which owns the collection and the file; `followed` is called
    // after the session followed the file or closed the database. Without a trash no copies are offered.
    SyncedFolder(DatabaseSession& session, const COptions& options, IFileTrash* trash,
                 std::function<bool()> canFollowNow, std::function<void()> followed);

private:
    bool FollowNow();

    DatabaseSession& session;
    const COptions& options;
    std::function<bool()> canFollowNow;
    std::function<void()> followed;
    FileFollower follower;
};
