// Card files as people may leave them: broken, huge, odd. Each is loaded, searched and shown
// through the window; the tests check what the user would see.

#include "testFiles.h"
#include "windowDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QRadioButton>
#include <QSignalSpy>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <QTemporaryDir>

using namespace windowDriver;

class tst_hostileFiles final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { path_ = dir_.filePath(u"CardData.dat"_qs); }
    void cleanup();

    void showsOddLinesAsRows_data();
    void showsOddLinesAsRows();
    void showsHugeFieldsCutOrWrapped();
    void opensEmptyWhenTheFileIsUnusable_data();
    void opensEmptyWhenTheFileIsUnusable();
    void followsTheWatchedFile_data();
    void followsTheWatchedFile();
    void neverWritesTheFile();

private:
    void open(const QByteArray &bytes);
    QStringList monsters() const { return window_.entries(u"lstMonstarName"_qs); }

    QTemporaryDir dir_;
    QString path_;
    Window window_;
};

void tst_hostileFiles::cleanup()
{
    window_.close();
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(path_);
    QDir(path_).removeRecursively();
}

void tst_hostileFiles::open(const QByteArray &bytes)
{
    QVERIFY(testFiles::writeFile(path_, bytes));
    mdlZorv::loadCardFile(path_);
    window_.show();
}

void tst_hostileFiles::showsOddLinesAsRows_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("cards");
    QTest::addColumn<QString>("firstEntry");
    QTest::addColumn<QString>("detailsStart"); // of the first monster's details

    QTest::newRow("NUL bytes inside fields")
        << QByteArray("001,A\0B,1,2,T,,3,4,I\0D,E,J\r\n", 28) << 1
        << QStringLiteral("001  A") + QChar(0) + u"B"_qs << u"Lv-3       ｺｽﾄ-4\nAP-1 → 1.3"_qs;
    QTest::newRow("lead byte at the end of a line")
        << QByteArray("001,A\x81,0,0,T,,1,1,I,E,J\r\n002,B\r\n") << 2 << u"001  A\uFFFD"_qs
        << u"Lv-1       ｺｽﾄ-1\nAP-0 → 0"_qs;
    QTest::newRow("70,000 lines of only CR")
        << QByteArray(70'000, '\r') << 70'000 << u"  "_qs << u"Lv-"_qs;
    QTest::newRow("a line of a million characters")
        << QByteArray("001,A,1,1,T,,1,1,I,E,") + QByteArray(1'000'000, 'J') << 1 << u"001  A"_qs
        << u"Lv-1       ｺｽﾄ-1\nAP-1 → 1.3"_qs;
}

void tst_hostileFiles::showsOddLinesAsRows()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, cards);
    QFETCH(QString, firstEntry);
    QFETCH(QString, detailsStart);
    open(bytes);

    QCOMPARE(mdlZorv::intCardCount, cards);
    QCOMPARE(monsters().size(), mdlZorv::intMonstarCount);
    QCOMPARE(monsters().first(), firstEntry);
    const QString details = window_.showEntry(u"lstMonstarName"_qs, 0);
    QVERIFY2(details.startsWith(detailsStart), qPrintable(details.left(200)));
}

// A huge name or type shows cut in the lists and a huge effect wraps anywhere in the details, so
// that none of them takes seconds to draw; the drop-down still finds the card by its whole type.
void tst_hostileFiles::showsHugeFieldsCutOrWrapped()
{
    const QString huge(100'000, u'E');
    const QString cut = huge.left(256) + u'…';
    open(testFiles::cardFile({u"001,%1,0,0,%1,,1,1,I,%1,T"_qs.arg(huge)}));
    QCOMPARE(monsters(), QStringList{u"001  "_qs + cut});
    auto *types = window_.control<QComboBox>(u"cmbType"_qs);
    QCOMPARE(types->itemText(1), cut);
    types->setCurrentIndex(1);
    QCOMPARE(monsters().size(), 1);

    // Wrapping at word boundaries takes seconds on a long field without any.
    window_.showEntry(u"lstMonstarName"_qs, 0);
    auto *details = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
    QCOMPARE(details->wordWrapMode(), QTextOption::WrapAnywhere);
    QVERIFY(details->toPlainText().endsWith(huge));
}

void tst_hostileFiles::opensEmptyWhenTheFileIsUnusable_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : names(u"missing folder dangling-link unreadable"))
        QTest::newRow(qPrintable(kind)) << kind;
#ifdef Q_OS_UNIX
    // Neither may block start-up: a pipe waits for a writer, a device never ends.
    for (const QString &kind : names(u"fifo link-to-/dev/zero"))
        QTest::newRow(qPrintable(kind)) << kind;
#endif
}

