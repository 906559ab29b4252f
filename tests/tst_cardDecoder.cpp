#include "card_data/cardDecoder.h"

#include <QCryptographicHash>
#include <QTest>

using namespace mdlZorv;

class tst_cardDecoder final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesBytes_data();
    void decodesBytes();
    void decodesEveryByteAndPairAsOnLinux();
};

void tst_cardDecoder::decodesBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("kanji") << QByteArray("\x93\x56\x8e\x67") << QStringLiteral("天使");
    QTest::newRow("ascii controls stand for themselves")
        << QByteArray("\x1a\x1c\x7f\x5c\x7e") << QStringLiteral("\x1a\x1c\x7f\\~");
    QTest::newRow("half-width katakana") << QByteArray("\xba\xbd\xc4") << QStringLiteral("ｺｽﾄ");
    QTest::newRow("lead byte before comma") << QByteArray("A\x81,B") << QStringLiteral("A\uFFFD,B");
    QTest::newRow("lead byte before CR LF")
        << QByteArray("A\x81\r\nB") << QStringLiteral("A\uFFFD\r\nB");
    QTest::newRow("lead byte at the end") << QByteArray("A\x81") << QStringLiteral("A\uFFFD");
    QTest::newRow("lead byte before 0x7F")
        << QByteArray("\x81\x7f") << QStringLiteral("\uFFFD\x7f");
    QTest::newRow("bytes that stand for nothing")
        << QByteArray("\x80\xa0\xfd\xfe\xff") << QString(5, QChar(0xFFFD));
    QTest::newRow("unassigned pair") << QByteArray("\x85\x40,") << QStringLiteral("\uFFFD,");
    QTest::newRow("NUL byte kept")
        << QByteArray("A\0B", 3) << QString(QStringLiteral("A") + QChar(0) + u'B');
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBF\xE5\xA4\xA9,A") << QStringLiteral("天,A");
    QTest::newRow("UTF-8 cut short at the end") << QByteArray("\xEF\xBB\xBF"
                                                              "A\xE5\xA4")
                                                << QStringLiteral("A\uFFFD\uFFFD"); // one per byte
    QTest::newRow("mark alone") << QByteArray("\xEF\xBB\xBF") << QString();
    QTest::newRow("a second mark is a character") << QByteArray("\xEF\xBB\xBF"
                                                                "A\xEF\xBB\xBF")
                                                  << QStringLiteral("A\uFEFF");
    QTest::newRow("start of a mark only")
        << QByteArray("\xEF\xBB") << QStringLiteral("\uFFFD"); // an unassigned pair
    QTest::newRow("empty") << QByteArray() << QString();
}

void tst_cardDecoder::decodesBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(CardDecoder::decodeAll(bytes), expected);
}

// Every single byte and every pair of bytes, decoded as Shift-JIS: the Linux build (ICU) and the
// Windows build (the system's own converter) must give the same characters for each.
void tst_cardDecoder::decodesEveryByteAndPairAsOnLinux()
{
    const auto decode = [](QByteArrayView bytes) {
        CardDecoder decoder; // code page 932 even where the bytes happen to be UTF-8
        QString text;
        decoder.decode(bytes, text);
        decoder.finish(text);
        return text;
    };
    QString all;
    for (int first = 0; first < 256; ++first) {
        const char single[1] = {char(first)};
        all += decode(QByteArrayView(single, 1)) + u'\uFFFF';
        for (int second = 0; second < 256; ++second) {
            const char pair[2] = {char(first), char(second)};
            all += decode(QByteArrayView(pair, 2)) + u'\uFFFF';
        }
    }
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char *>(all.utf16()), all.size() * 2),
        QCryptographicHash::Sha256);
    QCOMPARE(digest.toHex(),
             QByteArray("0c7a336d444cdeaf3b7e4bbf31fd0a69ae4a8241bf940f9b4293283f87460fc1"));
}

QTEST_GUILESS_MAIN(tst_cardDecoder)
#include "tst_cardDecoder.moc"
