// What the window does without a widget: following the card file and reading it in the
// background, the arithmetic of the window's layout and the user's settings.

#include "card_data/cardFileReader.h"
#include "search_window/backgroundTask.h"
#include "search_window/cardFileSession.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/cardTablePlace.h"
#include "search_window/cardTableState.h"
#include "search_window/recentCardFiles.h"
#include "search_window/userSettings.h"
#include "search_window/windowLayout.h"
#include "testFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A card file of one monster, named as given.
QByteArray oneCard(const QString &name)
{
    return testFiles::cardFile({u"001,%1,0,0,獣,,1,1,I,E,T"_qs.arg(name)});
}

QString numbersText(const QList<int> &numbers)
{
    QStringList texts;
    for (const int number : numbers)
        texts << QString::number(number);
    return texts.join(u' ');
}

// "80 120 0 | 2 0 1 | 1 down | dense": widths, order, sort, wrapping.
QString stateText(const cardTableState::State &state)
{
    return u"%1 | %2 | %3 %4 | %5"_qs.arg(
        numbersText(state.widths), numbersText(state.order), QString::number(state.sortColumn),
        state.sortOrder == Qt::AscendingOrder ? u"up"_qs : u"down"_qs,
        state.wrap ? u"wrap"_qs : u"dense"_qs);
}

