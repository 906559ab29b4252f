// The window over a real card file that changes while the program runs: every save is followed,
// whichever way it is made, a file that cannot be read keeps the cards on screen, another file
// can be opened, and reading in the background races with nothing the window does meanwhile.

#include "card_data/cardFileReader.h"
#include "search_window/cardReload.h"
#include "search_window/frmMain.h"
#include "search_window/recentCardFiles.h"
#include "windowDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>

#include <atomic>
#include <new>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace windowDriver;

namespace {

// How the card file's path is set up before the saves.
enum class Setup { Plain, SecondLink, HeldOpen, SymbolicLink };

// The ways a card file is saved, or taken away.
enum class Save {
    InPlace,
    InPlaceShortOfMemory, // and memory runs short while its texts are indexed
    Rename,               // a new file renamed over it, as editors save
    Delete,
    Folder,           // a folder put in its place
    WrittenWhileRead, // the first line, then the whole once the reader has it open
    F5WhileWritten,   // the first line, F5, then the whole at once
    RePoint,          // a new symbolic link renamed over the old one, as ln -sfn does
    RePointToFifo,
};

bool leavesNoCards(Save save)
{
    return save == Save::Delete || save == Save::Folder || save == Save::RePointToFifo ||
           save == Save::InPlaceShortOfMemory;
}

} // namespace

Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Save)

class tst_frmMainReload final : public QObject
{
    Q_OBJECT

    Window window_;
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(u"CardData.dat"_qs);
    int targets_ = 0; // files a symbolic link at the path has led to
    std::atomic<bool> fileOpen_ = false;
    std::atomic<bool> typing_ = false;

    bool openFile(const QByteArray &bytes)
    {
        return testFiles::writeFile(path_, bytes) && window_.openFile(path_);
    }
    bool writeFirstLine(const QByteArray &bytes)
    {
        return testFiles::writeFile(path_, bytes.first(bytes.indexOf("\r\n") + 2));
    }
    // Whatever the path leads to is written.
    bool save(Save how, const QByteArray &bytes)
    {
        using testFiles::writeFile;
        if (QFileInfo(path_).isDir() && !QFileInfo(path_).isSymLink())
            QDir(path_).removeRecursively();
        switch (how) {
        case Save::InPlace:
            return writeFile(path_, bytes);
        case Save::InPlaceShortOfMemory:
            cardReload::setBeforeIndexing([] { throw std::bad_alloc(); });
            return writeFile(path_, bytes);
        case Save::Rename: {
            const QString other = dir_.filePath(u"saved.tmp"_qs);
            return writeFile(other, bytes) && testFiles::replaceByRename(other, path_);
        }
        case Save::Delete:
            return QFile::remove(path_);
        case Save::Folder:
            return QDir().mkdir(path_);
        case Save::WrittenWhileRead:
            mdlZorv::readerHooks.afterOpen = [this, bytes] {
                if (QFileInfo(path_).size() < bytes.size())
                    testFiles::writeFile(path_, bytes);
            };
            return writeFirstLine(bytes);
        case Save::F5WhileWritten:
            if (!writeFirstLine(bytes))
                return false;
            QTest::keyClick(window_.get(), Qt::Key_F5);
            return writeFile(path_, bytes);
        case Save::RePoint:
        case Save::RePointToFifo:
            return rePoint(how == Save::RePointToFifo, bytes);
        }
        return false;
    }
    bool rePoint(bool toFifo, const QByteArray &bytes)
    {
#ifdef Q_OS_UNIX
        const QString target = dir_.filePath(u"target%1.dat"_qs.arg(++targets_));
        const bool made = toFifo ? mkfifo(QFile::encodeName(target).constData(), 0600) == 0
                                 : testFiles::writeFile(target, bytes);
        const QString link = dir_.filePath(u"link.tmp"_qs);
        return made && QFile::link(target, link) && testFiles::replaceByRename(link, path_);
#else
        Q_UNUSED(toFifo);
        Q_UNUSED(bytes);
        return false;
#endif
    }
    bool setUp(Setup setup, std::unique_ptr<QFile> &holder)
    {
        switch (setup) {
        case Setup::Plain:
        case Setup::SymbolicLink:
            return true;
        case Setup::SecondLink:
#ifdef Q_OS_UNIX
            return ::link(QFile::encodeName(path_), QFile::encodeName(path_ + u".bak"_qs)) == 0;
#else
            return false;
#endif
        case Setup::HeldOpen:
            holder = std::make_unique<QFile>(path_);
            return holder->open(QIODevice::ReadOnly);
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir_.filePath(u"settings"_qs));
    }
    void cleanup()
    {
        typing_ = true; // lets a read held open by a failed test end
        window_.close();
        mdlZorv::readerHooks = {};
        cardReload::setBeforeIndexing({});
        emptyFolder(dir_);
        testFiles::forgetUserSettings();
    }

