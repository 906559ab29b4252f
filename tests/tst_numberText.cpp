#include "card_data/numberText.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

using namespace mdlZorv;

class tst_numberText final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsLeadingNumberLeniently_data();
    void readsLeadingNumberLeniently();
    void ignoresTheLocalesDecimalSeparator();
    void writesFifteenSignificantDigits_data();
    void writesFifteenSignificantDigits();
};

void tst_numberText::readsLeadingNumberLeniently_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("leading zeros") << QStringLiteral("0150") << 150.0;
    QTest::newRow("blanks inside digits") << QStringLiteral(" 1 2\t0\n5") << 1205.0;
    QTest::newRow("blank after sign") << QStringLiteral("- 5") << -5.0;
    QTest::newRow("plus sign") << QStringLiteral("+7") << 7.0;
    QTest::newRow("two signs") << QStringLiteral("--3") << 0.0;
    QTest::newRow("leading period") << QStringLiteral(".5") << 0.5;
    QTest::newRow("second period ends") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("period alone") << QStringLiteral(".") << 0.0;
    QTest::newRow("sign and period") << QStringLiteral("-.") << 0.0;
    QTest::newRow("exponent") << QStringLiteral("2e3") << 2000.0;
    QTest::newRow("capital exponent, sign") << QStringLiteral("25E-1") << 2.5;
    QTest::newRow("exponent without digits") << QStringLiteral("1e") << 1.0;
    QTest::newRow("comma ends") << QStringLiteral("300,5") << 300.0;
    QTest::newRow("question mark") << QStringLiteral("?") << 0.0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << 0.0;
    QTest::newRow("hex prefix") << QStringLiteral("&H10") << 0.0;
    QTest::newRow("carriage return not skipped") << QStringLiteral("1\r2") << 1.0;
    QTest::newRow("ideographic space not skipped") << QStringLiteral("\u30001") << 0.0;
    QTest::newRow("tiny underflows to zero") << QStringLiteral("1e-999") << 0.0;
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("1e999") << QStringLiteral("1e999") << inf;
    QTest::newRow("-1e999") << QStringLiteral("-1e999") << -inf;
    QTest::newRow("400 digits") << QStringLiteral("1") + QString(400, u'0') << inf;
    QTest::newRow("huge exponent") << QStringLiteral("0.001e99999999999999999999") << inf;
    // The largest doubles written to 15 digits round beyond the range (found by fuzzing).
    QTest::newRow("largest double as written")
        << numberText(-std::numeric_limits<double>::max()) << -inf;
}

void tst_numberText::readsLeadingNumberLeniently()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(readNumber(text), expected);
}

void tst_numberText::ignoresTheLocalesDecimalSeparator()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QCOMPARE(readNumber(u"1.5"), 1.5);
    QCOMPARE(numberText(863.8), QStringLiteral("863.8"));
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(saved);
}

void tst_numberText::writesFifteenSignificantDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1300 x 0.7") << 1300 * 0.7 << QStringLiteral("910");
    QTest::newRow("1234 x 0.7") << 1234 * 0.7 << QStringLiteral("863.8");
    QTest::newRow("below one") << 0.65 << QStringLiteral("0.65");
    QTest::newRow("negative") << -42.5 << QStringLiteral("-42.5");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << QStringLiteral("∞");
    QTest::newRow("minus infinity")
        << -std::numeric_limits<double>::infinity() << QStringLiteral("-∞");
}

void tst_numberText::writesFifteenSignificantDigits()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(numberText(value), expected);
}

QTEST_GUILESS_MAIN(tst_numberText)
#include "tst_numberText.moc"
