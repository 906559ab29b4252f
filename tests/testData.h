#pragma once

// Helpers that write card files for tests. All cards in tests are made up on the spot.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace testData {

inline QByteArray toCp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder(text);
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Joins card lines with CR LF and ends the last one too, as the sample file does.
inline QByteArray cardFile(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return toCp932(text);
}

} // namespace testData
