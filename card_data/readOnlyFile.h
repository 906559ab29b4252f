#pragma once

#include <QString>

namespace mdlZorv {

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

    // Reads up to count bytes at offset into data: the number read, 0 at the end of the file, or
    // -1 on an error, which readError() then describes.
    qint64 readAt(char *data, qint64 count, qint64 offset) const;
    static QString readError();

private:
    bool open_ = false;
    QString problem_;
    qint64 size_ = 0;
    qintptr handle_ = -1;
};

} // namespace mdlZorv
