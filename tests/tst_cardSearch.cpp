#include "card_data/mdlZorv.h"
#include "search_window/cardSearch.h"

#include <QTest>

#include <functional>
#include <limits>

using namespace cardSearch;
using mdlZorv::strMagicData;
using mdlZorv::strMonstarData;

Q_DECLARE_METATYPE(cardSearch::MonsterFilters)
Q_DECLARE_METATYPE(cardSearch::MagicFilters)

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

MonsterFilters monsters(const std::function<void(MonsterFilters &)> &change = {})
{
    MonsterFilters filters;
    if (change)
        change(filters);
    return filters;
}

MagicFilters magic(const std::function<void(MagicFilters &)> &change = {})
{
    MagicFilters filters;
    if (change)
        change(filters);
    return filters;
}

QStringList numbersOf(const mdlZorv::CardTable &table, const std::vector<qsizetype> &rows)
{
    QStringList numbers;
    for (const qsizetype row : rows)
        numbers << table[mdlZorv::CardField::Number][row];
    return numbers;
}

QStringList list(const char16_t *numbers)
{
    return QString::fromUtf16(numbers).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class tst_cardSearch final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void monsterFiltersKeepMatchingRows_data();
    void monsterFiltersKeepMatchingRows();
    void magicFiltersKeepMatchingRows_data();
    void magicFiltersKeepMatchingRows();
    void marksEveryRowPassingOrFailing();
    void searchesEmptyTables();
};

void tst_cardSearch::init()
{
    mdlZorv::loadCardText(cards.join(u"\r\n"));
}

void tst_cardSearch::monsterFiltersKeepMatchingRows_data()
{
    QTest::addColumn<MonsterFilters>("filters");
    QTest::addColumn<QStringList>("expected");
    constexpr double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("initial: negative values left out")
        << monsters() << list(u"001 002 003 005 006");
    QTest::newRow("type exact, trailing blank differs")
        << monsters([](auto &f) { f.type = u"天使"_qs; }) << list(u"001 003");
    QTest::newRow("type width counts")
        << monsters([](auto &f) { f.type = u"ﾃﾝｼ"_qs; }) << list(u"006");
    QTest::newRow("Mazoku") << monsters([](auto &f) { f.mazoku = u"光"_qs; })
                            << list(u"001 003 006");
    QTest::newRow("no entry selected matches empty fields only")
        << monsters([](auto &f) { f.mazoku = QString(); }) << QStringList();
    QTest::newRow("level 4 is not 04 or blank 4")
        << monsters([](auto &f) { f.level = u"4"_qs; }) << list(u"001 005 006");
    QTest::newRow("effect: a blank counts, empty does not")
        << monsters([](auto &f) { f.effectOnly = true; }) << list(u"001 003 005 006");
    QTest::newRow("duelist T, lower-case t differs")
        << monsters([](auto &f) { f.duelistKeys = u"T"_qs; }) << list(u"001 002");
    QTest::newRow("duelists T or J")
        << monsters([](auto &f) { f.duelistKeys = u"TJ"_qs; }) << list(u"001 002 003 006");
    QTest::newRow("duelist O") << monsters([](auto &f) { f.duelistKeys = u"O"_qs; })
                               << list(u"006");
    QTest::newRow("cost at least 3, boundary kept") << monsters([](auto &f) {
        f.cost = {3, true};
    }) << list(u"001 003 005 006");
    QTest::newRow("cost at most 3, boundary kept") << monsters([](auto &f) {
        f.cost = {3, false};
    }) << list(u"001 002 005 006");
    QTest::newRow("AP at least 1500") << monsters([](auto &f) {
        f.ap = {1500, true};
    }) << list(u"003 005 006");
    QTest::newRow("AP at most 0: question mark reads 0") << monsters([](auto &f) {
        f.ap = {0, false};
        f.dp = {-100, true};
        f.cost = {-1, true};
    }) << list(u"002 004");
    QTest::newRow("DP at most 800") << monsters([](auto &f) {
        f.dp = {800, false};
    }) << list(u"001 002 006");
    QTest::newRow("infinite threshold at most keeps all") << monsters([](auto &f) {
        f.ap = {inf, false};
        f.dp = {-inf, true};
        f.cost = {-inf, true};
    }) << list(u"001 002 003 004 005 006");
    QTest::newRow("everything at once") << monsters([](auto &f) {
        f.type = u"天使"_qs;
        f.mazoku = u"光"_qs;
        f.level = u"4"_qs;
        f.effectOnly = true;
        f.duelistKeys = u"TO"_qs;
        f.ap = {1000, true};
    }) << list(u"001");
}

void tst_cardSearch::monsterFiltersKeepMatchingRows()
{
    QFETCH(MonsterFilters, filters);
    QFETCH(QStringList, expected);
    QCOMPARE(numbersOf(strMonstarData, searchMonsters(strMonstarData, filters)), expected);
}

void tst_cardSearch::magicFiltersKeepMatchingRows_data()
{
    QTest::addColumn<MagicFilters>("filters");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("initial: no number reads 0") << magic() << list(u"101 102 103 104");
    QTest::newRow("kind trap") << magic([](auto &f) { f.kind = u"罠"_qs; }) << list(u"102 104");
    QTest::newRow("cost at least 3") << magic([](auto &f) {
        f.cost = {3, true};
    }) << list(u"102 103");
    QTest::newRow("cost at most 3") << magic([](auto &f) {
        f.cost = {3, false};
    }) << list(u"101 102 104");
    QTest::newRow("cost at most 0") << magic([](auto &f) { f.cost = {0, false}; }) << list(u"104");
    QTest::newRow("Tavrin") << magic([](auto &f) { f.duelistKeys = u"T"_qs; }) << list(u"101");
    QTest::newRow("Ombrec") << magic([](auto &f) { f.duelistKeys = u"O"_qs; }) << list(u"102");
    QTest::newRow("Tavrin or Ombrec")
        << magic([](auto &f) { f.duelistKeys = u"TO"_qs; }) << list(u"101 102");
    QTest::newRow("kind and duelist") << magic([](auto &f) {
        f.kind = u"罠"_qs;
        f.duelistKeys = u"J"_qs;
    }) << QStringList();
}

void tst_cardSearch::magicFiltersKeepMatchingRows()
{
    QFETCH(MagicFilters, filters);
    QFETCH(QStringList, expected);
    QCOMPARE(numbersOf(strMagicData, searchMagic(strMagicData, filters)), expected);
}

void tst_cardSearch::marksEveryRowPassingOrFailing()
{
    MonsterFilters filters;
    filters.type = u"天使"_qs;
    searchMonsters(strMonstarData, filters);
    QStringList marks;
    for (qsizetype row = 0; row < mdlZorv::intMonstarCount; ++row)
        marks << strMonstarData[mdlZorv::MatchMark][row];
    QCOMPARE(marks, (QStringList{u"1"_qs, u"0"_qs, u"1"_qs, u"0"_qs, u"0"_qs, u"0"_qs}));

    searchMonsters(strMonstarData, MonsterFilters());
    QCOMPARE(strMonstarData[mdlZorv::MatchMark][1], u"1"_qs);
}

void tst_cardSearch::searchesEmptyTables()
{
    mdlZorv::loadCardText(QString());
    QVERIFY(searchMonsters(strMonstarData, MonsterFilters()).empty());
    QVERIFY(searchMagic(strMagicData, MagicFilters()).empty());
}

QTEST_GUILESS_MAIN(tst_cardSearch)
#include "tst_cardSearch.moc"
