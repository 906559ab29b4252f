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
