#include "card_data/mdlZorv.h"
#include "card_rules/cardDetails.h"

#include <QTest>

using namespace cardDetails;

namespace {

QString monsterText(const QString &line)
{
    mdlZorv::loadCardText(line);
    return monsterDetails(mdlZorv::strMonstarData, 0);
}

} // namespace

class tst_cardDetails final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildsSevenMonsterLines_data();
    void buildsSevenMonsterLines();
    void buildsThreeMagicLines_data();
    void buildsThreeMagicLines();
    void findsFirstRowWithExactCardNumber_data();
    void findsFirstRowWithExactCardNumber();
};

void tst_cardDetails::buildsSevenMonsterLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("angel 0.7, two blanks after three characters")
        << u"001,N,1300,800,天使,M,4,12,I,E,T"_qs
        << u"Lv-4       ｺｽﾄ-12\r\nAP-1300 → 910\r\nDP-800  → 560\r\n天使\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("reptile 1.0") << u"001,N,1300,800,爬虫類,M,4,12,I,E,T"_qs
                                 << u"Lv-4       ｺｽﾄ-12\r\nAP-1300 → 1300\r\nDP-800  → 800\r\n"
                                    u"爬虫類\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("empty type 1.3, empty effect ends the text with CR LF")
        << u"001,N,1300,800,,M,10,3,I,,T"_qs
        << u"Lv-10      ｺｽﾄ-3\r\nAP-1300 → 1690\r\nDP-800  → 1040\r\n\r\nM\r\nID-I\r\n"_qs;
    QTest::newRow("one-character AP and no number")
        << u"001,N,0,?,獣,M,1,1,I,E,T"_qs
        << u"Lv-1       ｺｽﾄ-1\r\nAP-0 → 0\r\nDP-? → 0\r\n獣\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("decimals") << u"001,N,1234,333,機械,M,4,1,I,E,T"_qs
                              << u"Lv-4       ｺｽﾄ-1\r\nAP-1234 → 863.8\r\nDP-333  → 233.1\r\n"
                                 u"機械\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("level filling eleven characters")
        << u"001,N,1,1,獣,M,12345678,1,I,E,T"_qs
        << u"Lv-12345678ｺｽﾄ-1\r\nAP-1 → 1.3\r\nDP-1 → 1.3\r\n獣\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("longer level shown without padding")
        << u"001,N,1,1,獣,M,123456789,1,I,E,T"_qs
        << u"Lv-123456789ｺｽﾄ-1\r\nAP-1 → 1.3\r\nDP-1 → 1.3\r\n獣\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("beyond the double range")
        << u"001,N,1e999,-1e999,獣,M,1,1,I,E,T"_qs
        << u"Lv-1       ｺｽﾄ-1\r\nAP-1e999 → ∞\r\nDP--1e999 → -∞\r\n獣\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("flame 0.7")
        << u"001,N,10,20,炎,M,1,1,I,E,T"_qs
        << u"Lv-1       ｺｽﾄ-1\r\nAP-10 → 7\r\nDP-20 → 14\r\n炎\r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("machine with a blank 1.3")
        << u"001,N,10,20,機械 ,M,1,1,I,E,T"_qs
        << u"Lv-1       ｺｽﾄ-1\r\nAP-10 → 13\r\nDP-20 → 26\r\n機械 \r\nM\r\nID-I\r\nE"_qs;
    QTest::newRow("fields as stored, blanks kept")
        << u"001,N, 12,800,天使 , M , 4 , 5 , I ,  ,T"_qs
        << u"Lv- 4      ｺｽﾄ- 5 \r\nAP- 12  → 15.6\r\nDP-800  → 1040\r\n天使 \r\n M \r\nID- I \r\n  "_qs;
}

void tst_cardDetails::buildsSevenMonsterLines()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(monsterText(line), expected);
}

void tst_cardDetails::buildsThreeMagicLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trap") << u"101,P,,,罠,,,2,I,E,T"_qs << u"ｺｽﾄ-2\r\nID-I\r\nE"_qs;
    QTest::newRow("empty cost and effect") << u"101,P,,,魔法,,,,I,,T"_qs << u"ｺｽﾄ-\r\nID-I\r\n"_qs;
}

void tst_cardDetails::buildsThreeMagicLines()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    mdlZorv::loadCardText(line);
    QCOMPARE(magicDetails(mdlZorv::strMagicData, 0), expected);
}

void tst_cardDetails::findsFirstRowWithExactCardNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("row"); // -1: not found
    QTest::newRow("first of duplicates") << u"002"_qs << 1;
    QTest::newRow("short number found exactly") << u"05"_qs << 3;
    QTest::newRow("no prefix match") << u"0"_qs << -1;
    QTest::newRow("entry text with blanks does not match") << u"05 "_qs << -1;
    QTest::newRow("missing") << u"999"_qs << -1;
}

void tst_cardDetails::findsFirstRowWithExactCardNumber()
{
    QFETCH(QString, number);
    QFETCH(int, row);
    mdlZorv::loadCardText(u"001,A\r\n002,B\r\n002,C\r\n05\r\n"_qs);
    const auto found = findCard(mdlZorv::strMonstarData, number);
    QCOMPARE(found ? int(*found) : -1, row);
}

QTEST_GUILESS_MAIN(tst_cardDetails)
#include "tst_cardDetails.moc"
