#include "card_data/cardDecoder.h"
#include "card_data/cardFileReader.h"
#include "card_data/mdlZorv.h"
#include "testFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <system_error>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace mdlZorv;

namespace {

const QString monsterLine =
    QStringLiteral("001,天使の番人,1300,800,天使,光,4,12,A-001,守りを固める,TJ");
const QString trapLine = QStringLiteral("002,落とし穴,0,0,罠,,,3,B-002,相手を落とす,O");

} // namespace

class tst_loadCardData final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup() { readerHooks = {}; }

    void splitsAndDecodesLines_data();
    void splitsAndDecodesLines();
    void routesRowsIntoMonsterAndMagicTables();
    void readsLargeFilesInPiecesAsAWhole_data();
    void readsLargeFilesInPiecesAsAWhole();
    void readsExactlyTheFileThatWasOpened_data();
    void readsExactlyTheFileThatWasOpened();
    void keepsBoundsOfLinesOfEveryLength_data();
    void keepsBoundsOfLinesOfEveryLength();
    void readsFromTheProgramsFolderNotTheCurrentOne();
    void choosesTheNamedThenTheUsersThenTheProgramsFile();
    void tellsOfLinesThatDidNotDecode();

private:
    QString writeCards(const QByteArray &bytes);
    QTemporaryDir dir_;
};

void tst_loadCardData::init()
{
    QVERIFY(dir_.isValid());
    loadCardText(QString());
}

QString tst_loadCardData::writeCards(const QByteArray &bytes)
{
    QString path = dir_.filePath(QStringLiteral("CardData.dat"));
    if (!testFiles::writeFile(path, bytes))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void tst_loadCardData::splitsAndDecodesLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("numbers"); // field 1 of every row

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("CR LF, final terminator adds nothing")
        << QByteArray("001\r\n002\r\n") << QStringList{u"001"_qs, u"002"_qs};
    QTest::newRow("no final terminator")
        << QByteArray("001\r\n002") << QStringList{u"001"_qs, u"002"_qs};
    QTest::newRow("lone CR ends a line")
        << QByteArray("001\r002\r") << QStringList{u"001"_qs, u"002"_qs};
    QTest::newRow("lone LF stays in the line of a file with CR")
        << QByteArray("0\n1\r\n2") << QStringList{u"0\n1"_qs, u"2"_qs};
    QTest::newRow("LF ends lines in a file without CR")
        << QByteArray("001\n\n003\n") << QStringList{u"001"_qs, QString(), u"003"_qs};
    QTest::newRow("UTF-8 without mark")
        << QByteArray("\xE5\xA4\xA9\xE4\xBD\xBF\n") << QStringList{u"天使"_qs};
    QTest::newRow("Shift-JIS with kanji")
        << QByteArray("\x93\x56\x8e\x67\r\n") << QStringList{u"天使"_qs};
    QTest::newRow("UTF-8 but for one byte is Shift-JIS")
        << QByteArray("\xE5\xA4\xA9\xFF\r\n") << QStringList{u"螟ｩ\uFFFD"_qs};
    QTest::newRow("empty lines are rows")
        << QByteArray("\r\n\r\n003\r\n") << QStringList{QString(), QString(), u"003"_qs};
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{QString()};
    QTest::newRow("CR CR LF") << QByteArray("001\r\r\n") << QStringList{u"001"_qs, QString()};
}

void tst_loadCardData::splitsAndDecodesLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, numbers);

    loadCardFile(writeCards(bytes));

    QCOMPARE(strLoadProblem, QString());
    QStringList loaded;
    for (qsizetype row = 0; row < intCardCount; ++row)
        loaded << strCardData[1][row];
    QCOMPARE(loaded, numbers);
    QCOMPARE(intMonstarCount + intMagicCount, intCardCount);
}

void tst_loadCardData::routesRowsIntoMonsterAndMagicTables()
{
    loadCardFile(writeCards(testFiles::cardFile({monsterLine, trapLine, QString()})));

    QCOMPARE(intCardCount, 3);
    QCOMPARE(intMonstarCount, 2); // the empty line is a monster row
    QCOMPARE(intMagicCount, 1);

    for (int field = 1; field <= 11; ++field)
        QCOMPARE(strMonstarData[field][0], strCardData[field][0]);
    QCOMPARE(strMonstarData[2][0], u"天使の番人"_qs);
    QCOMPARE(strMonstarData[MatchMark][0], QString()); // no search has run yet
    QCOMPARE(strMonstarData[5][1], QString());

    const QStringList magicFields = {u""_qs,  u"002"_qs,   u"落とし穴"_qs,     u"罠"_qs,
                                     u"3"_qs, u"B-002"_qs, u"相手を落とす"_qs, u"O"_qs,
                                     u""_qs};
    for (int field = 0; field < magicFields.size(); ++field)
        QCOMPARE(strMagicData[field][0], magicFields[field]);
    QCOMPARE(strMonstarData[12][0], QString()); // outside the tables reads empty
}

