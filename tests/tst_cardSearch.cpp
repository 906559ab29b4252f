#include "card_data/mdlZorv.h"
#include "card_rules/cardSearch.h"

#include <QRegularExpression>
#include <QTest>

using namespace cardSearch;
using mdlZorv::strMagicData;
using mdlZorv::strMonstarData;

namespace {

// number, name, AP, DP, type, Mazoku, level, cost, ID, effect, duelists
const QStringList cards = {
    u"001,Alpha,1000,500,天使,光,4,3,I1,E,T"_qs,
    u"002,Beta,0,0,機械,闇,04,0,I2,,TJ"_qs,
    u"003,Gamma,2000,1500,天使,光, 4,5,I3, ,J"_qs,
    u"004,Delta,?,-100,炎,光,12,-1,I4,E,"_qs,
    u"005,,1500,1500,天使 ,風,4,3,I5,E,t"_qs,
    u"006,Zeta,1500,800,ﾃﾝｼ,光,4,3,I6,E,OJ"_qs,
    u"101,Spell,,,魔法,,,2,S1,E1,TJ"_qs,
    u"102,Pit,,,罠,,,3,S2,,O"_qs,
    u"103,Rite,,,儀式,,,10,S3,E3,"_qs,
    u"104,Net,,,罠,,,x,S4,E4,t"_qs,
};

// Filters written compactly: "type=天使 level=4 effect duelists=TJ ap<=1500 cost>=-inf".
// "mazoku=" selects an entry with an empty text; a threshold not given is "0 or more".
template <typename Filters> Filters parse(const QString &words)
{
    Filters filters;
    for (const QString &word : words.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype cut = word.indexOf(QRegularExpression(u"(=|<=|>=)"_qs));
        const QString key = cut < 0 ? word : word.left(cut);
        const QString value = word.mid(word.indexOf(u'=') + 1);
        const Threshold threshold{value == u"inf"    ? qInf()
                                  : value == u"-inf" ? -qInf()
                                                     : value.toDouble(),
                                  word.contains(u">=")};
        if constexpr (std::is_same_v<Filters, MonsterFilters>) {
            if (key == u"type")
                filters.type = value;
            if (key == u"mazoku")
                filters.mazoku = value;
            if (key == u"level")
                filters.level = value;
            if (key == u"effect")
                filters.effectOnly = true;
            if (key == u"ap")
                filters.ap = threshold;
            if (key == u"dp")
                filters.dp = threshold;
        } else {
            if (key == u"kind")
                filters.kind = value;
        }
        if (key == u"duelists")
            filters.duelistKeys = value;
        if (key == u"cost")
            filters.cost = threshold;
    }
    return filters;
}

QStringList numbersOf(const mdlZorv::CardTable &table, const std::vector<qsizetype> &rows)
{
    QStringList numbers;
    for (const qsizetype row : rows)
        numbers << table[mdlZorv::CardField::Number][row];
    return numbers.isEmpty() ? QStringList{u"-"_qs} : numbers;
}

} // namespace

class tst_cardSearch final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { mdlZorv::loadCardText(cards.join(u"\r\n")); }
    void filtersKeepMatchingRows_data();
    void filtersKeepMatchingRows();
    void marksEveryRowPassingOrFailing();
};

void tst_cardSearch::filtersKeepMatchingRows_data()
{
    QTest::addColumn<QString>("filters");
    QTest::addColumn<QString>("expected"); // card numbers, or - for none

    // Monster rows 001 to 006.
    QTest::newRow("initial: negative values left out") << u""_qs << u"001 002 003 005 006"_qs;
    QTest::newRow("type exact, trailing blank differs") << u"type=天使"_qs << u"001 003"_qs;
    QTest::newRow("type width counts") << u"type=ﾃﾝｼ"_qs << u"006"_qs;
    QTest::newRow("Mazoku") << u"mazoku=光"_qs << u"001 003 006"_qs;
    QTest::newRow("no entry selected matches empty fields") << u"mazoku="_qs << u"-"_qs;
    QTest::newRow("level 4 is not 04 or blank 4") << u"level=4"_qs << u"001 005 006"_qs;
    QTest::newRow("effect: a blank counts, empty not") << u"effect"_qs << u"001 003 005 006"_qs;
    QTest::newRow("duelist T, lower-case t differs") << u"duelists=T"_qs << u"001 002"_qs;
    QTest::newRow("duelists T or J") << u"duelists=TJ"_qs << u"001 002 003 006"_qs;
    QTest::newRow("duelist O") << u"duelists=O"_qs << u"006"_qs;
    QTest::newRow("cost at least 3, boundary kept") << u"cost>=3"_qs << u"001 003 005 006"_qs;
    QTest::newRow("cost at most 3, boundary kept") << u"cost<=3"_qs << u"001 002 005 006"_qs;
    QTest::newRow("AP at least 1500") << u"ap>=1500"_qs << u"003 005 006"_qs;
    QTest::newRow("AP at most 0: ? reads 0") << u"ap<=0 dp>=-100 cost>=-1"_qs << u"002 004"_qs;
    QTest::newRow("DP at most 800") << u"dp<=800"_qs << u"001 002 006"_qs;
    QTest::newRow("infinite thresholds")
        << u"ap<=inf dp>=-inf cost>=-inf"_qs << u"001 002 003 004 005 006"_qs;
    QTest::newRow("everything at once")
        << u"type=天使 mazoku=光 level=4 effect duelists=TO ap>=1000"_qs << u"001"_qs;
    // Magic rows 101 to 104.
    QTest::newRow("magic initial: no number reads 0") << u"magic"_qs << u"101 102 103 104"_qs;
    QTest::newRow("kind trap") << u"magic kind=罠"_qs << u"102 104"_qs;
    QTest::newRow("magic cost at least 3") << u"magic cost>=3"_qs << u"102 103"_qs;
    QTest::newRow("magic cost at most 3") << u"magic cost<=3"_qs << u"101 102 104"_qs;
    QTest::newRow("magic cost at most 0") << u"magic cost<=0"_qs << u"104"_qs;
    QTest::newRow("Tavrin") << u"magic duelists=T"_qs << u"101"_qs;
    QTest::newRow("Tavrin or Ombrec") << u"magic duelists=TO"_qs << u"101 102"_qs;
    QTest::newRow("kind and duelist") << u"magic kind=罠 duelists=J"_qs << u"-"_qs;
}

void tst_cardSearch::filtersKeepMatchingRows()
{
    QFETCH(QString, filters);
    QFETCH(QString, expected);
    const QStringList rows =
        filters.startsWith(u"magic")
            ? numbersOf(strMagicData, searchMagic(strMagicData, parse<MagicFilters>(filters)))
            : numbersOf(strMonstarData,
                        searchMonsters(strMonstarData, parse<MonsterFilters>(filters)));
    QCOMPARE(rows, expected.split(u' '));
}

void tst_cardSearch::marksEveryRowPassingOrFailing()
{
    searchMonsters(strMonstarData, parse<MonsterFilters>(u"type=天使"_qs));
    QString marks;
    for (qsizetype row = 0; row < mdlZorv::intMonstarCount; ++row)
        marks += strMonstarData[mdlZorv::MatchMark][row];
    QCOMPARE(marks, u"101000"_qs);

    mdlZorv::loadCardText(QString());
    QVERIFY(searchMonsters(strMonstarData, MonsterFilters()).empty());
    QVERIFY(searchMagic(strMagicData, MagicFilters()).empty());
}

QTEST_GUILESS_MAIN(tst_cardSearch)
#include "tst_cardSearch.moc"
