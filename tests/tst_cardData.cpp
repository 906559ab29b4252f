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

Q_DECLARE_METATYPE(mdlZorv::CardFileFormat)

namespace {

const double inf = std::numeric_limits<double>::infinity();
const QString monsterLine = u"001,天使の番人,1300,800,天使,光,4,12,A-001,守りを固める,TJ"_qs;

// The text as a UTF-16 file writes it, byte-order mark first.
QByteArray utf16File(const QString &text, QSysInfo::Endian order)
{
    const bool big = order == QSysInfo::BigEndian;
    return QByteArray(big ? "\xFE\xFF" : "\xFF\xFE") +
           QStringEncoder(big ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE)(text);
}

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
        QTest::newRow("UTF-16 LE: mark dropped, surrogate pair kept")
            << QByteArray::fromHex("fffe 42d8b7df 4100") << u"𠮷A"_qs;
        QTest::newRow("UTF-16 BE: a second mark is a character")
            << QByteArray::fromHex("feff 0041 feff") << u"A\uFEFF"_qs;
        QTest::newRow("UTF-16: lone surrogates and a last odd byte")
            << QByteArray::fromHex("fffe 00dc 4100 00d8 42") << u"\uFFFDA\uFFFD\uFFFD"_qs;
    }
    // Read in pieces, a character may be split anywhere: one byte at a time decodes the same.
    void decodesBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(CardDecoder::decodeAll(bytes), expected);
        CardDecoder decoder(Utf8Detector::isUtf8Text(bytes));
        QString byByte;
        for (const char &byte : bytes)
            decoder.decode(QByteArrayView(&byte, 1), byByte);
        decoder.finish(byByte);
        QCOMPARE(byByte, expected);
    }

    // Every single byte and every pair of bytes, decoded as Shift-JIS: the Linux build (ICU) and
    // the Windows build (the system's own converter) must give the same characters for each.
    void decodesEveryByteAndPairAsOnLinux()
    {
        QString all;
        const auto decode = [&all](std::initializer_list<char> bytes) {
            // Code page 932 even where the bytes happen to be UTF-8 or a UTF-16 mark, as they
            // decode after a file's start.
            const auto decoder = CardDecoder::midFile({}, false);
            decoder->decode(QByteArrayView(bytes.begin(), qsizetype(bytes.size())), all);
            decoder->finish(all);
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
        // Bytes 0D and 0A inside characters (不 is U+4E0D, 上 U+4E0A) end no line.
        QTest::newRow("UTF-16 LE, CR LF")
            << utf16File(u"不上1\r\n2\r\n"_qs, QSysInfo::LittleEndian) << u"不上1|2"_qs;
        QTest::newRow("UTF-16 BE, LF")
            << utf16File(u"001\n𠮷上2\n"_qs, QSysInfo::BigEndian) << u"001|𠮷上2"_qs;
        QTest::newRow("UTF-16 LE, lone CR, LF kept in the line")
            << utf16File(u"0\n1\r不02"_qs, QSysInfo::LittleEndian) << u"0\n1|不02"_qs;
    }
    void splitsAndDecodesLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, numbers);
        QCOMPARE(loadCardFile(writeCards(bytes)).problem, QString());
        QCOMPARE(rowsOf(strCardData, intCardCount, 1, 1).join(u'|'), numbers);
    }

    void recordsHowTheFileIsWritten_data()
    {
        using Encoding = CardFileFormat::Encoding;
        using LineEnds = CardFileFormat::LineEnds;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<CardFileFormat>("format");
        QTest::newRow("Shift-JIS, CR LF")
            << testFiles::cardFile({monsterLine}) << CardFileFormat{Encoding::ShiftJis};
        QTest::newRow("UTF-8 with mark, lone CR")
            << QByteArray("\xEF\xBB\xBF"
                          "001\r")
            << CardFileFormat{Encoding::Utf8WithMark, LineEnds::Cr};
        QTest::newRow("UTF-16 LE, LF, a byte 0D in 不")
            << utf16File(u"不\n"_qs, QSysInfo::LittleEndian)
            << CardFileFormat{Encoding::Utf16Le, LineEnds::Lf};
        QTest::newRow("UTF-16 BE, CR LF")
            << utf16File(u"001\r\n"_qs, QSysInfo::BigEndian) << CardFileFormat{Encoding::Utf16Be};
        QTest::newRow("UTF-16 LE, CR") << utf16File(u"1\r2"_qs, QSysInfo::LittleEndian)
                                       << CardFileFormat{Encoding::Utf16Le, LineEnds::Cr};
    }
    void recordsHowTheFileIsWritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(CardFileFormat, format);
        QCOMPARE(loadCardFile(writeCards(bytes)).format, format);
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
        QTest::addColumn<QString>("lineEnd");
        QTest::addColumn<QString>("encoding");
        QTest::newRow("Shift-JIS, CR LF") << u"\r\n"_qs << u"Shift-JIS"_qs;
        QTest::newRow("Shift-JIS, LF") << u"\n"_qs << u"Shift-JIS"_qs;
        QTest::newRow("UTF-8 with mark") << u"\r\n"_qs << u"UTF-8 with mark"_qs;
        QTest::newRow("UTF-8 without mark, LF") << u"\n"_qs << u"UTF-8"_qs;
        QTest::newRow("UTF-16 LE, CR LF") << u"\r\n"_qs << u"UTF-16 LE"_qs;
        QTest::newRow("UTF-16 BE, LF") << u"\n"_qs << u"UTF-16 BE"_qs;
        QTest::newRow("UTF-16 LE, CR") << u"\r"_qs << u"UTF-16 LE"_qs;
    }
    // A large file is decoded in two pieces at once; every row must be as in the whole text. The
    // lines hold bytes that do not decode, and in UTF-16 surrogate pairs and characters with a
    // byte 0D or 0A (不, 上); its cut is looked for from inside a code unit.
    void readsLargeFilesInPiecesAsAWhole()
    {
        QFETCH(QString, lineEnd);
        QFETCH(QString, encoding);
        const bool utf16 = encoding.startsWith(u"UTF-16");
        const auto order = encoding.endsWith(u"BE") ? QSysInfo::BigEndian : QSysInfo::LittleEndian;
        const auto encoded = [&](const QString &text) {
            if (utf16)
                return utf16File(text, order).sliced(2);
            return encoding.startsWith(u"UTF-8") ? text.toUtf8() : testFiles::toCp932(text);
        };
        const QByteArray undecodable = // a lone surrogate in UTF-16
            encoding == u"UTF-16 LE"         ? QByteArray("\x00\xD8,\x00", 4)
            : encoding == u"UTF-16 BE"       ? QByteArray("\xD8\x00\x00,", 4)
            : encoding == u"Shift-JIS"       ? QByteArray("\x81,")
            : encoding == u"UTF-8 with mark" ? QByteArray("\xE5,")
                                             : QByteArray(); // UTF-8 text it would no longer be
        QByteArray bytes = utf16                            ? utf16File(QString(), order)
                           : encoding == u"UTF-8 with mark" ? QByteArray("\xEF\xBB\xBF")
                                                            : QByteArray();
        const QString unicodeOnly = encoding.startsWith(u"UTF") ? u"𠮷"_qs : QString();
        for (int row = 0; bytes.size() < (qsizetype(6) << 20); ++row) {
            const QString line = u"%1,名前%1不上%4,%2,5,%3,闇,4,5,I%1,効果のテキスト,TJ"_qs.arg(row)
                                     .arg(row % 3000)
                                     .arg(row % 5 == 0 ? u"罠"_qs : u"天使"_qs, unicodeOnly);
            bytes += encoded(line + lineEnd);
            if (row % 7 == 0)
                bytes += undecodable;
        }
        if (utf16)
            readerHooks.cutFrom = (bytes.size() / 2) | 1;
        int secondPieces = 0;
        readerHooks.startThread = [&](const std::function<TextPiece()> &read) {
            ++secondPieces;
            return std::async(std::launch::async, read);
        };
        QCOMPARE(loadCardFile(writeCards(bytes)).problem, QString());
        QCOMPARE(secondPieces, 1);
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

    void judgesWhetherAFileHoldsCards_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shortLines");
        QTest::addColumn<bool>("cards");
        const QString magicLine =
            u"002,落とし穴,0,0,罠,,,3,B-002,相手を落とす,"_qs; // field 11 empty
        QTest::newRow("cards and one short line")
            << testFiles::cardFile({monsterLine, magicLine, u"003,短い行,1,2"_qs, monsterLine})
            << u"項目が足りない行: 1 行 (最初は 3 行目)"_qs << true;
        // "001,天使の番人,1300,…" and "002,炎の剣士,…" in EUC-JP
        QTest::newRow("EUC-JP")
            << QByteArray::fromHex(
                   "3030312cc5b7bbc8a4cec8d6bfcd2c313330302c3830302cc5b7bbc82cb8f72c"
                   "342c31322c412d3030312cbce9a4eaa4f2b8c7a4e1a4eb2c544a0d0a3030322c"
                   "b1eaa4ceb7f5bbce2c313830302c313630302cc0efbbce2cb1ea2c342c382c43"
                   "2d3030332cb9b6b7e2cecfa4acbee5a4aca4eb2c540d0a")
            << u"項目が足りない行: なし"_qs << false;
        // Its NUL bytes leave a last line of one NUL after the last LF.
        QTest::newRow("UTF-16 without its mark")
            << utf16File(monsterLine + u"\n"_qs + magicLine + u"\n"_qs, QSysInfo::LittleEndian)
                   .sliced(2)
            << u"項目が足りない行: 1 行 (最初は 3 行目)"_qs << false;
        QTest::newRow("text without commas")
            << testFiles::cardFile({u"カードの一覧ではありません。"_qs, u"二行目"_qs})
            << u"項目が足りない行: 2 行 (最初は 1 行目)"_qs << false;
        QTest::newRow("empty") << QByteArray() << u"項目が足りない行: なし"_qs << false;
    }
    void judgesWhetherAFileHoldsCards()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shortLines);
        QFETCH(bool, cards);
        const LoadOutcome outcome = loadCardFile(writeCards(bytes));
        QCOMPARE(shortLinesText(outcome), shortLines);
        QCOMPARE(looksLikeCardData(outcome), cards);
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
