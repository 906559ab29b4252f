#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

// Watches a card file and tells when it has changed on disk and stayed unchanged for a moment:
// written in place, replaced by another file renamed over it (as editors save), deleted or put
// back. Its folder is watched too, since a file replaced by a rename is no longer the one watched.
class CardFileWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit CardFileWatcher(QObject *parent = nullptr);

    void watch(const QString &path);
    QString path() const { return path_; }

Q_SIGNALS:
    void changed();

private:
    struct Look
    {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        QDateTime metadataChanged;
        bool operator==(const Look &) const = default;
    };
    Look look() const;
    void somethingChanged();
    void settled();

    QString path_;
    QFileSystemWatcher watcher_;
    QTimer settle_; // restarted by every change: a file being written changes many times
    Look seen_;
};