void tst_hostileFiles::opensEmptyWhenTheFileIsUnusable()
{
    QFETCH(QString, kind);
    if (kind == u"missing") {
        QVERIFY(!QFile::exists(path_));
    } else if (kind == u"folder") {
        QVERIFY(QDir().mkpath(path_));
    } else if (kind == u"dangling-link") {
#ifdef Q_OS_WIN
        QSKIP("a link on Windows is a shortcut file, which is a file");
#endif
        QVERIFY(QFile::link(dir_.filePath(u"gone.dat"_qs), path_));
#ifdef Q_OS_UNIX
    } else if (kind == u"fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path_).constData(), 0600), 0);
    } else if (kind == u"link-to-/dev/zero") {
        QVERIFY(QFile::link(u"/dev/zero"_qs, path_));
#endif
    } else {
        QVERIFY(testFiles::writeFile(path_, testFiles::cardFile({u"001,A,1,1,獣,,1,1,I,E,T"_qs})));
        if (!QFile::setPermissions(path_, QFileDevice::Permissions()) ||
            QFile(path_).open(QIODevice::ReadOnly))
            QSKIP("running with rights that read any file (root), or on Windows");
    }
    mdlZorv::loadCardFile(path_);
    window_.show();

    QCOMPARE(mdlZorv::intCardCount, 0);
    QVERIFY(monsters().isEmpty() && window_.entries(u"lstMagicName"_qs).isEmpty());
    QCOMPARE(window_.control<QComboBox>(u"cmbLevel"_qs)->count(), 13);
    QVERIFY2(mdlZorv::strLoadProblem.contains(QDir::toNativeSeparators(path_)),
             qPrintable(mdlZorv::strLoadProblem));
}

void tst_hostileFiles::followsTheWatchedFile_data()
{
    QTest::addColumn<QString>("change");
    for (const QString &change : names(u"F5 written-in-place replaced-by-rename deleted"))
        QTest::newRow(qPrintable(change)) << change;
}

// The lists follow the file, keeping the filters and the selected card; a file gone leaves the
// cards on screen, and says so.
void tst_hostileFiles::followsTheWatchedFile()
{
    QFETCH(QString, change);
    open(
        testFiles::cardFile({u"001,Alpha,0,0,獣,,1,1,I,E,T"_qs, u"002,Beta,0,0,竜,,1,1,I,E,T"_qs}));
    window_.get()->watchCardFile(path_);
    window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 竜
    window_.control<QCheckBox>(u"chkDuelistC(0)"_qs)->setChecked(true);
    QVERIFY(window_.showEntry(u"lstMonstarName"_qs, 0).endsWith(u"ID-I\nE"_qs));
    QSignalSpy problems(window_.get(), &frmMain::cardFileProblem);

    const QByteArray edited =
        testFiles::cardFile({u"002,Beta,0,0,竜,,1,1,J,E,T"_qs, u"003,Gamma,0,0,竜,,1,1,K,E,T"_qs,
                             u"004,Delta,0,0,竜,,1,1,L,E,O"_qs});
    const QString other = dir_.filePath(u"saved.tmp"_qs);
    if (change == u"deleted")
        QVERIFY(QFile::remove(path_));
    else if (change == u"replaced-by-rename")
        QVERIFY(testFiles::writeFile(other, edited) && testFiles::replaceByRename(other, path_));
    else
        QVERIFY(testFiles::writeFile(path_, edited));
    if (change == u"F5")
        QTest::keyClick(window_.get(), Qt::Key_F5);

    auto *details = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
    if (change == u"deleted") {
        QTRY_COMPARE(problems.count(), 1);
        QVERIFY(problems.first().first().toString().contains(QDir::toNativeSeparators(path_)));
        QCOMPARE(monsters(), QStringList{u"002  Beta"_qs});
        QVERIFY(details->toPlainText().endsWith(u"ID-I\nE"_qs));
        return;
    }
    QTRY_COMPARE(monsters(), (QStringList{u"002  Beta"_qs, u"003  Gamma"_qs}));
    QCOMPARE(window_.control<QComboBox>(u"cmbType"_qs)->currentText(), u"竜"_qs);
    QVERIFY(details->toPlainText().endsWith(u"ID-J\nE"_qs));
    QCOMPARE(problems.count(), 0);
}

void tst_hostileFiles::neverWritesTheFile()
{
    const QByteArray bytes =
        testFiles::cardFile({u"001,A,1,1,獣,,1,1,I,E,T"_qs, u"002,B,,,罠,,,1,I,E,O"_qs});
    QVERIFY(testFiles::writeFile(path_, bytes));
    QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QFileInfo before(path_);

    mdlZorv::loadCardFile(path_);
    QCOMPARE(mdlZorv::strLoadProblem, QString()); // a read-only file loads
    window_.show();
    window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(1);
    window_.showEntry(u"lstMonstarName"_qs, 0);
    window_.close();

    QFile file(path_);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    const QFileInfo after(path_);
    QCOMPARE(after.lastModified(), before.lastModified());
    QCOMPARE(after.metadataChangeTime(), before.metadataChangeTime());
}

QTEST_MAIN(tst_hostileFiles)
#include "tst_hostileFiles.moc"
