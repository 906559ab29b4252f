// Card files as people may leave them: broken, huge, odd. Each is loaded, searched and shown
// through the window; the tests check what the user would see.

#include "card_data/mdlZorv.h"
#include "search_window/frmMain.h"
#include "testData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Lines as the loader must find them: CR LF or a lone CR ends one; a final line end adds none.
qsizetype countLines(const QByteArray &bytes)
{
    qsizetype lines = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r')
            ++lines;
    }
    const bool unended = !bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith("\r\n");
    return lines + (unended ? 1 : 0);
}

} // namespace

class tst_hostileFiles final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void survivesRandomBytes_data();
    void survivesRandomBytes();
    void showsOddLinesAsRows_data();
    void showsOddLinesAsRows();
    void readsOddNumbers();
    void findsDuelistKeysFarIntoAField();
    void listsTwoHundredThousandEmptyLines();
    void opensEmptyWhenTheFileIsUnusable_data();
    void opensEmptyWhenTheFileIsUnusable();
    void keepsItsCardsWhenTheFileIsReplaced();
    void neverWritesTheFile();

private:
    void openWindow(const QByteArray &bytes);
    template <typename T = QWidget> T *control(const char *name);
    QStringList entries(const char *list);
    QString showEntry(const char *list, const char *details, int row);
    void pressEnter(const char *box);

    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<frmMain> window_;
};

void tst_hostileFiles::init()
{
    QVERIFY(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("CardData.dat"));
}

void tst_hostileFiles::cleanup()
{
    window_.reset();
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
    QFile::remove(path_);
}

