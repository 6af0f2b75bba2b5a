#include "gui/mainwindow/FileFollower.h"

#include <QFileInfo>

FileFollower::FileFollower(std::function<QString()> path, std::function<bool()> follow, QObject* parent)
    : QObject(parent)
    , path(std::move(path))
    , follow(std::move(follow))
{
    settle.setSingleShot(true);
    settle.setInterval(SettleMilliseconds);
    connect(&settle, &QTimer::timeout, this, &FileFollower::Look);
    const auto noticed = [this] {
        Arm();
        settle.start();
    };
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, noticed);
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, noticed);
    look.setInterval(LookMilliseconds);
    connect(&look, &QTimer::timeout, this, &FileFollower::Look);
    look.start();
    Arm();
}

void FileFollower::Arm()
{
    const QString file = path();
    const QString folder = file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
    for (const QString& watchedFolder : watcher.directories()) {
        if (watchedFolder != folder) {
            watcher.removePath(watchedFolder);
        }
    }
    // A watch follows the file it was set on, not the path: after a rename over the path it would keep watching
    // the old file, so the path is watched anew each time.
    const QStringList files = watcher.files();
    if (!files.isEmpty()) {
        watcher.removePaths(files);
    }
    if (!folder.isEmpty() && !watcher.directories().contains(folder)) {
        watcher.addPath(folder);
    }
    if (!file.isEmpty() && QFileInfo::exists(file)) {
        watcher.addPath(file);
    }
}

void FileFollower::Look()
{
    Arm();
    if (!follow()) {
        settle.start();
    }
}
