// What the window does without a widget: following the card file and reading it in the
// background, and the arithmetic of the window's layout.

#include "card_data/cardFileReader.h"
#include "search_window/backgroundTask.h"
#include "search_window/cardFileSession.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/cardTablePlace.h"
#include "search_window/cardTableState.h"
#include "search_window/windowLayout.h"
#include "testFiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

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
    void init() { reading_ = goOn_ = false; }
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
    }

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
        const QTemporaryDir dir;
        QSettings settings(dir.filePath(u"settings.ini"_qs), QSettings::IniFormat);
        const QStringList names = {u"widths"_qs, u"order"_qs, u"sortColumn"_qs,
                                   u"sortDescending"_qs, u"wrap"_qs};
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (written[i].isValid())
                settings.setValue(u"cardTable/monsters/"_qs + names[i], written[i]);
        }
        settings.sync();
        const QSettings again(settings.fileName(), QSettings::IniFormat);
        QCOMPARE(stateText(cardTableState::read(again, u"monsters"_qs, 3)), expected);
    }

    void keepsTheTableStateItWrites()
    {
        const QTemporaryDir dir;
        QSettings settings(dir.filePath(u"settings.ini"_qs), QSettings::IniFormat);
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
};

QTEST_GUILESS_MAIN(tst_windowCore)
#include "tst_windowCore.moc"
