// The card data library: the text rules beneath every card (decoding bytes, cutting a line into
// fields, reading and writing numbers), and reading card files into the tables (line ends,
// encodings, large files in two pieces, files that change or fail while read, which file is read).

#include "card_data/cardDecoder.h"
#include "card_data/cardFileReader.h"
#include "card_data/cardLine.h"
#include "card_data/mdlZorv.h"
#include "card_data/numberText.h"
#include "testFiles.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

using namespace mdlZorv;

namespace {

const double inf = std::numeric_limits<double>::infinity();
const QString monsterLine = u"001,天使の番人,1300,800,天使,光,4,12,A-001,守りを固める,TJ"_qs;

QString fieldsOf(const QString &line) // "001|A|1|..."
{
    const FieldBounds bounds = cutLine(line);
    QStringList fields;
    for (int field = firstField; field <= lastField; ++field)
        fields << bounds.field(line, field).toString();
    return fields.join(u'|');
}

// The given fields of every row of a table, one "a|b|c" text a row.
QStringList rowsOf(const CardTable &table, qsizetype rows, int firstField, int lastField)
{
    QStringList texts;
    for (qsizetype row = 0; row < rows; ++row) {
        QStringList fields;
        for (int field = firstField; field <= lastField; ++field)
            fields << table[field][row];
        texts << fields.join(u'|');
    }
    return texts;
}

// Each row's text of a field as its code gives it.
QStringList codedTexts(const CardTable &table, int field)
{
    const FieldCodes &codes = table.codes(field);
    QStringList texts;
    std::visit(
        [&](const auto &rowCodes) {
            for (const auto code : rowCodes)
                texts << codes.values[code].toString();
        },
        codes.rowCodes);
    return texts;
}

} // namespace

