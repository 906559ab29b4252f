#pragma once

#include <QAnyStringView>
#include <QVariant>

#include <memory>

class QSettings;

// The user's own settings of the program, in the system's place for them and never beside the
// program: on Linux the file zorv-card-search/zorv-card-search.conf in the user's configuration
// folder (~/.config), on Windows the registry. Every setting is read and written through it.
//
// A settings file that exists but is not a regular file (a named pipe, a folder, a device, or a
// link to one) is never opened: the settings read as their defaults and nothing is written.
// Opening a named pipe to read would hold start-up until something wrote to it, and a device such
// as /dev/zero never ends. The same holds for the lock file written beside it while it is saved.
class UserSettings
{
public:
    UserSettings();
    ~UserSettings();
    UserSettings(const UserSettings &) = delete;
    UserSettings &operator=(const UserSettings &) = delete;

    // The stored value, or defaultValue when there is none or the file is left alone.
    QVariant value(QAnyStringView key, const QVariant &defaultValue = {}) const;
    // Kept, and saved at the latest when this object goes; nothing when the file (or its lock
    // file) is left alone.
    void setValue(QAnyStringView key, const QVariant &value);

    // The settings file, or empty where the settings are not kept in a file (the registry).
    static QString filePath();

private:
    std::unique_ptr<QSettings> settings_; // none when the settings file is left alone
    bool writable_ = true;
};
