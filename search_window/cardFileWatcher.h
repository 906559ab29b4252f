#pragma once

#include "card_data/readOnlyFile.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <chrono>

// Watches a card file and tells when the file at its path is no longer the one last read: written
// in place, replaced by another file renamed over it (as editors save), deleted or put back. It
// tells once the file has stayed unchanged for a moment, since a file being written changes many
// times. The path's folder is watched too, and for a symbolic link the folder of the file it leads
// to, so that a file renamed over either is seen whatever became of the old one.
class CardFileWatcher final : public QObject
{
    Q_OBJECT

public:
    // How long a file must have stayed unchanged before it is read. Editors write a file in one
    // burst of a few milliseconds; a pause longer than this inside one save is rare.
    static constexpr std::chrono::milliseconds settleTime{100};

    explicit CardFileWatcher(QObject *parent = nullptr);

    // Starts watching path: before the file is first read, so that no change is missed.
    void watch(const QString &path);
    QString path() const { return path_; }

    // The file was read (or a read of it failed) as stamped: watches the path afresh, and tells
    // changed() once the file at the path has settled if it is not that one.
    void readFrom(const mdlZorv::FileStamp &read);
    // Tells changed() once the file has settled, whether it changed or not.
    void readWhenSettled();
    // Whether a change is being waited on to settle.
    bool isSettling() const { return settle_.isActive(); }

    // How much longer to wait before a file last written as stamped may be read, at a moment given
    // in nanoseconds since the epoch: a file written less than the settle time ago could be
    // caught half-written. A time in the future (another machine's clock) counts as settled.
    static std::chrono::milliseconds unsettledFor(const mdlZorv::FileStamp &stamp, qint64 nowNs);

Q_SIGNALS:
    void changed();

private:
    void watchAgain();
    void somethingChanged();
    void settled();

    QString path_;
    QFileSystemWatcher watcher_;
    QTimer settle_; // restarted by every change
    mdlZorv::FileStamp read_;
    bool readAnyway_ = false;
};
