#include "search_window/cardFileWatcher.h"

#include <QFileInfo>

CardFileWatcher::CardFileWatcher(QObject *parent) : QObject(parent)
{
    settle_.setSingleShot(true);
    settle_.setInterval(250);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &CardFileWatcher::somethingChanged);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            &CardFileWatcher::somethingChanged);
    connect(&settle_, &QTimer::timeout, this, &CardFileWatcher::settled);
}

void CardFileWatcher::watch(const QString &path)
{
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    path_ = path;
    seen_ = look();
    watcher_.addPath(QFileInfo(path).absolutePath());
    if (seen_.exists)
        watcher_.addPath(path);
}

CardFileWatcher::Look CardFileWatcher::look() const
{
    const QFileInfo info(path_);
    return {info.exists(), info.size(), info.lastModified(), info.metadataChangeTime()};
}

void CardFileWatcher::somethingChanged()
{
    // A file replaced or put back must be watched anew.
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_))
        watcher_.addPath(path_);
    settle_.start();
}

void CardFileWatcher::settled()
{
    const Look now = look();
    if (now == seen_)
        return; // another file of the folder changed
    seen_ = now;
    Q_EMIT changed();
}
