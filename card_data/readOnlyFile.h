#pragma once

#include <QString>

namespace mdlZorv {

// What tells one state of a file from another: which file it is (a file renamed over a path is
// another), its size and when it was last written. Two stamps are equal only when all agree.
struct FileStamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 file = 0; // the file's number on its device
    qint64 size = 0;
    qint64 modifiedNs = 0; // since the epoch
    bool operator==(const FileStamp &) const = default;
};

// The stamp of the file a path leads to now, symbolic links followed; exists is false if none.
FileStamp stampOf(const QString &path);

// A regular file opened for reading only. Opening never blocks: a named pipe, a device or a socket
// is refused instead of waited on. Reads name their position, so threads may share one open file
// and always see the same file, even if another is renamed over its path meanwhile.
class ReadOnlyFile
{
public:
    // Opens path; on failure isOpen() is false and problem() says why, in Japanese.
    explicit ReadOnlyFile(const QString &path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool isOpen() const { return open_; }
    QString problem() const { return problem_; }
    // The size when the file was opened.
    qint64 size() const { return size_; }
    // The stamp of the open file when it was opened, and as it is now.
    FileStamp openedStamp() const { return opened_; }
    FileStamp currentStamp() const;

    // Reads up to count bytes at offset into data: the number read, 0 at the end of the file, or
    // -1 on an error, which readError() then describes.
    qint64 readAt(char *data, qint64 count, qint64 offset) const;
    static QString readError();

private:
    bool open_ = false;
    QString problem_;
    qint64 size_ = 0;
    FileStamp opened_;
    qintptr handle_ = -1;
};

} // namespace mdlZorv