class tst_cardData final : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(u"CardData.dat"_qs);

    QString writeCards(const QByteArray &bytes)
    {
        if (!testFiles::writeFile(path_, bytes))
            qFatal("cannot write %s", qPrintable(path_));
        return path_;
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { loadCardText(QString()); }
    void cleanup()
    {
        readerHooks = {};
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(path_);
    }

    // Single bytes and pairs are all in the digest below; these are the longer sequences.
    void decodesBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lead byte before CR LF") << QByteArray("A\x81\r\nB") << u"A\uFFFD\r\nB"_qs;
        QTest::newRow("NUL byte kept") << QByteArray("A\0B", 3) << u"A"_qs + QChar(0) + u'B';
        QTest::newRow("UTF-8 cut short: U+FFFD a byte")
            << QByteArray("\xEF\xBB\xBF\x41\xE5\xA4") << u"A\uFFFD\uFFFD"_qs;
        QTest::newRow("a second mark is a character")
            << QByteArray("\xEF\xBB\xBF\x41\xEF\xBB\xBF") << u"A\uFEFF"_qs;
        QTest::newRow("start of a mark: an unassigned pair")
            << QByteArray("\xEF\xBB") << u"\uFFFD"_qs;
    }
    void decodesBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(CardDecoder::decodeAll(bytes), expected);
    }

    // Every single byte and every pair of bytes, decoded as Shift-JIS: the Linux build (ICU) and
    // the Windows build (the system's own converter) must give the same characters for each.
    void decodesEveryByteAndPairAsOnLinux()
    {
        QString all;
        const auto decode = [&all](std::initializer_list<char> bytes) {
            CardDecoder decoder; // code page 932 even where the bytes happen to be UTF-8
            decoder.decode(QByteArrayView(bytes.begin(), qsizetype(bytes.size())), all);
            decoder.finish(all);
            all += u'\uFFFF';
        };
        for (int first = 0; first < 256; ++first) {
            decode({char(first)});
            for (int second = 0; second < 256; ++second)
                decode({char(first), char(second)});
        }
        const QByteArrayView utf16(reinterpret_cast<const char *>(all.utf16()), all.size() * 2);
        QCOMPARE(QCryptographicHash::hash(utf16, QCryptographicHash::Sha256).toHex(),
                 QByteArray("0c7a336d444cdeaf3b7e4bbf31fd0a69ae4a8241bf940f9b4293283f87460fc1"));
    }

    void cutsLineIntoElevenFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fields");
        QTest::newRow("ten commas")
            << u"001,A,1,2,T,M,3,4,I,E,D"_qs << u"001|A|1|2|T|M|3|4|I|E|D"_qs;
        QTest::newRow("an eleventh comma stays in field 11")
            << u"001,A,1,2,T,M,3,4,I,E,D,X"_qs << u"001|A|1|2|T|M|3|4|I|E|D,X"_qs;
        QTest::newRow("too few commas lose the tail") << u"001,A,B"_qs << u"001|A|||||||||"_qs;
        QTest::newRow("empty line") << QString() << u"||||||||||"_qs;
        QTest::newRow("four-character number shifts fields")
            << u"0001,A,1,2,T,M,3,4,I,E,D"_qs << u"000||A|1|2|T|M|3|4|I|E,D"_qs;
        QTest::newRow("fourth character skipped unexamined")
            << u"001XA,1,2,T,M,3,4,I,E,D"_qs << u"001|A|1|2|T|M|3|4|I|E|D"_qs;
        QTest::newRow("blanks, quotes and full-width commas belong to fields")
            << u"001, \"A\"，B ,1,2,T,M,3,4,I,E,D"_qs << u"001| \"A\"，B |1|2|T|M|3|4|I|E|D"_qs;
        QTest::newRow("missing comma moves the scan one on")
            << u"001,A,BCDEFGHIJKLMNOPQ"_qs << u"001|A|||||||||JKLMNOPQ"_qs;
        QTest::newRow("surrogate pairs in field 1 are one character each")
            << u"😀😀😀,A,1,2,T,M,3,4,I,E,D"_qs << u"😀😀😀|A|1|2|T|M|3|4|I|E|D"_qs;
        QTest::newRow("a surrogate pair as the separator is skipped whole")
            << u"001😀A,1,2,T,M,3,4,I,E,D"_qs << u"001|A|1|2|T|M|3|4|I|E|D"_qs;
    }
    void cutsLineIntoElevenFields()
    {
        QFETCH(QString, line);
        QFETCH(QString, fields);
        QCOMPARE(fieldsOf(line), fields);
    }

    void readsLeadingNumberLeniently_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << QString() << 0.0;
        QTest::newRow("leading zeros") << u"0150"_qs << 150.0;
        QTest::newRow("blanks inside digits") << u" 1 2\t0\n5"_qs << 1205.0;
        QTest::newRow("blank after sign") << u"- 5"_qs << -5.0;
        QTest::newRow("two signs") << u"--3"_qs << 0.0;
        QTest::newRow("leading period") << u".5"_qs << 0.5;
        QTest::newRow("second period ends") << u"1.2.3"_qs << 1.2;
        QTest::newRow("capital exponent, sign") << u"25E-1"_qs << 2.5;
        QTest::newRow("comma ends") << u"300,5"_qs << 300.0;
        QTest::newRow("full-width digits") << u"１２"_qs << 0.0;
        QTest::newRow("carriage return not skipped") << u"1\r2"_qs << 1.0;
        QTest::newRow("ideographic space not skipped") << u"\u30001"_qs << 0.0;
        QTest::newRow("-1e999") << u"-1e999"_qs << -inf;
        QTest::newRow("400 digits") << u"1"_qs + QString(400, u'0') << inf;
        // The largest doubles written to 15 digits round beyond the range (found by fuzzing).
        QTest::newRow("largest double as written")
            << numberText(-std::numeric_limits<double>::max()) << -inf;
    }
    void readsLeadingNumberLeniently()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(readNumber(text), expected);
    }

    void writesFifteenSignificantDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1300 x 0.7") << 1300 * 0.7 << u"910"_qs;
        QTest::newRow("1234 x 0.7") << 1234 * 0.7 << u"863.8"_qs;
        QTest::newRow("negative") << -0.65 << u"-0.65"_qs;
        QTest::newRow("negative zero") << -0.0 << u"0"_qs;
        QTest::newRow("infinity") << inf << u"∞"_qs;
        QTest::newRow("minus infinity") << -inf << u"-∞"_qs;
    }
    void writesFifteenSignificantDigits()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(numberText(value), expected);
    }

    void splitsAndDecodesLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("numbers"); // field 1 of every row, joined by |
        QTest::newRow("empty file") << QByteArray() << u""_qs;
        QTest::newRow("CR LF, final terminator adds nothing")
            << QByteArray("001\r\n002\r\n") << u"001|002"_qs;
        QTest::newRow("no final terminator") << QByteArray("001\r\n002") << u"001|002"_qs;
        QTest::newRow("lone CR ends a line") << QByteArray("001\r002\r") << u"001|002"_qs;
        QTest::newRow("lone LF stays in the line of a file with CR")
            << QByteArray("0\n1\r\n2") << u"0\n1|2"_qs;
        QTest::newRow("LF ends lines in a file without CR")
            << QByteArray("001\n\n003\n") << u"001||003"_qs;
        QTest::newRow("UTF-8 without mark")
            << QByteArray("\xE5\xA4\xA9\xE4\xBD\xBF\n") << u"天使"_qs;
        QTest::newRow("UTF-8 but for one byte is Shift-JIS")
            << QByteArray("\xE5\xA4\xA9\xFF\r\n") << u"螟ｩ\uFFFD"_qs;
        QTest::newRow("empty lines are rows") << QByteArray("\r\n\r\n003\r\n") << u"||003"_qs;
        QTest::newRow("CR CR LF") << QByteArray("001\r\r\n") << u"001|"_qs;
    }
    void splitsAndDecodesLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, numbers);
        QCOMPARE(loadCardFile(writeCards(bytes)).problem, QString());
        QCOMPARE(rowsOf(strCardData, intCardCount, 1, 1).join(u'|'), numbers);
    }

    void routesRowsIntoMonsterAndMagicTables()
    {
        loadCardFile(writeCards(testFiles::cardFile(
            {monsterLine, u"002,落とし穴,0,0,罠,,,3,B-002,相手を落とす,O"_qs, QString()})));
        QCOMPARE(rowsOf(strMonstarData, intMonstarCount, 0, 12),
                 QStringList({u"|"_qs + monsterLine.split(u',').join(u'|') + u"|"_qs,
                              u"||||||||||||"_qs})); // the empty line is a monster
        QCOMPARE(rowsOf(strMagicData, intMagicCount, 0, 8),
                 QStringList{u"|002|落とし穴|罠|3|B-002|相手を落とす|O|"_qs});
    }

    void readsLargeFilesInPiecesAsAWhole_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("Shift-JIS, CR LF") << QByteArray("\r\n") << QByteArray() << false;
        QTest::newRow("Shift-JIS, LF") << QByteArray("\n") << QByteArray() << false;
        QTest::newRow("UTF-8 with mark")
            << QByteArray("\r\n") << QByteArray("\xEF\xBB\xBF") << true;
        QTest::newRow("UTF-8 without mark, LF") << QByteArray("\n") << QByteArray() << true;
    }
    // A large file is decoded in two pieces at once; every row must be as in the whole text.
    void readsLargeFilesInPiecesAsAWhole()
    {
        QFETCH(QByteArray, lineEnd);
        QFETCH(QByteArray, start);
        QFETCH(bool, utf8);
        QByteArray bytes = start;
        for (int row = 0; bytes.size() < (qsizetype(6) << 20); ++row) {
            const QString line = u"%1,名前%1,%2,5,%3,闇,4,5,I%1,効果のテキスト,TJ"_qs.arg(row)
                                     .arg(row % 3000)
                                     .arg(row % 5 == 0 ? u"罠"_qs : u"天使"_qs);
            bytes += (utf8 ? line.toUtf8() : testFiles::toCp932(line)) + lineEnd;
            if (row % 7 == 0 && !(utf8 && start.isEmpty())) // an undecodable byte
                bytes += utf8 ? QByteArray("\xE5,") : QByteArray("\x81,");
        }
        QCOMPARE(loadCardFile(writeCards(bytes)).problem, QString());
        QVERIFY(intCardCount > 50'000); // far past what 16-bit counts could hold
        const QStringList loaded = rowsOf(strCardData, intCardCount, 1, 11);
        const qsizetype monsters = intMonstarCount;

        for (const int field : monsterCodedFields) // codes gathered piece by piece, then joined
            QVERIFY(codedTexts(strMonstarData, field) ==
                    rowsOf(strMonstarData, monsters, field, field));
        loadCardText(CardDecoder::decodeAll(bytes));
        QVERIFY(loaded == rowsOf(strCardData, intCardCount, 1, 11));
        QCOMPARE(monsters, intMonstarCount);
    }

    void readsExactlyTheFileThatWasOpened_data()
    {
        QTest::addColumn<QString>("meanwhile"); // what happens once the file is open
        QTest::newRow("another file renamed over it") << u"renamed"_qs;
        QTest::newRow("cut short") << u"truncated"_qs;
        QTest::newRow("no thread to be had") << u"no thread"_qs;
    }
    // Read in two pieces, a file gives exactly its own rows whatever happens while it is read,
    // or the rows before a read error and a message.
    void readsExactlyTheFileThatWasOpened()
    {
        QFETCH(QString, meanwhile);
        QStringList lines;
        for (int row = 0; row < 1000; ++row)
            lines << u"%1,古い札%1,100,200,獣,闇,4,3,I,E,T"_qs.arg(row, 3, 10, QChar(u'0'));
        const QByteArray bytes = testFiles::cardFile(lines);
        writeCards(bytes);
        const QString other = dir_.filePath(u"other.dat"_qs);
        QVERIFY(testFiles::writeFile(other, testFiles::cardFile({u"999,新しい札"_qs})));
        readerHooks.cutFrom = bytes.size() / 2;
        bool renamed = false;
        if (meanwhile == u"renamed")
            readerHooks.afterOpen = [&] {
                renamed = testFiles::replaceByRename(other, path_);
            };
        if (meanwhile == u"truncated")
            readerHooks.afterOpen = [&] {
                QFile::resize(path_, bytes.size() / 3);
            };
        if (meanwhile == u"no thread") {
            readerHooks.startThread =
                [](const std::function<TextPiece()> &) -> std::future<TextPiece> {
                throw std::system_error(
                    std::make_error_code(std::errc::resource_unavailable_try_again));
            };
        }
        const QString problem = loadCardFile(path_).problem;
        if (meanwhile == u"renamed" && !renamed) // then no mix can happen either
            QSKIP("this system renames nothing over a file that is open");

        const qsizetype expected =
            meanwhile == u"truncated" ? bytes.left(bytes.size() / 3).count("\r\n") : lines.size();
        QCOMPARE(intCardCount, expected);
        QCOMPARE(strCardData[CardField::Name][expected - 1],
                 u"古い札%1"_qs.arg(expected - 1, 3, 10, QChar(u'0')));
        QCOMPARE(problem.contains(u"途中で読み取れなくなりました"_qs), meanwhile == u"truncated");
    }

    void keepsBoundsOfLinesOfEveryLength_data()
    {
        QTest::addColumn<QString>("line");
        const QString fields = u"001,A,1,2,T,M,3,4,I,E,"_qs;
        QTest::newRow("16 characters") << u"001,A,1,2,T,M,34"_qs;
        QTest::newRow("ends at 255") << fields + QString(255 - fields.size(), u'D');
        QTest::newRow("ends at 256") << fields + QString(256 - fields.size(), u'D');
        QTest::newRow("a long field 2")
            << u"001,"_qs + QString(300, u'N') + u",1,2,T,M,3,4,I,E,D"_qs;
        QTest::newRow("surrogate separator") << u"001😀A,1,2,T,M,3,4,I,E,D"_qs;
        QTest::newRow("long, surrogate separator") << u"001😀"_qs + QString(300, u'N') + u",1"_qs;
    }
    // However a line's bounds are kept, its fields read as cutting the line gives them.
    void keepsBoundsOfLinesOfEveryLength()
    {
        QFETCH(QString, line);
        loadCardText(line + u"\r\n"_qs + line);
        QCOMPARE(rowsOf(strCardData, intCardCount, 1, 11),
                 QStringList({fieldsOf(line), fieldsOf(line)}));
    }

    void opensNothingFromAnUnusableFile_data()
    {
        QTest::addColumn<QString>("kind");
        QStringList kinds = {u"missing"_qs, u"unreadable"_qs};
#ifdef Q_OS_UNIX
        kinds << u"fifo"_qs << u"link to /dev/zero"_qs; // neither may block: nothing ever ends
#endif
        for (const QString &kind : kinds)
            QTest::newRow(qPrintable(kind)) << kind;
    }
    void opensNothingFromAnUnusableFile()
    {
        QFETCH(QString, kind);
        if (kind == u"unreadable") {
            writeCards(testFiles::cardFile({monsterLine}));
            if (!QFile::setPermissions(path_, QFileDevice::Permissions()) ||
                QFile(path_).open(QIODevice::ReadOnly))
                QSKIP("running with rights that read any file (root), or on Windows");
        }
#ifdef Q_OS_UNIX
        if (kind == u"fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path_).constData(), 0600), 0);
        if (kind == u"link to /dev/zero")
            QVERIFY(QFile::link(u"/dev/zero"_qs, path_));
#endif
        const QString problem = loadCardFile(path_).problem;
        QCOMPARE(intCardCount, 0);
        QVERIFY2(problem.contains(QDir::toNativeSeparators(path_)), qPrintable(problem));
    }

    // The named file, else the user's own, else the one in the program's folder (not the
    // current one).
    void choosesTheNamedThenTheUsersThenTheProgramsFile()
    {
        const QString own = userCardDataPath();
        QFile::remove(own);
        QCOMPARE(cardDataPath(), QCoreApplication::applicationDirPath() + u"/CardData.dat"_qs);
        QCOMPARE(chooseCardFile(QString()), cardDataPath());
        QVERIFY(QDir().mkpath(QFileInfo(own).path()));
        QVERIFY(testFiles::writeFile(own, testFiles::cardFile({monsterLine})));
        QCOMPARE(chooseCardFile(QString()), own);
        QCOMPARE(chooseCardFile(path_), path_);
        QVERIFY(QFile::remove(own));
    }

    // The file is only ever read: one that may not be written loads and stays as it was. Root may
    // write any file, so the system is also asked how the file is open while it is read.
    void neverWritesTheFile()
    {
        const QByteArray bytes = testFiles::cardFile({monsterLine});
        QVERIFY(QFile::setPermissions(writeCards(bytes), QFile::ReadOwner));
        QList<int> accessModes; // of every handle on the file while it is read
#ifdef Q_OS_LINUX
        readerHooks.afterOpen = [&] {
            for (const QFileInfo &fd : QDir(u"/proc/self/fd"_qs).entryInfoList(QDir::Files)) {
                QFile info(u"/proc/self/fdinfo/"_qs + fd.fileName()); // "pos:\t0\nflags:\t0100000"
                if (fd.symLinkTarget() == path_ && info.open(QIODevice::ReadOnly))
                    accessModes << (info.readAll().split('\n')[1].mid(6).toInt(nullptr, 8) &
                                    O_ACCMODE);
            }
        };
#endif
        QCOMPARE(loadCardFile(path_).problem, QString());
        QFile file(path_);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == bytes);
#ifdef Q_OS_LINUX
        QCOMPARE(accessModes, QList<int>{O_RDONLY});
#endif
    }

    void tellsOfLinesThatDidNotDecode()
    {
        const QString notice =
            loadCardFile(writeCards("001\r\n0\x81\x7f\r\n003\r\n\x80\r\n")).notice;
        QCOMPARE(notice.section(u'\n', 0, 0),
                 u"2 行に読み取れない文字があります (最初は 2 行目)。"_qs);
        QCOMPARE(loadCardFile(writeCards(testFiles::cardFile({monsterLine}))).notice, QString());
    }
};

QTEST_GUILESS_MAIN(tst_cardData)
#include "tst_cardData.moc"
