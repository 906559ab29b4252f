#include "search_window/recentCardFiles.h"

#include "search_window/userSettings.h"

#include <QDir>
#include <QFileInfo>

namespace recentCardFiles {

namespace {

const QString key = QStringLiteral("files/recent");

void write(const QStringList &files)
{
    UserSettings().setValue(key, files);
}

} // namespace

QStringList withFirst(QStringList files, const QString &file)
{
    files.removeAll(file);
    files.prepend(file);
    return files.mid(0, most);
}

// Only texts that name a file, as many as the list holds at most.
QStringList read()
{
    const QVariant stored = UserSettings().value(key);
    if (stored.typeId() != QMetaType::QStringList && stored.typeId() != QMetaType::QVariantList &&
        stored.typeId() != QMetaType::QString)
        return {};
    QStringList files;
    for (const QString &file : stored.toStringList()) {
        if (!file.isEmpty() && !files.contains(file) && files.size() < most)
            files << file;
    }
    return files;
}

void remember(const QString &file)
{
    write(withFirst(read(), QFileInfo(file).absoluteFilePath()));
}

void forget(const QString &file)
{
    QStringList files = read();
    files.removeAll(file);
    write(files);
}

QString fileToReopen()
{
    const QStringList files = read();
    return !files.isEmpty() && QFileInfo(files.first()).isFile() ? files.first() : QString();
}

QString menuText(const QString &file)
{
    const QFileInfo info(file);
    return QStringLiteral("%1  (%2)").arg(info.fileName(), QDir::toNativeSeparators(info.path()));
}

} // namespace recentCardFiles