    // How the path is set up, and three saves in a row: each must be followed, whatever became of
    // the file it replaced. A save that leaves no card file to read keeps the cards on screen and
    // says why, in one message box at a time.
    void followsEverySaveOfTheFile_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QList<Save>>("saves");
        using enum Save;
        QTest::newRow("in place") << Setup::Plain << QList{InPlace, InPlace, InPlace};
        QTest::newRow("F5, once the file is written")
            << Setup::Plain << QList{F5WhileWritten, InPlace, F5WhileWritten};
        QTest::newRow("replaced by rename") << Setup::Plain << QList{Rename, InPlace, InPlace};
        QTest::newRow("written while read")
            << Setup::Plain << QList{WrittenWhileRead, InPlace, Rename};
        QTest::newRow("deleted, a folder, a file again")
            << Setup::Plain << QList{Delete, Folder, InPlace};
        QTest::newRow("short of memory while indexing")
            << Setup::Plain << QList{InPlaceShortOfMemory, InPlace, Rename};
#ifdef Q_OS_UNIX
        QTest::newRow("old file kept by a second link")
            << Setup::SecondLink << QList{Rename, InPlace, InPlace};
        QTest::newRow("old file held open") << Setup::HeldOpen << QList{Rename, InPlace, InPlace};
        QTest::newRow("symbolic link re-pointed")
            << Setup::SymbolicLink << QList{RePoint, InPlace, InPlace};
        QTest::newRow("link to a non-regular file")
            << Setup::SymbolicLink << QList{RePointToFifo, RePoint, InPlace};
#endif
    }
    void followsEverySaveOfTheFile()
    {
        QFETCH(Setup, setup);
        QFETCH(QList<Save>, saves);
        // Version k of the file: Beta, whose ID tells the version, and k more cards that the
        // filters and the find word keep; Delta, which the duelist filter drops.
        const auto version = [](int k) {
            QStringList lines = {u"002,Beta,0,0,竜,,1,1,V%1,E,T"_qs.arg(k)};
            for (int i = 1; i <= k; ++i)
                lines << u"01%1,Gamma%1,0,0,竜,,1,1,G,E,T"_qs.arg(i);
            return testFiles::cardFile(lines << u"004,Delta,0,0,竜,,1,1,L,E,O"_qs);
        };
        if (setup == Setup::SymbolicLink)
            QVERIFY(QFile::link(dir_.filePath(u"target0.dat"_qs), path_));
        QVERIFY(openFile(testFiles::cardFile(
            {u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs, u"002,Beta,0,0,竜,,1,1,V0,E,T"_qs})));
        std::unique_ptr<QFile> holder;
        QVERIFY(setUp(setup, holder));
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 竜
        window_.control<QCheckBox>(u"chkDuelistC(0)"_qs)->setChecked(true);
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), u"e"_qs); // in Beta, but not in Alpha
        // The window's own find indexes are made before a save that makes indexing fail.
        QTRY_VERIFY(!window_.control<QLabel>(u"lblFindCount"_qs)->text().contains(u"準備中"));
        QVERIFY(window_.click(u"lstMonstarName"_qs, 0));
        QSignalSpy problems(window_.get(), &frmMain::cardFileProblem);
        QStringList shown; // the list at each reload
        connect(window_.get(), &frmMain::cardFileReloaded, this,
                [&] { shown << window_.monsters().join(u'|'); });

        QStringList listed = window_.monsters();
        for (int k = 1; k <= 3; ++k) {
            QTRY_VERIFY(!window_.session()->isBusy()); // a save now is seen as it happens
            const Save how = saves[k - 1];
            const qsizetype problemsBefore = problems.count();
            QVERIFY2(save(how, version(k)), QTest::currentDataTag());
            if (leavesNoCards(how)) {
                QTRY_VERIFY(problems.count() > problemsBefore);
                QCOMPARE(window_.openMessages(), 1);
                QCOMPARE(window_.monsters(), listed); // the cards stay
                QCOMPARE(QApplication::activeModalWidget(), nullptr);
                cardReload::setBeforeIndexing({});
                continue;
            }
            listed = QStringList{u"002  Beta"_qs};
            for (int i = 1; i <= k; ++i)
                listed << u"01%1  Gamma%1"_qs.arg(i);
            QTRY_COMPARE(window_.monsters(), listed);
            QCOMPARE(window_.details(u"lstMonstarName"_qs).section(u'\n', -2),
                     u"ID-V%1\nE"_qs.arg(k));
            QCOMPARE(window_.control<QComboBox>(u"cmbType"_qs)->currentText(), u"竜"_qs);
            QTRY_COMPARE(window_.openMessages(), 0);
        }
        QVERIFY(!shown.contains(u"002  Beta"_qs)); // a file written in two steps, seen half-way
    }

    // A read again that changed cards tells so in a passing note, which takes no focus; F5 on a
    // file that did not change tells that.
    void tellsWhatAReadAgainChanged()
    {
        const QString alpha = u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs;
        QVERIFY(openFile(testFiles::cardFile({alpha, u"002,Beta,0,0,竜,,1,1,I,E,T"_qs})));
        QTRY_VERIFY(!window_.session()->isBusy());
        auto *note = window_.control<QLabel>(u"lblNote"_qs);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(save(Save::InPlace, testFiles::cardFile({alpha, u"002,Beta,9,0,竜,,1,1,I,E,T"_qs,
                                                         u"003,Gamma,0,0,竜,,1,1,I,E,T"_qs})));
        QTRY_COMPARE(note->text(), u"再読み込みしました: 3 枚 (追加 1、変更 1、削除 0)"_qs);
        QVERIFY(note->isVisible());
        QCOMPARE(QApplication::focusWidget(), focus);
        QTRY_VERIFY(!window_.session()->isBusy());
        note->hide();
        QTest::keyClick(window_.get(), Qt::Key_F5);
        QTRY_COMPARE(note->text(), u"変更はありません"_qs);
        QVERIFY(note->isVisible());
    }

    // Another card file, opened or dropped, is read and followed; one that cannot be read leaves
    // the cards and the followed file as they were. F1 tells which file the cards come from.
    void opensAnotherCardFile()
    {
        QVERIFY(openFile(testFiles::cardFile({u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs})));
        const QString other = dir_.filePath(u"other.txt"_qs);
        QSignalSpy problems(window_.get(), &frmMain::cardFileProblem);
        window_.session()->open(dir_.filePath(u"missing.dat"_qs));
        QTRY_COMPARE(problems.count(), 1);
        QCOMPARE(window_.monsters(), QStringList{u"001  Alpha"_qs});

        QVERIFY(testFiles::writeFile(other, "002,Beta,0,0,\xE7\xAB\x9C,,1,1,I,E,T\n"));
        QMimeData drop;
        drop.setUrls({QUrl::fromLocalFile(other)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &drop, Qt::LeftButton, {});
        QDropEvent release(QPointF(5, 5), Qt::CopyAction, &drop, Qt::LeftButton, {});
        QApplication::sendEvent(window_.get(), &enter);
        QApplication::sendEvent(window_.get(), &release);
        QTRY_COMPARE(window_.monsters(), QStringList{u"002  Beta"_qs});
        QCOMPARE(recentCardFiles::fileToReopen(), QFileInfo(other).absoluteFilePath());
        QTRY_VERIFY(!window_.session()->isBusy());
        QVERIFY(testFiles::writeFile(other, "003,Gamma,0,0,\xE7\xAB\x9C,,1,1,I,E,T\n"));
        QTRY_COMPARE(window_.monsters(), QStringList{u"003  Gamma"_qs});

        window_.get()->activateWindow(); // from the message box of the file that was missing
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_F1);
        const auto *info = window_.get()->findChild<QMessageBox *>(u"msgCardFileInfo"_qs);
        QVERIFY(info);
        for (const QString &part : {QDir::toNativeSeparators(other), u"UTF-8"_qs, u"LF"_qs})
            QVERIFY2(info->text().contains(part), qPrintable(info->text()));
    }

    // A file Notepad saved as "Unicode" opens as cards; a file of no cards opened asks first, and
    // keeps the cards shown unless the user opens it all the same.
    void asksBeforeOpeningAFileOfNoCards()
    {
        QVERIFY(openFile(testFiles::cardFile({u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs})));
        const QString unicode = dir_.filePath(u"unicode.txt"_qs);
        const QString line = u"002,Beta,0,0,竜,,1,1,I,E,T\r\n"_qs;
        QVERIFY(testFiles::writeFile(
            unicode,
            QByteArray("\xFF\xFE") +
                QByteArray(reinterpret_cast<const char *>(line.utf16()), line.size() * 2)));
        window_.session()->open(unicode);
        QTRY_COMPARE(window_.monsters(), QStringList{u"002  Beta"_qs});

        const QString notes = dir_.filePath(u"notes.txt"_qs);
        QVERIFY(testFiles::writeFile(notes, "shopping: bread\r\nmilk\r\n"));
        for (const QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Open}) {
            window_.session()->open(notes);
            QMessageBox *question = nullptr;
            QTRY_VERIFY((question = window_.get()->findChild<QMessageBox *>(u"msgNotCardData"_qs)));
            QCOMPARE(static_cast<QAbstractButton *>(question->defaultButton()),
                     question->button(QMessageBox::Cancel));
            QCOMPARE(window_.monsters(), QStringList{u"002  Beta"_qs});
            question->button(answer)->click();
            QTRY_VERIFY(!window_.get()->findChild<QMessageBox *>(u"msgNotCardData"_qs));
        }
        QTRY_COMPARE(window_.monsters().size(), 2);
        QCOMPARE(window_.session()->path(), notes);
    }

    // The window's menu lists the files opened last with their folders; one no longer there says
    // so when chosen, and goes from the list.
    void listsTheCardFilesOpenedLast()
    {
        QVERIFY(openFile(testFiles::cardFile({u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs})));
        const QString gone = dir_.filePath(u"gone & lost.dat"_qs);
        QVERIFY(
            testFiles::writeFile(gone, testFiles::cardFile({u"002,Beta,0,0,竜,,1,1,I,E,T"_qs})));
        window_.session()->open(gone);
        QTRY_COMPARE(window_.monsters(), QStringList{u"002  Beta"_qs});
        QVERIFY(QFile::remove(gone));
        auto *menu = window_.get()->findChild<QMenu *>(u"mnuRecentFiles"_qs);
        QVERIFY(menu);
        Q_EMIT menu->aboutToShow();
        QAction *first = menu->actions().value(0);
        QVERIFY(first);
        QCOMPARE(first->text(),
                 u"gone && lost.dat  (%1)"_qs.arg(QDir::toNativeSeparators(dir_.path())));
        first->trigger();
        QCOMPARE(window_.control<QLabel>(u"lblNote"_qs)->text(),
                 u"見つかりません: %1"_qs.arg(QDir::toNativeSeparators(gone)));
        QVERIFY(!recentCardFiles::read().contains(gone));
    }

    // A file replaced while the program reads it at start-up is read again once the window is up.
    void readsASaveMadeWhileStarting()
    {
        const QString other = dir_.filePath(u"saved.tmp"_qs);
        QVERIFY(
            testFiles::writeFile(path_, testFiles::cardFile({u"001,Alpha,0,0,獣,,1,1,I,X,T"_qs})));
        QVERIFY(
            testFiles::writeFile(other, testFiles::cardFile({u"002,Beta,0,0,竜,,1,1,I,E,T"_qs})));
        bool renamed = false;
        mdlZorv::readerHooks.afterOpen = [&] {
            renamed = testFiles::replaceByRename(other, path_);
        };
        QVERIFY(window_.openFile(path_));
        if (!renamed)
            QSKIP("this system renames nothing over a file that is open");
        QTRY_COMPARE(window_.monsters(), QStringList{u"002  Beta"_qs});
    }

    // Saves while the user types and filters, with the card table open and sorted, each file read
    // while the window searches: the window ends on the last file's cards. Under ThreadSanitizer
    // this is the check that reading in the background races with nothing the window does
    // meanwhile.
    void reloadsWhileTheUserTypes()
    {
        const auto cards = [](int count) {
            QStringList lines;
            for (int i = 0; i < count; ++i)
                lines << u"%1,Card%1,%2,0,獣,,1,1,I,E,T"_qs.arg(i, 3, 10, QChar(u'0')).arg(i % 3);
            return testFiles::cardFile(lines);
        };
        QVERIFY(openFile(cards(1)));
        QTest::keyClick(window_.get(), Qt::Key_L, Qt::ControlModifier);
        auto *grid = window_.get()->findChild<QTableView *>(u"grdCards"_qs);
        QVERIFY(grid);
        QHeaderView *header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, 5)); // 攻撃力
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        auto *find = window_.control<QLineEdit>(u"txtFind"_qs);
        auto *effectOnly = window_.control<QCheckBox>(u"chkKouka"_qs);
        mdlZorv::readerHooks.afterOpen = [this] { // reads on once the user starts typing
            fileOpen_ = true;
            while (!typing_)
                std::this_thread::yield();
        };
        for (int i = 2; i <= 7; ++i) {
            fileOpen_ = typing_ = false;
            QVERIFY(testFiles::writeFile(path_, cards(i)));
            QTRY_VERIFY(fileOpen_);
            typing_ = true;
            typeText(find, i % 2 ? u"\b"_qs : u"d"_qs); // every name holds a d
            effectOnly->click();
            QTRY_COMPARE(window_.monsters().size(), i);
            QTRY_COMPARE(grid->model()->rowCount(), i);
        }
    }
};

QTEST_MAIN(tst_frmMainReload)
#include "tst_frmMainReload.moc"
