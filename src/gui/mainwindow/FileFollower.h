#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

// Notices when another program (a file synchronizing tool, say) replaces or rewrites the open database's file, and
// asks the window to follow it. The folder is watched, because such tools rename their version over the file, which
// ends the file's own watch; the file is watched as well for a rewrite in place. A look every second backs both up
// where the file system sends no notices. The window's `follow` compares versions, so a look too many costs a stat.
class FileFollower : public QObject
{
    Q_OBJECT
public:
    // `path` gives the open database's path (empty: none); `follow` looks at the file and returns false when it
    // cannot now (a dialog or file work is running), to be asked again shortly.
    FileFollower(std::function<QString()> path, std::function<bool()> follow, QObject* parent = nullptr);

    // How long a burst of notices settles before the file is looked at: a sync tool writes and renames in steps.
    static constexpr int SettleMilliseconds = 200;
    static constexpr int LookMilliseconds = 1000;

private:
    // Watches the folder and the file of the current path: after a rename over the file, its new inode.
    void Arm();
    void Look();

    std::function<QString()> path;
    std::function<bool()> follow;
    QFileSystemWatcher watcher;
    QTimer settle;
    QTimer look;
};
