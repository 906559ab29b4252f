#include "search_window/userSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
constexpr bool keptInFile = true;
#else
constexpr bool keptInFile = false; // the registry, or the system's preferences
#endif

QString organization()
{
    return QStringLiteral("zorv-card-search");
}

QString application()
{
    return QStringLiteral("zorv-card-search");
}

// Opening a path that is neither cannot block: it creates the file, or reads a regular one.
bool isFileOrMissing(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

} // namespace

UserSettings::UserSettings()
{
    if (!keptInFile) {
        settings_ =
            std::make_unique<QSettings>(QSettings::UserScope, organization(), application());
        return;
    }
    const QString path = filePath();
    if (!isFileOrMissing(path))
        return;
    settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
    writable_ = isFileOrMissing(path + QStringLiteral(".lock"));
}

UserSettings::~UserSettings() = default;

QVariant UserSettings::value(QAnyStringView key, const QVariant &defaultValue) const
{
    return settings_ ? settings_->value(key, defaultValue) : defaultValue;
}

void UserSettings::setValue(QAnyStringView key, const QVariant &value)
{
    if (settings_ && writable_)
        settings_->setValue(key, value);
}

// Made for the program's own names, QSettings opens at once every file it might read: the
// program's, the organization's and the system's, a named pipe among them included. So QSettings
// is asked where it would keep the settings of a name that no file has, which follows
// QSettings::setPath and the XDG folders as its own choice does, and the path is made from that.
// The file is then opened by its path alone.
QString UserSettings::filePath()
{
    if (!keptInFile)
        return {};
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope,
                          QStringLiteral("zorv-card-search-probe.invalid"), application());
    const QFileInfo probeFile(probe.fileName()); // FOLDER/zorv-card-search-probe.invalid/NAME.conf
    return QFileInfo(probeFile.path()).path() + u'/' + organization() + u'/' + application() +
           u'.' + probeFile.suffix();
}