void tst_loadCardData::readsLargeFilesInPiecesAsAWhole_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("Shift-JIS, CR LF") << QByteArray("\r\n") << QByteArray() << false;
    QTest::newRow("Shift-JIS, lone CR") << QByteArray("\r") << QByteArray() << false;
    QTest::newRow("Shift-JIS, LF") << QByteArray("\n") << QByteArray() << false;
    QTest::newRow("UTF-8 with mark") << QByteArray("\r\n") << QByteArray("\xEF\xBB\xBF") << true;
    QTest::newRow("UTF-8 without mark, LF") << QByteArray("\n") << QByteArray() << true;
}

// A large file is decoded in two pieces at once; every row must be as in the whole text.
void tst_loadCardData::readsLargeFilesInPiecesAsAWhole()
{
    QFETCH(QByteArray, lineEnd);
    QFETCH(QByteArray, start);
    QFETCH(bool, utf8);
    QByteArray bytes = start;
    for (int row = 0; bytes.size() < (qsizetype(6) << 20); ++row) {
        const QString line = QStringLiteral("%1,名前%2,%3,5,%4,闇,4,%5,I%2,効果のテキスト,TJ")
                                 .arg(row % 1000, 3, 10, QLatin1Char('0'))
                                 .arg(row)
                                 .arg(row % 3000)
                                 .arg(row % 5 == 0 ? u"罠"_qs : u"天使"_qs)
                                 .arg(row % 9);
        bytes += (utf8 ? line.toUtf8() : testFiles::toCp932(line)) + lineEnd;
        if (row % 7 == 0 && !(utf8 && start.isEmpty())) // an undecodable byte
            bytes += utf8 ? QByteArray("\xE5,") : QByteArray("\x81,");
    }
    loadCardFile(writeCards(bytes));
    QCOMPARE(strLoadProblem, QString());
    QVERIFY(intCardCount > 50'000); // far past what 16-bit counts could hold
    QCOMPARE(strMagicData[MagicField::Kind][intMagicCount - 1], u"罠"_qs);
    QStringList loaded;
    for (qsizetype row = 0; row < intCardCount; ++row) {
        for (int field = 1; field <= 11; ++field)
            loaded << strCardData[field][row];
    }
    const qsizetype monsters = intMonstarCount;

    loadCardText(CardDecoder::decodeAll(bytes));
    QStringList whole;
    for (qsizetype row = 0; row < intCardCount; ++row) {
        for (int field = 1; field <= 11; ++field)
            whole << strCardData[field][row];
    }
    QCOMPARE(loaded.size(), whole.size());
    QVERIFY(loaded == whole);
    QCOMPARE(monsters, intMonstarCount);
}

void tst_loadCardData::readsExactlyTheFileThatWasOpened_data()
{
    QTest::addColumn<QString>("meanwhile"); // what happens once the file is open
    QTest::newRow("another file renamed over it") << u"renamed"_qs;
    QTest::newRow("cut short") << u"truncated"_qs;
    QTest::newRow("no thread to be had") << u"no thread"_qs;
#ifdef Q_OS_LINUX
    QTest::newRow("no file handle to be had") << u"no handle"_qs;
#endif
}

// Read in two pieces, a file gives exactly its own rows whatever happens while it is read, or
// the rows before a read error and a message.
void tst_loadCardData::readsExactlyTheFileThatWasOpened()
{
    QFETCH(QString, meanwhile);
    QStringList lines;
    for (int row = 0; row < 1000; ++row)
        lines << QStringLiteral("%1,古い札%1,100,200,獣,闇,4,3,I,E,T").arg(row, 3, 10, QChar(u'0'));
    const QByteArray bytes = testFiles::cardFile(lines);
    const QString path = writeCards(bytes);
    const QString other = dir_.filePath(u"other.dat"_qs);
    QVERIFY(
        testFiles::writeFile(other, testFiles::cardFile({u"999,新しい札,1,1,獣,,1,1,I,E,T"_qs})));
    readerHooks.cutFrom = bytes.size() / 2;
    bool renamed = false;
    if (meanwhile == u"renamed")
        readerHooks.afterOpen = [&] {
            renamed = testFiles::replaceByRename(other, path);
        };
    if (meanwhile == u"truncated")
        readerHooks.afterOpen = [&] {
            QVERIFY(QFile::resize(path, bytes.size() / 3));
        };
    if (meanwhile == u"no thread") {
        readerHooks.startThread = [](const std::function<TextPiece()> &) -> std::future<TextPiece> {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        };
    }
#ifdef Q_OS_LINUX
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &saved), 0);
    if (meanwhile == u"no handle") {
        const int lowestFree = dup(0); // the card file will be given this one, and no other
        close(lowestFree);
        rlimit tight = saved;
        tight.rlim_cur = static_cast<rlim_t>(lowestFree) + 1;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &tight), 0);
    }
