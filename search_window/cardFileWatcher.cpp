#include "search_window/cardFileWatcher.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

std::chrono::milliseconds unsettledNow(const mdlZorv::FileStamp &stamp)
{
    return CardFileWatcher::unsettledFor(stamp, QDateTime::currentMSecsSinceEpoch() * 1'000'000);
}

} // namespace

std::chrono::milliseconds CardFileWatcher::unsettledFor(const mdlZorv::FileStamp &stamp,
                                                        qint64 nowNs)
{
    using namespace std::chrono;
    const auto age = nanoseconds(nowNs - stamp.modifiedNs);
    if (!stamp.exists || age < nanoseconds(0) || age >= settleTime)
        return milliseconds(0);
    return ceil<milliseconds>(settleTime - age);
}

CardFileWatcher::CardFileWatcher(QObject *parent) : QObject(parent)
{
    settle_.setSingleShot(true);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &CardFileWatcher::somethingChanged);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            &CardFileWatcher::somethingChanged);
    connect(&settle_, &QTimer::timeout, this, &CardFileWatcher::settled);
}

void CardFileWatcher::watch(const QString &path)
{
    path_ = path;
    read_ = mdlZorv::stampOf(path);
    watchAgain();
}

void CardFileWatcher::readFrom(const mdlZorv::FileStamp &read)
{
    read_ = read;
    watchAgain();
    settle_.start(settleTime);
}

void CardFileWatcher::readWhenSettled()
{
    readAnyway_ = true;
    settle_.start(unsettledNow(mdlZorv::stampOf(path_)));
}

// The file is watched through its path, which the system follows to the file it names at that
// moment: after a file is renamed over the path, the path is watched again to follow the new one
// (the old one may live on, through a second link or a program that holds it open).
void CardFileWatcher::watchAgain()
{
    const QFileInfo info(path_);
    QStringList folders = {info.absolutePath()};
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        folders << QFileInfo(target.isEmpty() ? info.symLinkTarget() : target).absolutePath();
    }
    folders.removeDuplicates();
    for (const QString &folder : watcher_.directories()) {
        if (!folders.contains(folder))
            watcher_.removePath(folder);
    }
    for (const QString &folder : folders) {
        if (!watcher_.directories().contains(folder))
            watcher_.addPath(folder);
    }
    if (watcher_.files().contains(path_) || watcher_.directories().contains(path_))
        watcher_.removePath(path_);
    // Only a file: a folder watched would be held open on Windows, and could not be replaced.
    if (info.isFile())
        watcher_.addPath(path_);
}

void CardFileWatcher::somethingChanged()
{
    watchAgain();
    settle_.start(settleTime);
}

void CardFileWatcher::settled()
{
    const mdlZorv::FileStamp now = mdlZorv::stampOf(path_);
    if (now == read_ && !readAnyway_)
        return; // another file of a watched folder changed
    if (const auto wait = unsettledNow(now); wait.count() > 0) {
        settle_.start(wait);
        return;
    }
    readAnyway_ = false;
    Q_EMIT changed();
}
