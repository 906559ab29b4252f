// The window's workings that need no window: the arithmetic of its layout and the user's settings.

#include "search_window/userSettings.h"
#include "search_window/windowLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// What a folder holds: "name:kind" for each entry, kind f (file), d (folder), l (link) or o
// (anything else: a named pipe, a device).
QStringList entriesOf(const QString &folder)
{
    QStringList entries;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(
             QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        const char kind = entry.isSymLink() ? 'l'
                          : entry.isDir()   ? 'd'
                          : entry.isFile()  ? 'f'
                                            : 'o';
        entries << entry.fileName() + u':' + QChar(kind);
    }
    return entries;
}

} // namespace

class tst_windowCore final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
#ifdef Q_OS_UNIX
        std::signal(SIGPIPE, SIG_IGN); // a write into a named pipe whose reader went fails instead
#endif
    }

    void sharesHeightBetweenListAndDetails_data()
    {
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("details");
        QTest::newRow("default") << 0 << 280 << 82;
        QTest::newRow("odd pixel to the list") << 11 << 286 << 87;
        QTest::newRow("lower") << -10 << 275 << 77;
        QTest::newRow("details at its least") << -100 << 217 << 45;
        QTest::newRow("both at their least") << -400 << 40 << 45;
    }
    void sharesHeightBetweenListAndDetails()
    {
        QFETCH(int, extra);
        QFETCH(int, list);
        QFETCH(int, details);
        QCOMPARE(windowLayout::shareHeight(280, 82, extra, 40, 45), std::pair(list, details));
    }

    void placesTheWindowOnAScreenThatExists_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("expected");
        const QRect left(0, 0, 1366, 728), right(1366, 0, 1920, 1040); // available areas
        QTest::newRow("where it was") << QRect(1500, 100, 800, 600) << QRect(1500, 100, 800, 600);
        QTest::newRow("on a screen now gone: default size, centred")
            << QRect(4000, 100, 800, 600) << QRect(511, 111, 344, 505);
        QTest::newRow("never saved") << QRect() << QRect(511, 111, 344, 505);
        QTest::newRow("taller than its screen")
            << QRect(100, 50, 400, 900) << QRect(100, 30, 400, 694);
        QTest::newRow("wider than its screen")
            << QRect(1500, 100, 100000, 600) << QRect(1370, 100, 1912, 600);
        QTest::newRow("past its screen's right edge")
            << QRect(3000, 100, 800, 600) << QRect(2482, 100, 800, 600);
    }
    // The preferred screen is the left one; the frame adds 30 pixels above and 4 on the other
    // sides.
    void placesTheWindowOnAScreenThatExists()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, expected);
        const QList<QRect> screens = {QRect(0, 0, 1366, 728), QRect(1366, 0, 1920, 1040)};
        QCOMPARE(windowLayout::windowPlace(saved, QSize(344, 505), 240, screens, screens[0],
                                           QMargins(4, 30, 4, 4)),
                 expected);
    }

    void leavesSettingsThatAreNoFileAlone_data()
    {
        QTest::addColumn<QString>("kind"); // what stands at the settings file's path
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after"); // "default": nothing was written
        QTest::newRow("regular file") << u"file"_qs << u"old"_qs << u"new"_qs;
        QTest::newRow("folder") << u"folder"_qs << u"default"_qs << u"default"_qs;
#ifdef Q_OS_UNIX
        QTest::newRow("named pipe") << u"pipe"_qs << u"default"_qs << u"default"_qs;
        QTest::newRow("link to a named pipe") << u"link"_qs << u"default"_qs << u"default"_qs;
        QTest::newRow("named pipe as the lock file")
            << u"lock"_qs << u"default"_qs << u"default"_qs;
        // QSettings made for the program's own names reads it as a fallback.
        QTest::newRow("named pipe as the organization's file")
            << u"organization"_qs << u"default"_qs << u"new"_qs;
#endif
    }
    // A regular file is read and written; anything else reads as the defaults and stays as it was,
    // never opened. Whatever opens the pipe is let go at once, so a fault fails and never hangs.
    void leavesSettingsThatAreNoFileAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, before);
        QFETCH(QString, after);
        const QTemporaryDir home;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        const QString path = UserSettings::filePath();
        if (path.isEmpty())
            QSKIP("the settings are kept in the registry");
        QCOMPARE(path, home.filePath(u"zorv-card-search/zorv-card-search.conf"_qs));
        const QString folder = QFileInfo(path).path();
        QVERIFY(QDir().mkpath(folder));
        const QString pipe = kind == u"lock"           ? path + u".lock"_qs
                             : kind == u"link"         ? home.filePath(u"pipe"_qs)
                             : kind == u"organization" ? folder + u".conf"_qs
                             : kind == u"pipe"         ? path
                                                       : QString();
        if (kind == u"file")
            QSettings(path, QSettings::IniFormat).setValue(u"test/value"_qs, u"old"_qs);
        if (kind == u"folder")
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        if (!pipe.isEmpty())
            QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        if (kind == u"link")
            QVERIFY(QFile::link(pipe, path));
#endif
        const QStringList entries = entriesOf(folder);

        std::atomic<bool> done = false;
        QString read;
        QString readAgain;
        std::thread user([&] {
            {
                UserSettings settings;
                read = settings.value(u"test/value"_qs, u"default"_qs).toString();
                settings.setValue(u"test/value"_qs, u"new"_qs);
            }
            readAgain = UserSettings().value(u"test/value"_qs, u"default"_qs).toString();
            done = true;
        });
        bool pipeOpened = false;
        while (!done && !pipe.isEmpty()) {
#ifdef Q_OS_UNIX
            const QByteArray name = QFile::encodeName(pipe);
            // Only a reader waiting in the pipe lets this open succeed, and so goes on.
            if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
                pipeOpened = true;
                ::close(fd);
            }
            if (const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK); fd >= 0)
                ::close(fd); // a writer waiting in the pipe goes on
#endif
            QTest::qSleep(5);
        }
        user.join();
        QVERIFY(!pipeOpened);
        QCOMPARE(read, before);
        QCOMPARE(readAgain, after);
        if (after == u"default")
            QCOMPARE(entriesOf(folder), entries);
    }
};

QTEST_GUILESS_MAIN(tst_windowCore)
#include "tst_windowCore.moc"