#endif

    loadCardFile(path);
#ifdef Q_OS_LINUX
    setrlimit(RLIMIT_NOFILE, &saved);
#endif
    if (meanwhile == u"renamed" && !renamed) // then no mix can happen either
        QSKIP("this system renames nothing over a file that is open");

    const qsizetype expected =
        meanwhile == u"truncated" ? bytes.left(bytes.size() / 3).count("\r\n") : lines.size();
    QCOMPARE(intCardCount, expected);
    QCOMPARE(strCardData[CardField::Name][expected - 1],
             u"古い札%1"_qs.arg(expected - 1, 3, 10, QChar(u'0')));
    QCOMPARE(strLoadProblem.contains(u"途中で読み取れなくなりました"_qs),
             meanwhile == u"truncated");
}

void tst_loadCardData::keepsBoundsOfLinesOfEveryLength_data()
{
    QTest::addColumn<QString>("line");
    const QString fields = u"001,A,1,2,T,M,3,4,I,E,"_qs;
    QTest::newRow("15 characters") << u"001,A,1,2,T,M,3"_qs;
    QTest::newRow("16 characters") << u"001,A,1,2,T,M,34"_qs;
    QTest::newRow("ends at 255") << fields + QString(255 - fields.size(), u'D');
    QTest::newRow("ends at 256") << fields + QString(256 - fields.size(), u'D');
    QTest::newRow("a long field 2") << u"001,"_qs + QString(300, u'N') + u",1,2,T,M,3,4,I,E,D"_qs;
    QTest::newRow("short, surrogate separator") << u"001😀A,1"_qs;
    QTest::newRow("surrogate separator") << u"001😀A,1,2,T,M,3,4,I,E,D"_qs;
    QTest::newRow("long, surrogate separator") << u"001😀"_qs + QString(300, u'N') + u",1"_qs;
}

// However a line's bounds are kept, its fields read as cutting the line gives them.
void tst_loadCardData::keepsBoundsOfLinesOfEveryLength()
{
    QFETCH(QString, line);
    loadCardText(line + u"\r\n"_qs + line);
    const FieldBounds bounds = cutLine(line);
    for (const qsizetype row : {0, 1}) {
        for (int field = firstField; field <= lastField; ++field)
            QCOMPARE(strCardData[field][row], bounds.field(line, field).toString());
    }
}

void tst_loadCardData::readsFromTheProgramsFolderNotTheCurrentOne()
{
    const QString besideProgram = QCoreApplication::applicationDirPath() + u"/CardData.dat"_qs;
    QCOMPARE(cardDataPath(), besideProgram);
    QVERIFY(testFiles::writeFile(besideProgram, testFiles::cardFile({monsterLine})));
    writeCards(testFiles::cardFile({trapLine, trapLine}));
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_.path()));

    LoadCardData();

    QDir::setCurrent(saved);
    QFile::remove(besideProgram);
    QCOMPARE(strLoadProblem, QString());
    QCOMPARE(intCardCount, 1);
    QCOMPARE(strMonstarData[1][0], u"001"_qs);
}

void tst_loadCardData::choosesTheNamedThenTheUsersThenTheProgramsFile()
{
    const QString own = userCardDataPath();
    QFile::remove(own);
    QCOMPARE(chooseCardFile(QString()), cardDataPath());
    QVERIFY(QDir().mkpath(QFileInfo(own).path()));
    QVERIFY(testFiles::writeFile(own, testFiles::cardFile({monsterLine})));
    QCOMPARE(chooseCardFile(QString()), own);
    QCOMPARE(chooseCardFile(dir_.filePath(u"named.dat"_qs)), dir_.filePath(u"named.dat"_qs));
    QVERIFY(QFile::remove(own));
}

void tst_loadCardData::tellsOfLinesThatDidNotDecode()
{
    loadCardFile(writeCards("001\r\n0\x81\x7f\r\n003\r\n\x80\r\n"));
    QVERIFY2(strLoadNotice.startsWith(u"2 行に読み取れない文字があります (最初は 2 行目)。"_qs),
             qPrintable(strLoadNotice));
    loadCardFile(writeCards(testFiles::cardFile({monsterLine})));
    QCOMPARE(strLoadNotice, QString());
}

QTEST_GUILESS_MAIN(tst_loadCardData)
#include "tst_loadCardData.moc"
