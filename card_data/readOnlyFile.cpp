#include "card_data/readOnlyFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mdlZorv {

namespace {

// Why a file could not be opened: the plain cases first, then the system's own words.
QString openProblem(const QString &path, const QString &systemReason)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("ファイルがありません。");
    if (info.isDir())
        return QStringLiteral("ファイルではなくフォルダーです。");
    if (!info.isReadable())
        return QStringLiteral("読み取りの権限がありません。");
    return QStringLiteral("開けません (%1)。").arg(systemReason);
}

QString notRegularProblem()
{
    return QStringLiteral("普通のファイルではありません (名前付きパイプやデバイスなど)。");
}

} // namespace

#ifdef Q_OS_WIN

namespace {

FileStamp stampOfHandle(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return {};
    // FILETIME counts 100 ns from 1601; the stamp only needs to change when the file does.
    const auto join = [](DWORD high, DWORD low) {
        return (quint64(high) << 32) | low;
    };
    return {.exists = true,
            .device = info.dwVolumeSerialNumber,
            .file = join(info.nFileIndexHigh, info.nFileIndexLow),
            .size = qint64(join(info.nFileSizeHigh, info.nFileSizeLow)),
            .modifiedNs = qint64(join(info.ftLastWriteTime.dwHighDateTime,
                                      info.ftLastWriteTime.dwLowDateTime)) *
                          100};
}

} // namespace

FileStamp stampOf(const QString &path)
{
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    const FileStamp stamp = stampOfHandle(file);
    CloseHandle(file);
    return stamp;
}

FileStamp ReadOnlyFile::currentStamp() const
{
    return stampOfHandle(reinterpret_cast<HANDLE>(handle_));
}

ReadOnlyFile::ReadOnlyFile(const QString &path)
{
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        problem_ = openProblem(path, readError());
        return;
    }
    handle_ = reinterpret_cast<qintptr>(file);
    LARGE_INTEGER size;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        problem_ = notRegularProblem();
        return;
    }
    size_ = size.QuadPart;
    opened_ = stampOfHandle(file);
    open_ = true;
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (handle_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

qint64 ReadOnlyFile::readAt(char *data, qint64 count, qint64 offset) const
{
    OVERLAPPED at{};
    at.Offset = DWORD(quint64(offset) & 0xFFFFFFFFU);
    at.OffsetHigh = DWORD(quint64(offset) >> 32);
    DWORD got = 0;
    const DWORD asked = DWORD(std::min<qint64>(count, qint64(1) << 30));
    if (ReadFile(reinterpret_cast<HANDLE>(handle_), data, asked, &got, &at))
        return got;
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

QString ReadOnlyFile::readError()
{
    return qt_error_string(int(GetLastError()));
}

#else

namespace {

FileStamp stampOfStatus(const struct stat &status)
{
    return {.exists = true,
            .device = quint64(status.st_dev),
            .file = quint64(status.st_ino),
            .size = qint64(status.st_size),
            .modifiedNs = qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

} // namespace

FileStamp stampOf(const QString &path)
{
    struct stat status
    {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return stampOfStatus(status);
}

FileStamp ReadOnlyFile::currentStamp() const
{
    struct stat status
    {};
    if (fstat(int(handle_), &status) != 0)
        return {};
    return stampOfStatus(status);
}

ReadOnlyFile::ReadOnlyFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem_ = openProblem(path, readError());
        return;
    }
    handle_ = fd;
    struct stat status
    {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        problem_ = openProblem(path, readError());
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        problem_ = notRegularProblem();
        return;
    }
    size_ = status.st_size;
    opened_ = stampOfStatus(status);
    open_ = true;
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (handle_ != -1)
        ::close(int(handle_));
}

qint64 ReadOnlyFile::readAt(char *data, qint64 count, qint64 offset) const
{
    for (;;) {
        const ssize_t got = pread(int(handle_), data, size_t(count), off_t(offset));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

QString ReadOnlyFile::readError()
{
    return qt_error_string(errno);
}

#endif

} // namespace mdlZorv
