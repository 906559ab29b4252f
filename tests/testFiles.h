#pragma once

// Card files for the tests, written on the spot. Every card in them is made up.

#include <QByteArray>
#include <QFile>
#include <QStringEncoder>
#include <QStringList>

namespace testFiles {

inline QByteArray toCp932(const QString &text)
{
    return QStringEncoder("windows-31j")(text);
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Card lines in Shift-JIS, each ended by CR LF as in the sample file.
inline QByteArray cardFile(const QStringList &lines)
{
    return toCp932(lines.join(u"\r\n") + QStringLiteral("\r\n"));
}

} // namespace testFiles