void tst_hostileFiles::openWindow(const QByteArray &bytes)
{
    QVERIFY(testData::writeFile(path_, bytes));
    mdlZorv::loadCardFile(path_);
    window_ = std::make_unique<frmMain>();
    window_->FormInit();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

template <typename T> T *tst_hostileFiles::control(const char *name)
{
    T *found = window_->findChild<T *>(QLatin1StringView(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QStringList tst_hostileFiles::entries(const char *list)
{
    const QAbstractItemModel *model = control<QListView>(list)->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data().toString();
    return texts;
}

// Selects an entry as a click would and returns the details box's text.
QString tst_hostileFiles::showEntry(const char *list, const char *details, int row)
{
    auto *view = control<QListView>(list);
    view->setCurrentIndex(view->model()->index(row, 0));
    return control<QPlainTextEdit>(details)->toPlainText();
}

void tst_hostileFiles::pressEnter(const char *box)
{
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(control(box), &release);
}

void tst_hostileFiles::survivesRandomBytes_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : {1u, 2u, 3u})
        QTest::newRow(qPrintable(QString::number(seed))) << seed;
}

void tst_hostileFiles::survivesRandomBytes()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    QByteArray bytes(200'000, Qt::Uninitialized);
    for (char &b : bytes) // commas and line ends often enough to make many short lines
        b = random.bounded(8) == 0 ? ",\r\n"[random.bounded(3)] : char(random.bounded(256));
    openWindow(bytes);

    QCOMPARE(mdlZorv::intCardCount, countLines(bytes));
    QCOMPARE(mdlZorv::intMonstarCount + mdlZorv::intMagicCount, mdlZorv::intCardCount);
    // Every list entry is a row's number and name; pick filters that touch the odd data.
    auto *types = control<QComboBox>("cmbType");
    for (int entry = 1; entry < std::min(types->count(), 20); ++entry) {
        types->setCurrentIndex(entry);
        QVERIFY(!entries("lstMonstarName").isEmpty()); // the value came from some row
    }
    types->setCurrentIndex(0);
    control<QCheckBox>("chkKouka")->setChecked(true);
    control<QCheckBox>("chkDuelistC(0)")->setChecked(true);
    control<QRadioButton>("optAP(1)")->setChecked(true);
    const int listed = int(entries("lstMonstarName").size());
    QVERIFY(listed <= mdlZorv::intMonstarCount);
    if (listed > 0)
        QVERIFY(!showEntry("lstMonstarName", "txtMonstarInf", listed - 1).isEmpty());
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
    QTest::newRow("lead byte at the end of the file")
        << QByteArray("001,A,5,5,T,,1,1,I,E,J\x81") << 1 << u"001  A"_qs
        << u"Lv-1       ｺｽﾄ-1\nAP-5 → 6.5\nDP-5 → 6.5\nT\n\nID-I\nE"_qs;
    QTest::newRow("only CR") << QByteArray(1000, '\r') << 1000 << u"  "_qs << u"Lv-"_qs;
    QTest::newRow("only LF") << QByteArray(1000, '\n') << 1 << u"\n\n\n  "_qs << u"Lv-"_qs;
    QTest::newRow("only commas") << QByteArray(1000, ',') << 1 << u",,,  "_qs << u"Lv-"_qs;
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
    openWindow(bytes);

    QCOMPARE(mdlZorv::intCardCount, cards);
    const QStringList listed = entries("lstMonstarName");
    QCOMPARE(listed.size(), mdlZorv::intMonstarCount);
    QCOMPARE(listed.first(), firstEntry);
    const QString details = showEntry("lstMonstarName", "txtMonstarInf", 0);
    QVERIFY2(details.startsWith(detailsStart), qPrintable(details.left(200)));
}

void tst_hostileFiles::readsOddNumbers()
{
    const QStringList aps = {u"1e999"_qs, u"-1e999"_qs, u"1e-999"_qs, u"."_qs,
                             u"-."_qs,    u"1.2.3"_qs,  u"１２"_qs,   u"&H10"_qs};
    QStringList lines;
    for (int i = 0; i < aps.size(); ++i)
        lines << QStringLiteral("%1,N%1,%2,0,獣,,1,1,I,E,T")
                     .arg(i, 3, 10, QLatin1Char('0'))
                     .arg(aps[i]);
    openWindow(testData::cardFile(lines));

    QCOMPARE(entries("lstMonstarName"),
             (QStringList{u"000  N000"_qs, u"002  N002"_qs, u"003  N003"_qs, u"004  N004"_qs,
                          u"005  N005"_qs, u"006  N006"_qs, u"007  N007"_qs}));
    QVERIFY(showEntry("lstMonstarName", "txtMonstarInf", 0).contains(u"AP-1e999 → ∞"_qs));
    QVERIFY(showEntry("lstMonstarName", "txtMonstarInf", 4).contains(u"AP-1.2.3 → 1.56"_qs));

    control<QRadioButton>("optAP(1)")->setChecked(true); // at most 0
    QCOMPARE(entries("lstMonstarName"),
             (QStringList{u"001  N001"_qs, u"002  N002"_qs, u"003  N003"_qs, u"004  N004"_qs,
                          u"006  N006"_qs, u"007  N007"_qs}));
    QVERIFY(showEntry("lstMonstarName", "txtMonstarInf", 0).contains(u"AP--1e999 → -∞"_qs));
}

void tst_hostileFiles::findsDuelistKeysFarIntoAField()
{
    const QString far = QString(35'000, u'x') + u"O"_qs + QString(5'000, u'x');
    openWindow(
        testData::cardFile({u"001,M,1,1,獣,,1,1,I,E,"_qs + far, u"002,S,,,罠,,,1,I,E,"_qs + far,
                            u"003,N,1,1,獣,,1,1,I,E,TJ"_qs}));
    control<QCheckBox>("chkDuelistC(1)")->setChecked(true);
    QCOMPARE(entries("lstMonstarName"), QStringList{u"001  M"_qs});
    control<QTabWidget>("SSTab")->setCurrentIndex(1);
    control<QCheckBox>("chkDuelistM(1)")->setChecked(true);
    QCOMPARE(entries("lstMagicName"), QStringList{u"002  S"_qs});
}

void tst_hostileFiles::listsTwoHundredThousandEmptyLines()
{
    openWindow(QByteArray(qsizetype(400'000), '\r').replace("\r\r", "\r\n"));
    QCOMPARE(mdlZorv::intCardCount, 200'000);
    QCOMPARE(entries("lstMonstarName").size(), 200'000);
    control<QLineEdit>("txtAP")->setText(u"1"_qs);
    pressEnter("txtAP");
    QVERIFY(entries("lstMonstarName").isEmpty());
}

void tst_hostileFiles::opensEmptyWhenTheFileIsUnusable_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << u"folder"_qs;
    QTest::newRow("dangling link") << u"link"_qs;
    QTest::newRow("unreadable") << u"unreadable"_qs;
}

void tst_hostileFiles::opensEmptyWhenTheFileIsUnusable()
{
    QFETCH(QString, kind);
    if (kind == u"folder") {
        QVERIFY(QDir().mkpath(path_));
    } else if (kind == u"link") {
        QVERIFY(QFile::link(dir_.filePath(u"gone.dat"_qs), path_));
    } else {
        QVERIFY(testData::writeFile(path_, testData::cardFile({u"001,A,1,1,獣,,1,1,I,E,T"_qs})));
        QVERIFY(QFile::setPermissions(path_, QFileDevice::Permissions()));
        if (QFile(path_).open(QIODevice::ReadOnly))
            QSKIP("running with rights that read any file (root)");
    }
    mdlZorv::loadCardFile(path_);
    window_ = std::make_unique<frmMain>();
    window_->FormInit();

    QCOMPARE(mdlZorv::intCardCount, 0);
    QVERIFY(entries("lstMonstarName").isEmpty());
    QVERIFY(entries("lstMagicName").isEmpty());
    QCOMPARE(control<QComboBox>("cmbLevel")->count(), 13);
    QVERIFY2(mdlZorv::strLoadProblem.contains(QDir::toNativeSeparators(path_)),
             qPrintable(mdlZorv::strLoadProblem));
    if (kind == u"folder")
        QDir(path_).removeRecursively();
}

void tst_hostileFiles::keepsItsCardsWhenTheFileIsReplaced()
{
    openWindow(testData::cardFile({u"001,Old,1,1,獣,,1,1,I,E,T"_qs}));
    QVERIFY(testData::writeFile(path_, testData::cardFile({u"002,New,1,1,獣,,1,1,I,E,T"_qs})));
    pressEnter("txtAP");
    QCOMPARE(entries("lstMonstarName"), QStringList{u"001  Old"_qs});
    QVERIFY(showEntry("lstMonstarName", "txtMonstarInf", 0).endsWith(u"ID-I\nE"_qs));
}

void tst_hostileFiles::neverWritesTheFile()
{
    const QByteArray bytes =
        testData::cardFile({u"001,A,1,1,獣,,1,1,I,E,T"_qs, u"002,B,,,罠,,,1,I,E,O"_qs});
    QVERIFY(testData::writeFile(path_, bytes));
    QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QFileInfo before(path_);
    const QDateTime modified = before.lastModified();
    const QDateTime changed = before.metadataChangeTime();

    mdlZorv::loadCardFile(path_);
    QCOMPARE(mdlZorv::strLoadProblem, QString()); // a read-only file loads
    window_ = std::make_unique<frmMain>();
    window_->FormInit();
    window_->show();
    control<QComboBox>("cmbType")->setCurrentIndex(1);
    showEntry("lstMonstarName", "txtMonstarInf", 0);
    window_->close();
    window_.reset();

    QFile file(path_);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    const QFileInfo after(path_);
    QCOMPARE(after.lastModified(), modified);
    QCOMPARE(after.metadataChangeTime(), changed);
}

QTEST_MAIN(tst_hostileFiles)
#include "tst_hostileFiles.moc"
