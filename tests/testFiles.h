#pragma once

// Card files for the tests, written on the spot. Every card in them is made up.

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QStringEncoder>
#include <QStringList>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cstdio>
#endif

namespace testFiles {

inline QByteArray toCp932(const QString &text)
{
#ifdef Q_OS_WIN
    // Qt for Windows has no code page 932 of its own: Windows has.
    const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int size =
        WideCharToMultiByte(932, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    WideCharToMultiByte(932, 0, wide, int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
#else
    return QStringEncoder("windows-31j")(text);
#endif
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Puts the file from in the place of the file to at once, as editors save: to's old file lives on
// for whoever has it open.
inline bool replaceByRename(const QString &from, const QString &to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t *>(from.utf16()),
                       reinterpret_cast<const wchar_t *>(to.utf16()), MOVEFILE_REPLACE_EXISTING);
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

// Card lines in Shift-JIS, each ended by CR LF as in the sample file.
inline QByteArray cardFile(const QStringList &lines)
{
    return toCp932(lines.join(u"\r\n") + QStringLiteral("\r\n"));
}

// Forgets what the program keeps in the user's settings: tests point the settings at a folder of
// their own (QSettings::setPath), but on Windows they stay in the registry, from one test to the
// next.
inline void forgetUserSettings()
{
    QSettings(QSettings::UserScope, QStringLiteral("zorv-card-search"),
              QStringLiteral("zorv-card-search"))
        .clear();
}

} // namespace testFiles