// The session, and the name of the first monster of every file it hands on, or "failed".
class Session
{
public:
    Session()
    {
        QObject::connect(&session, &CardFileSession::cardsRead, &session,
                         [this](const std::shared_ptr<cardReload::ReadCards> &read) {
                             reads << read->cards.monsters[mdlZorv::CardField::Name][0];
                         });
        QObject::connect(&session, &CardFileSession::readFailed, &session,
                         [this] { reads << u"failed"_qs; });
    }
    CardFileSession session;
    QStringList reads;
};

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

    QTemporaryDir dir_;
    std::atomic<bool> reading_ = false;
    std::atomic<bool> goOn_ = false;

    QString file(const char16_t *name) const { return dir_.filePath(QString::fromUtf16(name)); }
    // Holds every read, once the file is open, until goOn_.
    void holdReads()
    {
        mdlZorv::readerHooks.afterOpen = [this] {
            reading_ = true;
            while (!goOn_)
                std::this_thread::yield();
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
#ifdef Q_OS_UNIX
        std::signal(SIGPIPE, SIG_IGN); // a write into a named pipe whose reader went fails instead
#endif
    }
    void init()
    {
        reading_ = goOn_ = false;
    }
    void cleanup()
    {
        goOn_ = true;
        mdlZorv::readerHooks = {};
    }

    // Files opened while a read is under way wait for it, the newest in place of any other.
    void aFileToOpenWaitsForTheReadUnderWay()
    {
        for (const char16_t *name : {u"a.dat", u"b.dat", u"c.dat"})
            QVERIFY(testFiles::writeFile(file(name), oneCard(QString::fromUtf16(name).left(1))));
        Session s;
        s.session.load(file(u"a.dat"));
        holdReads();
        s.session.open(file(u"b.dat"));
        QTRY_VERIFY(reading_);
        s.session.open(file(u"a.dat"));
        s.session.open(file(u"c.dat"));
        QCOMPARE(s.session.filesInUse(),
                 (QStringList{file(u"a.dat"), file(u"b.dat"), file(u"c.dat")}));
        goOn_ = true;
        QTRY_COMPARE(s.reads, (QStringList{u"b"_qs, u"c"_qs}));
        QCOMPARE(s.session.path(), file(u"c.dat"));
        QTRY_VERIFY(!s.session.isBusy());
        QCOMPARE(s.reads.size(), 2);
    }

    // A file written while it is read is not handed on half-way, but read again once settled.
    void aChangeWhileReadingIsReadAgain()
    {
        const QString path = file(u"cards.dat");
        QVERIFY(testFiles::writeFile(path, oneCard(u"old"_qs)));
        Session s;
        s.session.load(path);
        holdReads();
        s.session.reload();
        QTRY_VERIFY(reading_);
        QVERIFY(testFiles::writeFile(path, oneCard(u"newer"_qs)));
        goOn_ = true;
        QTRY_COMPARE(s.reads, QStringList{u"newer"_qs});
    }

    // Another file that cannot be read leaves the followed one followed, and is not in use.
    void aFailedReadKeepsTheFileFollowed()
    {
        const QString path = file(u"cards.dat");
        QVERIFY(testFiles::writeFile(path, oneCard(u"kept"_qs)));
        Session s;
        s.session.load(path);
        s.session.open(file(u"missing.dat"));
        QTRY_COMPARE(s.reads, QStringList{u"failed"_qs});
        QCOMPARE(s.session.path(), path);
        QCOMPARE(s.session.filesInUse(), QStringList{path});
        QCOMPARE(s.session.lastRead().problem, QString());
        QVERIFY(testFiles::writeFile(path, oneCard(u"again"_qs)));
        QTRY_COMPARE(s.reads, (QStringList{u"failed"_qs, u"again"_qs}));
    }

    // Another file that holds no card waits for consent, and is followed only once given.
    void aFileOfNoCardsWaitsForConsent()
    {
        const QString path = file(u"cards.dat");
        const QString text = file(u"notes.txt");
        QVERIFY(testFiles::writeFile(path, oneCard(u"kept"_qs)));
        QVERIFY(testFiles::writeFile(text, "no commas here\r\nnor here\r\n"));
        Session s;
        QSignalSpy asked(&s.session, &CardFileSession::consentWanted);
        s.session.load(path);
        for (const bool consent : {false, true}) {
            s.session.open(text);
            QTRY_COMPARE(asked.count(), consent ? 2 : 1);
            QCOMPARE(s.reads, QStringList());
            QCOMPARE(s.session.path(), path);
            QVERIFY(s.session.filesInUse().contains(text));
            if (consent)
                s.session.acceptOpened();
            else
                s.session.declineOpened();
        }
        QCOMPARE(s.reads, QStringList{QString()}); // the first line's name field
        QCOMPARE(s.session.path(), text);
    }

    // After a file is renamed over the followed one, the path is watched again: the saves after
    // it are followed too.
    void followsEverySaveAfterARename()
    {
        const QString path = file(u"cards.dat");
        QVERIFY(testFiles::writeFile(path, oneCard(u"first"_qs)));
        Session s;
        s.session.load(path);
        QVERIFY(testFiles::writeFile(file(u"new.tmp"), oneCard(u"renamed"_qs)));
        QVERIFY(testFiles::replaceByRename(file(u"new.tmp"), path));
        QTRY_COMPARE(s.reads, QStringList{u"renamed"_qs});
        QTRY_VERIFY(!s.session.isBusy());
        QVERIFY(testFiles::writeFile(path, oneCard(u"in place"_qs)));
        QTRY_COMPARE(s.reads, (QStringList{u"renamed"_qs, u"in place"_qs}));
    }

    // The result comes back by value on the thread that started the job; a task that goes while
    // its job runs waits for it and calls nothing.
    void backgroundTaskHandsBackItsResult()
    {
        QString result;
        QThread *doneOn = nullptr;
        {
            BackgroundTask<QString> task;
            task.start([] { return u"made"_qs; },
                       [&](QString made) {
                           result = std::move(made);
                           doneOn = QThread::currentThread();
                       });
            QVERIFY(task.isRunning());
            QTRY_COMPARE(result, u"made"_qs);
            QVERIFY(!task.isRunning());
        }
        QCOMPARE(doneOn, QThread::currentThread());
        bool called = false;
        {
            BackgroundTask<int> task;
            task.start([] { return 1; }, [&](int) { called = true; });
        }
        QCoreApplication::processEvents();
        QVERIFY(!called);
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

    void placesDetailsBesideTheList_data()
    {
        QTest::addColumn<double>("share");
        QTest::addColumn<QRect>("list");
        QTest::addColumn<QRect>("details");
        QTest::newRow("as shared") << 0.4 << QRect(10, 20, 280, 400) << QRect(296, 62, 420, 358);
        QTest::newRow("each side keeps its least")
            << 0.95 << QRect(10, 20, 580, 400) << QRect(596, 62, 120, 358);
        QTest::newRow("dragged to the left edge")
            << 0.0 << QRect(10, 20, 120, 400) << QRect(136, 62, 580, 358);
    }
    // The heading is 40 pixels high, the divider 6 wide, each side keeps 120.
    void placesDetailsBesideTheList()
    {
        QFETCH(double, share);
        QFETCH(QRect, list);
        QFETCH(QRect, details);
        const windowLayout::SideBySide places =
            windowLayout::sideBySide(QRect(10, 20, 706, 400), share, 6, 40, 120);
        QCOMPARE(places.list, list);
        QCOMPARE(places.divider, QRect(list.right() + 1, 20, 6, 400));
        QCOMPARE(places.heading, QRect(details.left(), 20, details.width(), 40));
        QCOMPARE(places.details, details);
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

    // Frames of 4 px, title bars of 26; the main window 352 x 640 with its frame.
    void placesTheTableBesideTheMainWindowOrOverIt_data()
    {
        QTest::addColumn<QRect>("screen"); // its available area
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QRect>("expected");
        const QRect desktop(0, 0, 1920, 1040);
        QTest::newRow("room on the right")
            << desktop << QRect(10, 0, 352, 640) << QRect(366, 30, 1550, 606);
        QTest::newRow("more room on the left, kept on the screen")
            << desktop << QRect(1500, 600, 352, 640) << QRect(4, 430, 1492, 606);
        QTest::newRow("no wider than the widest")
            << QRect(0, 0, 3840, 2100) << QRect(10, 0, 352, 640) << QRect(366, 30, 1600, 606);
        QTest::newRow("a short main window: the least height")
            << desktop << QRect(10, 0, 352, 300) << QRect(366, 30, 1550, 480);
        QTest::newRow("1366 x 768 at 150 %: the whole screen")
            << QRect(0, 0, 910, 482) << QRect(283, 0, 352, 482) << QRect(4, 30, 902, 448);
    }
    void placesTheTableBesideTheMainWindowOrOverIt()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, main);
        QFETCH(QRect, expected);
        QCOMPARE(cardTablePlace::place(main, screen, QSize(760, 480), 1600, QMargins(4, 30, 4, 4)),
                 expected);
    }

    // Whatever the settings file holds, the table reads a state it can show.
    void readsTheTableStateSafely_data()
    {
        QTest::addColumn<QVariantList>("written"); // widths, order, sort column, descending, wrap
        QTest::addColumn<QString>("expected");     // the state read, as stateText gives it
        QTest::newRow("as written")
            << QVariantList{u"80 120 0"_qs, u"2 0 1"_qs, u"1"_qs, u"true"_qs, u"false"_qs}
            << u"80 120 0 | 2 0 1 | 1 down | dense"_qs;
        QTest::newRow("nothing written")
            << QVariantList{{}, {}, {}, {}, {}} << u"0 0 0 | 0 1 2 | -1 up | wrap"_qs;
        QTest::newRow("words, below 0, too wide; an order with a column twice")
            << QVariantList{u"x -5 99999"_qs, u"0 0 1"_qs, u"9"_qs, u"true"_qs, u"no"_qs}
            << u"0 0 4000 | 0 1 2 | -1 up | wrap"_qs;
        QTest::newRow("lists of another length, a column out of range, not a number")
            << QVariantList{u"80 90"_qs, u"0 1 7"_qs, u"abc"_qs, {}, {}}
            << u"0 0 0 | 0 1 2 | -1 up | wrap"_qs;
        QTest::newRow("values of other kinds")
            << QVariantList{QStringList{u"1"_qs, u"2"_qs, u"3"_qs}, 12, QRect(1, 2, 3, 4), -1,
                            QVariantMap()}
            << u"0 0 0 | 0 1 2 | -1 up | wrap"_qs;
    }
    void readsTheTableStateSafely()
    {
        QFETCH(QVariantList, written);
        QFETCH(QString, expected);
        const QTemporaryDir home;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        testFiles::forgetUserSettings();
        const QStringList names = {u"widths"_qs, u"order"_qs, u"sortColumn"_qs,
                                   u"sortDescending"_qs, u"wrap"_qs};
        {
            UserSettings settings;
            for (qsizetype i = 0; i < names.size(); ++i) {
                if (written[i].isValid())
                    settings.setValue(u"cardTable/monsters/"_qs + names[i], written[i]);
            }
        }
        QCOMPARE(stateText(cardTableState::read(UserSettings(), u"monsters"_qs, 3)), expected);
    }

    void keepsTheTableStateItWrites()
    {
        const QTemporaryDir home;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        testFiles::forgetUserSettings();
        UserSettings settings;
        const cardTableState::State state{{90, 0, 4000}, {1, 2, 0}, 2, Qt::DescendingOrder, false};
        cardTableState::write(settings, u"magic"_qs, state);
        QCOMPARE(cardTableState::read(settings, u"magic"_qs, 3), state);
        QCOMPARE(cardTableState::read(settings, u"monsters"_qs, 3).sortColumn, -1);
    }

    void waitsForAFileToSettle_data()
    {
        QTest::addColumn<int>("writtenAgoMs"); // below 0: in the future
        QTest::addColumn<int>("waitMs");
        QTest::newRow("written 30 ms ago") << 30 << 70;
        QTest::newRow("settled") << 100 << 0;
        QTest::newRow("in the future") << -5000 << 0;
    }

    // A file is read once it has stayed unwritten for the settle time, so that a save with a pause
    // inside is not read half-way; a file whose time is ahead of the clock is read at once.
    void waitsForAFileToSettle()
    {
        QFETCH(int, writtenAgoMs);
        QFETCH(int, waitMs);
        const qint64 now = 1'800'000'000'000'000'000;
        mdlZorv::FileStamp stamp;
        stamp.exists = true;
        stamp.modifiedNs = now - qint64(writtenAgoMs) * 1'000'000;
        QCOMPARE(CardFileWatcher::unsettledFor(stamp, now).count(), waitMs);
    }
    void keepsTheCardFilesOpenedLast_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("expected");
        const QStringList nine = {u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs,
                                  u"6"_qs, u"7"_qs, u"8"_qs, u"9"_qs};
        QTest::newRow("none yet") << QVariant() << u"a"_qs << QStringList{u"a"_qs};
        QTest::newRow("opened again goes first")
            << QVariant(QStringList{u"b"_qs, u"a"_qs}) << u"a"_qs << QStringList{u"a"_qs, u"b"_qs};
        QTest::newRow("eight at most")
            << QVariant(nine) << u"new"_qs << (QStringList{u"new"_qs} + nine.mid(0, 7));
        QTest::newRow("not a list") << QVariant(42) << u"a"_qs << QStringList{u"a"_qs};
        QTest::newRow("a map") << QVariant(QVariantMap{{u"x"_qs, 1}}) << u"a"_qs
                               << QStringList{u"a"_qs};
    }
    // Whatever the settings hold there, the list the window shows is at most eight names.
    void keepsTheCardFilesOpenedLast()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, opened);
        QFETCH(QStringList, expected);
        const QTemporaryDir home;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        testFiles::forgetUserSettings();
        UserSettings().setValue(u"files/recent"_qs, stored);
        QVERIFY(recentCardFiles::read().size() <= recentCardFiles::most);
        QCOMPARE(recentCardFiles::withFirst(recentCardFiles::read(), opened), expected);
        const QString file = home.filePath(u"cards.dat"_qs);
        QVERIFY(testFiles::writeFile(file, oneCard(u"x"_qs)));
        recentCardFiles::remember(file);
        QCOMPARE(recentCardFiles::fileToReopen(), file);
        QVERIFY(QFile::remove(file));
        QCOMPARE(recentCardFiles::fileToReopen(), QString());
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
