// The rules of the two searches, the details texts, finding by words, and the card table's
// sorting and text for other programs, apart from any window.

#include "card_data/mdlZorv.h"
#include "card_rules/cardChanges.h"
#include "card_rules/cardDetails.h"
#include "card_rules/cardFind.h"
#include "card_rules/cardSearch.h"
#include "card_rules/filterLists.h"
#include "card_rules/nameReadings.h"
#include "card_rules/readingIndex.h"
#include "card_rules/tableExport.h"
#include "card_rules/tableSort.h"
#include "card_rules/textFold.h"
#include "plainReadingKeys.h"
#include "testFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <numeric>
#include <random>

using namespace cardSearch;
using mdlZorv::intMonstarCount;
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

QString numbersOf(const mdlZorv::CardTable &table, const mdlZorv::RowList &rows)
{
    QStringList numbers;
    for (const qsizetype row : rows)
        numbers << table[mdlZorv::CardField::Number][row];
    return numbers.isEmpty() ? u"-"_qs : numbers.join(u' ');
}

// The card numbers of the monster rows, listed last row first, in the order of a table column.
QString sortedNumbers(const QStringList &lines, int column, Qt::SortOrder order)
{
    mdlZorv::loadCardText(lines.join(u"\r\n"));
    mdlZorv::RowList listed;
    for (qsizetype row = mdlZorv::intMonstarCount - 1; row >= 0; --row)
        listed.push_back(row);
    return numbersOf(strMonstarData, tableSort::sortedRows(strMonstarData, listed,
                                                           tableColumns::monster[column], order));
}

QByteArray csvOf(const QString &cardLines, const mdlZorv::RowList &rows)
{
    mdlZorv::loadCardText(cardLines);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    tableExport::writeCsv(buffer, strMagicData, rows, tableColumns::magic);
    return buffer.data();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

QStringList monsterDetailLines(const QString &line)
{
    mdlZorv::loadCardText(line);
    return cardDetails::monsterDetails(strMonstarData, 0).split(u"\r\n"_qs);
}

// Characters folding treats in every way, so that a word cut from one text finds others written
// otherwise: both cases, full-width and half-width forms, hiragana and katakana, voiced marks
// apart, letters folding to two, a sign folding to four, blanks, U+0000 and a surrogate pair; and
// what reading treats in every way: kanji of words and of none, "々", long vowels, small kana
// and romaji.
const QString foldAlphabet =
    u"aAbB1１ａＢかカがガｶﾞﾟ\u3099\u0301竜株ßİﬁ㍿ \u00a0\u3000𠮷\0大熊鍛冶師白々ーうおゃっのkoi"_qs;

QString randomText(std::mt19937 &random, quint32 longest)
{
    QString text;
    for (quint32 n = random() % (longest + 1); n > 0; --n)
        text += foldAlphabet[random() % foldAlphabet.size()];
    return text;
}

// Words cut from the monsters' texts, some repeated, cut shorter or made up.
QString randomFindText(std::mt19937 &random)
{
    QStringList parts;
    for (quint32 n = 1 + random() % 4; n > 0; --n) {
        const int field = cardFind::monsterFields[random() % 3];
        const QStringView text = strMonstarData.view(field, random() % intMonstarCount);
        const qsizetype start = random() % (text.size() + 1);
        const QString cut =
            text.sliced(start, std::min<qsizetype>(random() % 6, text.size() - start)).toString();
        const QString earlier = parts.value(random() % (parts.size() + 1));
        const QString kinds[] = {cut, earlier, earlier.left(1 + random() % 2),
                                 randomText(random, 3)};
        parts << kinds[random() % 4];
    }
    return parts.join(u' ');
}

const nameReadings::LoadedDictionary &readingDictionary()
{
    static const nameReadings::LoadedDictionary loaded = nameReadings::loadDictionary();
    return loaded;
}

// Whether the name of a row has a reading whose key holds the word's key.
bool readsAs(qsizetype row, const QString &word)
{
    nameReadings::Reader reader(*readingDictionary().dictionary);
    return plainReadingKeys::holds(
        plainReadingKeys::keys(reader, strMonstarData.view(mdlZorv::CardField::Name, row)),
        nameReadings::findKey(word));
}

// The rows of rows where every word lies in one field of the row, folded on its own, or, with
// readings, is one of the name's readings.
mdlZorv::RowList plainFind(mdlZorv::RowList rows, const QStringList &words, bool readings = false)
{
    std::erase_if(rows, [&](qsizetype row) {
        return !std::all_of(words.begin(), words.end(), [&](const QString &word) {
            return std::any_of(
                       cardFind::monsterFields.begin(), cardFind::monsterFields.end(),
                       [&](int f) {
                           return textFold::fold(strMonstarData.view(f, row)).contains(word);
                       }) ||
                   (readings && readsAs(row, word));
        });
    });
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(MonsterFilters)
Q_DECLARE_METATYPE(MagicFilters)
Q_DECLARE_METATYPE(Qt::SortOrder)
using Monsters = MonsterFilters;
using Magic = MagicFilters;

class tst_cardRules final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchesMonsters_data()
    {
        QTest::addColumn<MonsterFilters>("filters");
        QTest::addColumn<QString>("expected"); // card numbers, or - for none
        QTest::newRow("initial: negatives left out") << Monsters{} << u"001 002 003 005 006"_qs;
        QTest::newRow("type, a blank counts") << Monsters{.type = u"天使"_qs} << u"001 003"_qs;
        QTest::newRow("Mazoku") << Monsters{.mazoku = u"光"_qs} << u"001 003 006"_qs;
        QTest::newRow("empty value matches empty fields") << Monsters{.mazoku = u""_qs} << u"-"_qs;
        QTest::newRow("level 4, not 04 or  4") << Monsters{.level = u"4"_qs} << u"001 005 006"_qs;
        QTest::newRow("effect: a blank is one")
            << Monsters{.effectOnly = true} << u"001 003 005 006"_qs;
        QTest::newRow("duelist T, not t") << Monsters{.duelistKeys = u"T"_qs} << u"001 002"_qs;
        QTest::newRow("duelist T or J")
            << Monsters{.duelistKeys = u"TJ"_qs} << u"001 002 003 006"_qs;
        QTest::newRow("cost 3 or more") << Monsters{.cost = {3}} << u"001 003 005 006"_qs;
        QTest::newRow("cost 3 or less") << Monsters{.cost = {3, false}} << u"001 002 005 006"_qs;
        QTest::newRow("AP 1500 or more") << Monsters{.ap = {1500}} << u"003 005 006"_qs;
        QTest::newRow("AP 0 or less: ? reads 0")
            << Monsters{.cost = {-1}, .ap = {0, false}, .dp = {-100}} << u"002 004"_qs;
        QTest::newRow("infinite thresholds")
            << Monsters{.cost = {-qInf()}, .ap = {qInf(), false}, .dp = {-qInf()}}
            << u"001 002 003 004 005 006"_qs;
        QTest::newRow("filters combine")
            << Monsters{.type = u"天使"_qs, .level = u"4"_qs, .duelistKeys = u"TO"_qs, .ap = {1000}}
            << u"001"_qs;
    }
    void searchesMonsters()
    {
        QFETCH(MonsterFilters, filters);
        QFETCH(QString, expected);
        mdlZorv::loadCardText(cards.join(u"\r\n"));
        QCOMPARE(numbersOf(strMonstarData, searchMonsters(strMonstarData, filters)), expected);
    }

    void searchesMagic_data()
    {
        QTest::addColumn<MagicFilters>("filters");
        QTest::addColumn<QString>("expected");
        QTest::newRow("initial: no number reads 0") << Magic{} << u"101 102 103 104"_qs;
        QTest::newRow("kind trap") << Magic{.kind = u"罠"_qs} << u"102 104"_qs;
        QTest::newRow("cost 3 or less") << Magic{.cost = {3, false}} << u"101 102 104"_qs;
        QTest::newRow("kind and duelist")
            << Magic{.kind = u"罠"_qs, .duelistKeys = u"J"_qs} << u"-"_qs;
    }
    void searchesMagic()
    {
        QFETCH(MagicFilters, filters);
        QFETCH(QString, expected);
        mdlZorv::loadCardText(cards.join(u"\r\n"));
        QCOMPARE(numbersOf(strMagicData, searchMagic(strMagicData, filters)), expected);
    }

    void marksEveryRowPassingOrFailing()
    {
        mdlZorv::loadCardText(cards.join(u"\r\n"));
        searchMonsters(strMonstarData, {.type = u"天使"_qs});
        QString marks;
        for (qsizetype row = 0; row < mdlZorv::intMonstarCount; ++row)
            marks += strMonstarData[mdlZorv::MatchMark][row];
        QCOMPARE(marks, u"101000"_qs);
    }

    // Each distinct value once, in the order it first occurs: case, width and blanks count.
    void listsDistinctValuesInOrder()
    {
        QStringList lines;
        for (const QString &type : u"獣||天使|獣|abc|ABC|ａｂｃ|abc |(指定なし)"_qs.split(u'|'))
            lines << u"001,A,1,1,%1,"_qs.arg(type);
        mdlZorv::loadCardText(lines.join(u"\r\n"));
        QCOMPARE(filterLists::distinctValues(strMonstarData, mdlZorv::CardField::Type),
                 u"獣|天使|abc|ABC|ａｂｃ|abc |(指定なし)"_qs.split(u'|'));
    }

    // The whole texts: seven lines for a monster, three for the rest, fields shown as stored.
    void buildsDetailsTexts()
    {
        QCOMPARE(monsterDetailLines(u"001,N,1300,800,天使,M,4,12,I,E,T"_qs),
                 QStringList({u"Lv-4       ｺｽﾄ-12"_qs, u"AP-1300 → 910"_qs, u"DP-800  → 560"_qs,
                              u"天使"_qs, u"M"_qs, u"ID-I"_qs, u"E"_qs}));
        QCOMPARE(monsterDetailLines(u"001,N, 12,800,, M , 4 , 5 , I ,,T"_qs),
                 QStringList({u"Lv- 4      ｺｽﾄ- 5 "_qs, u"AP- 12  → 15.6"_qs, u"DP-800  → 1040"_qs,
                              QString(), u" M "_qs, u"ID- I "_qs, QString()}));
        mdlZorv::loadCardText(u"101,P,,,罠,,,2,I,E,T\r\n102,P,,,魔法,,,,I,,T"_qs);
        QCOMPARE(cardDetails::magicDetails(strMagicData, 0), u"ｺｽﾄ-2\r\nID-I\r\nE"_qs);
        QCOMPARE(cardDetails::magicDetails(strMagicData, 1), u"ｺｽﾄ-\r\nID-I\r\n"_qs);
    }

    void buildsEachMonsterLine_data()
    {
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("line"); // of the details text, from 0
        QTest::addColumn<QString>("expected");
        QTest::newRow("reptile 1.0")
            << u"001,N,1300,8,爬虫類,M,4,1,I,E,T"_qs << 1 << u"AP-1300 → 1300"_qs;
        QTest::newRow("machine 0.7")
            << u"001,N,1,333,機械,M,4,1,I,E,T"_qs << 2 << u"DP-333  → 233.1"_qs;
        QTest::newRow("flame 0.7") << u"001,N,10,20,炎,M,1,1,I,E,T"_qs << 1 << u"AP-10 → 7"_qs;
        QTest::newRow("machine and a blank 1.3")
            << u"001,N,10,20,機械 ,M,1,1,I,E,T"_qs << 2 << u"DP-20 → 26"_qs;
        QTest::newRow("no number reads 0") << u"001,N,0,?,獣,M,1,1,I,E,T"_qs << 2 << u"DP-? → 0"_qs;
        QTest::newRow("longer level not cut")
            << u"001,N,1,1,獣,M,123456789,1,I,E,T"_qs << 0 << u"Lv-123456789ｺｽﾄ-1"_qs;
    }
    void buildsEachMonsterLine()
    {
        QFETCH(QString, card);
        QFETCH(int, line);
        QFETCH(QString, expected);
        QCOMPARE(monsterDetailLines(card).value(line), expected);
    }

    void findsFirstRowWithExactCardNumber()
    {
        mdlZorv::loadCardText(u"001,A\r\n002,B\r\n002,C\r\n05\r\n"_qs);
        const auto rowOf = [](QStringView number) {
            const auto found = cardDetails::findCard(strMonstarData, number);
            return found ? int(*found) : -1;
        };
        QCOMPARE(rowOf(u"002"), 1); // the first of two
        QCOMPARE(rowOf(u"05"), 3);
        for (const QStringView none : {u"0", u"05 ", u"999"}) // no prefixes, no blanks
            QCOMPARE(rowOf(none), -1);
    }

    void findsCardsHoldingEveryWord_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("found");
        QTest::newRow("no words") << u"  　"_qs << true;
        QTest::newRow("half-width katakana") << u"ﾄﾞﾗｺﾞﾝ"_qs << true;
        QTest::newRow("hiragana for katakana") << u"どらごん"_qs << true;
        QTest::newRow("full-width letters, any case") << u"ａｂｃ"_qs << true;
        QTest::newRow("effect text only") << u"墓地"_qs << true;
        QTest::newRow("every word, blanks of both widths") << u"子 墓地　abc"_qs << true;
        QTest::newRow("not a pattern") << u"ド.*"_qs << false;
        QTest::newRow("other fields are not looked at") << u"竜"_qs << false;
    }
    void findsCardsHoldingEveryWord()
    {
        QFETCH(QString, find);
        QFETCH(bool, found);
        mdlZorv::loadCardText(u"012,ドラゴンの子ABC,1,1,竜,,1,1,I,墓地から戻る,T"_qs);
        using namespace mdlZorv::CardField;
        const cardFind::FindIndex index(strMonstarData, {Number, Name, Effect});
        QCOMPARE(index.matches(0, textFold::words(find)), found);
    }

    void countsWhatAReadChanged_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("expected"); // the note when the user asked
        const QString alpha = u"001,Alpha,1,1,獣,,1,1,I,E,T"_qs;
        const QString beta = u"002,Beta,1,1,獣,,1,1,I,E,T"_qs;
        const QString spell = u"101,Spell,,,魔法,,,2,S,E,T"_qs;
        const auto lines = [](const QStringList &cards) {
            return cards.join(u"\r\n");
        };
        QTest::newRow("same cards")
            << lines({alpha, spell}) << lines({alpha, spell}) << u"変更はありません"_qs;
        QTest::newRow("one of each")
            << lines({alpha, beta}) << lines({u"001,Alpha,9,1,獣,,1,1,I,E,T"_qs, spell})
            << u"再読み込みしました: 2 枚 (追加 1、変更 1、削除 1)"_qs;
        QTest::newRow("same number twice, told apart by place")
            << lines({alpha, u"001,Other,1,1,獣,,1,1,I,E,T"_qs})
            << lines({alpha, u"001,Changed,1,1,獣,,1,1,I,E,T"_qs, alpha})
            << u"再読み込みしました: 3 枚 (追加 1、変更 1、削除 0)"_qs;
        QTest::newRow("a monster becomes a spell")
            << lines({alpha}) << lines({u"001,Alpha,,,魔法,,,1,I,E,T"_qs})
            << u"再読み込みしました: 1 枚 (追加 1、変更 0、削除 1)"_qs;
    }
    void countsWhatAReadChanged()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, expected);
        mdlZorv::loadCardText(before);
        const auto first = CardSet::ofShownTables();
        mdlZorv::loadCardText(after);
        const CardChanges changes = compareCards(*first, *CardSet::ofShownTables());
        QCOMPARE(changesNote(changes, true), expected);
        QCOMPARE(changesNote(changes, false).isEmpty(), !changes.any());
    }

    // Marks cover what the words match in the text itself, whatever form either is written in.
    void marksWhereTheWordsMatch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("marked"); // the marked stretches, joined by |
        QTest::newRow("hiragana for katakana")
            << u"炎のドラゴン"_qs << u"どらごん"_qs << u"ドラゴン"_qs;
        QTest::newRow("half-width, voiced marks with their letter")
            << u"ﾄﾞﾗｺﾞﾝの子"_qs << u"ドラゴン"_qs << u"ﾄﾞﾗｺﾞﾝ"_qs;
        QTest::newRow("a word folding to a voiced letter stops at it")
            << u"ﾄﾞﾗ"_qs << u"と"_qs << QString();
        QTest::newRow("every place, touching ones joined")
            << u"abcabc xbc"_qs << u"BC ca"_qs << u"bcabc|bc"_qs;
        QTest::newRow("full-width and surrogate pairs")
            << u"𠮷野のＡＢ"_qs << u"ab 𠮷"_qs << u"𠮷|ＡＢ"_qs;
        QTest::newRow("no words") << u"abc"_qs << u" "_qs << QString();
    }
    void marksWhereTheWordsMatch()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, marked);
        QStringList stretches;
        for (const textFold::Mark &mark : textFold::findMarks(text, textFold::words(find)))
            stretches << text.sliced(mark.start, mark.length);
        QCOMPARE(stretches.join(u'|'), marked);
    }

    // Numbers as the searches read them, names by collation; rows that compare equal keep the
    // list's order (last card first here) whichever the direction.
    void sortsRowsStablyInBothDirections_data()
    {
        // Of the monster columns: 1 名前, 2 攻撃力, 6 レベル (which holds the attack's texts, and
        // is sorted from its text, the attack from the codes made while loading).
        QTest::addColumn<int>("column");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QString>("expected");
        QTest::newRow("AP up: abc and empty read 0, 1e3 is 1000")
            << 2 << Qt::AscendingOrder << u"004 003 006 002 005 001"_qs;
        QTest::newRow("AP down") << 2 << Qt::DescendingOrder << u"005 001 006 002 004 003"_qs;
        QTest::newRow("level up, as AP")
            << 6 << Qt::AscendingOrder << u"004 003 006 002 005 001"_qs;
        QTest::newRow("name up") << 1 << Qt::AscendingOrder << u"006 002 005 004 001 003"_qs;
        QTest::newRow("name down") << 1 << Qt::DescendingOrder << u"003 004 001 005 006 002"_qs;
    }
    void sortsRowsStablyInBothDirections()
    {
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        QFETCH(QString, expected);
        const QStringList lines = {
            u"001,がけ,1e3,,,,1e3,,,,"_qs,   u"002,あおぞら, 12,,,, 12,,,,"_qs,
            u"003,かぶと,,,,,,,,,"_qs,       u"004,がけ,abc,,,,abc,,,,"_qs,
            u"005,かき,1000,,,,1000,,,,"_qs, u"006,あおぞら,12,,,,12,,,,"_qs};
        QCOMPARE(sortedNumbers(lines, column, order), expected);
    }

    // Kana by reading, hiragana and katakana together, not by code point (which would set アカネ
    // after every hiragana name); the C locale names no language and gets the Japanese order.
    void collatesKanaByReading_data()
    {
        QTest::addColumn<QLocale>("system");
        QTest::newRow("Japanese") << QLocale(QLocale::Japanese, QLocale::Japan);
        QTest::newRow("C") << QLocale::c();
    }
    void collatesKanaByReading()
    {
        QFETCH(QLocale, system);
        if (QCollator(QLocale(QLocale::Japanese, QLocale::Japan)).compare(u"ア", u"い") > 0)
            QSKIP("Qt's collation here knows no Japanese (built without ICU, no ja_JP locale)");
        QLocale::setDefault(system);
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        const QStringList lines = {u"001,かぶと,"_qs,   u"002,がけ,"_qs,   u"003,アカネ,"_qs,
                                   u"004,あおぞら,"_qs, u"005,カブト,"_qs, u"006,かき,"_qs};
        // かぶと and カブト stand together; which comes first is the system's: ICU counts them
        // equal (the list's order, last card first) or sets katakana after, Windows before.
        const QString sorted = sortedNumbers(lines, 1, Qt::DescendingOrder);
        QCOMPARE(sorted.sliced(8), u"002 006 003 004"_qs);
        QVERIFY2(sorted.startsWith(u"005 001") || sorted.startsWith(u"001 005"),
                 qPrintable(sorted));
    }

    // A long list makes and sorts its keys in two halves side by side, then merges them: 25,000
    // names, each twice, must still come out in collation order, equal names in list order.
    void sortsLongListsLikeShortOnes()
    {
        const QStringList kana = {u"カブト"_qs, u"あおぞら"_qs, u"がけ"_qs};
        QStringList lines;
        for (int i = 0; i < 50'000; ++i) {
            const int name = i % 25'000 * 7919 % 25'000; // every name twice, scattered
            lines << u"001,%1%2,"_qs.arg(kana[name % 3]).arg(name);
        }
        mdlZorv::loadCardText(lines.join(u"\r\n"));
        mdlZorv::RowList listed(lines.size());
        std::iota(listed.begin(), listed.end(), 0);
        const mdlZorv::RowList sorted = tableSort::sortedRows(
            strMonstarData, listed, tableColumns::monster[1], Qt::AscendingOrder);
        QCOMPARE(sorted.size(), listed.size());
        const QCollator collator = tableSort::textCollator();
        for (size_t i = 1; i < sorted.size(); ++i) {
            const auto name = [&](size_t at) {
                return strMonstarData[mdlZorv::CardField::Name][sorted[at]];
            };
            const int order = collator.compare(name(i - 1), name(i));
            QVERIFY2(order < 0 || (order == 0 && sorted[i - 1] < sorted[i]),
                     qPrintable(name(i - 1) + u" / "_qs + name(i)));
        }
    }

    // Menus name sorts as players say them: numbers and codes small to large, texts by the kana.
    void namesSortsInPlayersWords_data()
    {
        QTest::addColumn<int>("column"); // of the monster columns
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QString>("name");
        QTest::newRow("attack up") << 2 << Qt::AscendingOrder << u"攻撃力の小さい順"_qs;
        QTest::newRow("attack down") << 2 << Qt::DescendingOrder << u"攻撃力の大きい順"_qs;
        QTest::newRow("card number, a code") << 0 << Qt::AscendingOrder << u"番号の小さい順"_qs;
        QTest::newRow("name up") << 1 << Qt::AscendingOrder << u"名前の五十音順"_qs;
        QTest::newRow("effect down") << 9 << Qt::DescendingOrder << u"効果の逆順"_qs;
    }
    void namesSortsInPlayersWords()
    {
        QFETCH(int, column);
        QFETCH(Qt::SortOrder, order);
        QFETCH(QString, name);
        QCOMPARE(tableColumns::sortName(tableColumns::monster[size_t(column)], order), name);
    }

    void quotesFieldsThatWouldBreakColumns_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QString>("tsv");
        QTest::newRow("comma") << u"T,J"_qs << u"\"T,J\""_qs << u"T,J"_qs;
        QTest::newRow("tab") << u"a\tb"_qs << u"a\tb"_qs << u"\"a\tb\""_qs;
        QTest::newRow("quotes doubled")
            << u"\"強\"い"_qs << u"\"\"\"強\"\"い\""_qs << u"\"\"\"強\"\"い\""_qs;
        QTest::newRow("CR") << u"a\rb"_qs << u"\"a\rb\""_qs << u"\"a\rb\""_qs;
        QTest::newRow("LF") << u"a\nb"_qs << u"\"a\nb\""_qs << u"\"a\nb\""_qs;
    }
    void quotesFieldsThatWouldBreakColumns()
    {
        QFETCH(QString, field);
        QFETCH(QString, csv);
        QFETCH(QString, tsv);
        QString written;
        tableExport::appendField(written, field, u',');
        QCOMPARE(written, csv);
        written.clear();
        tableExport::appendField(written, field, u'\t');
        QCOMPARE(written, tsv);
    }

    // Byte-order mark, header, the rows in the order given, CR LF after every line; also when the
    // text is written in several pieces.
    void writesCsv()
    {
        // Without readings given, the 読み column stays empty.
        const QByteArray header = "\xEF\xBB\xBF番号,名前,種類,コスト,ID,効果,デュエリスト,読み\r\n";
        QCOMPARE(csvOf(u"101,鎖,,,罠,,,2,S1,\"強\"い,T,J\r\n102,盾,,,魔法,,,x,S2,,O"_qs, {1, 0}),
                 header + "102,盾,魔法,x,S2,,O,\r\n101,鎖,罠,2,S1,\"\"\"強\"\"い\",\"T,J\",\r\n");
        const QString effect(1000, u'霧');
        const QStringList many(300, u"103,霧,,,儀式,,,1,S3,"_qs + effect + u",T"_qs);
        mdlZorv::RowList rows(300);
        std::iota(rows.begin(), rows.end(), 0);
        QCOMPARE(csvOf(many.join(u"\r\n"), rows),
                 header +
                     (u"103,霧,儀式,1,S3,"_qs + effect + u",T,\r\n"_qs).toUtf8().repeated(300));
    }

    // The 読み column holds the names' readings, where the readings are given.
    void copiesRowsAsTabSeparatedText()
    {
        mdlZorv::loadCardText(u"101,鎖,,,罠,,,2,S1,縛る\t強く,T\r\n102,盾,,,魔法,,,x,S2,,O"_qs);
        const auto dictionary = nameReadings::loadDictionary().dictionary;
        QVERIFY(dictionary);
        const cardFind::ReadingIndex readings(strMagicData, mdlZorv::MagicField::Name, *dictionary);
        QCOMPARE(
            tableExport::clipboardText({strMagicData, &readings}, {1, 0}, tableColumns::magic),
            u"番号\t名前\t種類\tコスト\tID\t効果\tデュエリスト\t読み\n"
            u"102\t盾\t魔法\tx\tS2\t\tO\tたて\n101\t鎖\t罠\t2\tS1\t\"縛る\t強く\"\tT\tくさり\n"_qs);
    }

    // In the HTML of a copy, a card number stays text and a cost is a number only if it reads as
    // one whole; the text is escaped, a line break kept inside its cell.
    void copiesRowsAsHtmlCellsOfTheirKind()
    {
        mdlZorv::loadCardText(u"049,<盾>,,,魔法,,,12,007,守る\n強く,O\r\n050,鎖,,,罠,,,x,S2,,T"_qs);
        const QString html = tableExport::clipboardHtml(strMagicData, {0, 1}, tableColumns::magic);
        const QString text = u"<td style=\"mso-number-format:'\\@'\" sdnum=\"1041;0;@\">"_qs;
        for (const QString &cell :
             {text + u"049</td>"_qs, text + u"&lt;盾&gt;</td>"_qs, text + u"007</td>"_qs,
              u"<td x:num=\"12\" sdval=\"12\" sdnum=\"1041;\">12</td>"_qs, text + u"x</td>"_qs,
              text + u"守る<br style=\"mso-data-placement:same-cell\">強く</td>"_qs})
            QVERIFY2(html.contains(cell), qPrintable(cell));
        QCOMPARE(html.count(u"<tr>"_qs), 3);
    }

    // Every file being read keeps its bytes whichever path leads to it, and a named pipe stays one;
    // any other path gets the CSV. Two files are read here: the card file and one being opened.
    void savesCsvButNeverOverAFileBeingRead_data()
    {
        QTest::addColumn<QString>("target");  // how the path is made from the files being read
        QTest::addColumn<QString>("refusal"); // why it is not saved; empty: saved
        const QString beingRead = u"読み込んでいるカードファイル"_qs;
        QTest::newRow("another file") << u"other.csv"_qs << QString();
        QTest::newRow("the card file") << u"CardData.dat"_qs << beingRead;
        QTest::newRow("another spelling") << u"./sub/../CardData.dat"_qs << beingRead;
        QTest::newRow("the file being opened") << u"Opening.dat"_qs << beingRead;
#ifdef Q_OS_UNIX
        QTest::newRow("symbolic link") << u"symbolic"_qs << beingRead;
        QTest::newRow("hard link") << u"hard"_qs << beingRead;
        QTest::newRow("hard link to the file being opened") << u"hard to opening"_qs << beingRead;
        QTest::newRow("named pipe") << u"pipe"_qs << u"普通のファイルではありません"_qs;
#endif
    }
    void savesCsvButNeverOverAFileBeingRead()
    {
        QFETCH(QString, target);
        QFETCH(QString, refusal);
        const QTemporaryDir dir;
        const QString cardFile = dir.filePath(u"CardData.dat"_qs);
        const QString opening = dir.filePath(u"Opening.dat"_qs);
        const QByteArray cardBytes = testFiles::cardFile({u"101,鎖,,,罠,,,2,S1,,T"_qs});
        const QByteArray openingBytes = testFiles::cardFile({u"103,門,,,魔法,,,4,S3,,J"_qs});
        QVERIFY(testFiles::writeFile(cardFile, cardBytes) &&
                testFiles::writeFile(opening, openingBytes) && QDir(dir.path()).mkdir(u"sub"_qs));
        const QString path = dir.filePath(target);
#ifdef Q_OS_UNIX
        if (target == u"symbolic")
            QVERIFY(QFile::link(cardFile, path));
        if (target.startsWith(u"hard")) {
            const QString linked = target == u"hard" ? cardFile : opening;
            QCOMPARE(::link(QFile::encodeName(linked), QFile::encodeName(path)), 0);
        }
        if (target == u"pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        mdlZorv::loadCardText(u"102,盾,,,魔法,,,1,S2,,O"_qs);
        const QString problem = tableExport::saveCsv(path, {QString(), cardFile, opening},
                                                     strMagicData, {0}, tableColumns::magic);
        QCOMPARE(bytesOf(cardFile), cardBytes);
        QCOMPARE(bytesOf(opening), openingBytes);
        QCOMPARE(QFileInfo(path).isFile(), target != u"pipe");
        if (refusal.isEmpty())
            QCOMPARE(bytesOf(path), csvOf(u"102,盾,,,魔法,,,1,S2,,O"_qs, {0}));
        QVERIFY2(refusal.isEmpty() ? problem.isEmpty()
                                   : problem.startsWith(u"保存できませんでした ("_qs + refusal),
                 qPrintable(problem));
    }

    // A write that fails part-way (no room; here a file size limit) leaves the folder as it was:
    // the old file whole, no temporary one.
    void failedWriteLeavesFilesAsTheyWere()
    {
#ifdef Q_OS_UNIX
        const QTemporaryDir dir;
        const QString path = dir.filePath(u"cards.csv"_qs);
        QVERIFY(testFiles::writeFile(path, "old"));
        mdlZorv::loadCardText(QStringList(100, u"101,鎖,,,罠,,,2,S1,縛る,T"_qs).join(u"\r\n"));
        mdlZorv::RowList rows(100);
        std::iota(rows.begin(), rows.end(), 0);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{1000, old.rlim_max};
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const QString problem =
            tableExport::saveCsv(path, {}, strMagicData, rows, tableColumns::magic);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);
        QVERIFY2(problem.startsWith(u"保存できませんでした ("), qPrintable(problem));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"cards.csv"_qs});
        QCOMPARE(bytesOf(path), QByteArray("old"));
#else
        QSKIP("no file size limit of a process to make a write fail part-way");
#endif
    }

    // The index's folding of one code unit at a time, on the way to its code, is fold's.
    void findsEveryCodeUnitByItsFold()
    {
        QStringList lines;
        for (char16_t unit = 0; unit < 0xFFFF; ++unit) {
            if (unit != u',' && unit != u'\r' && unit != u'\n')
                lines << u"\uffff\uffff\uffff,%1,1,1,獣"_qs.arg(QChar(unit));
        }
        mdlZorv::loadCardText(lines.join(u"\r\n"));
        const cardFind::FindIndex index(strMonstarData, cardFind::monsterFields);
        for (qsizetype row = 0; row < intMonstarCount; ++row) {
            const QString name = strMonstarData[mdlZorv::CardField::Name][row];
            QVERIFY2(index.matches(row, {textFold::fold(name)}), qPrintable(name));
        }
    }

    // Random cards and find texts, typed and taken back keystroke by keystroke, over all rows
    // or some: the rows found are those a plain fold of each field gives, and with readings, those
    // and the rows whose name reads so.
    void findsWhatEachFoldedFieldHolds()
    {
        QVERIFY2(readingDictionary().dictionary, qPrintable(readingDictionary().problem));
        std::mt19937 random(1);
        for (int round = 0; round < 300; ++round) {
            QStringList lines;
            for (int row = 0; row < 8; ++row) {
                lines << u"%1,%2,1,1,獣,,1,1,I,%3,T"_qs.arg(
                    randomText(random, 3), randomText(random, 6), randomText(random, 9));
            }
            QString others; // so many that these characters get codes of every length
            for (quint32 n = random() % 1200; n > 0; --n)
                others += QString(1 + random() % 9, QChar(0x4e00 + n));
            lines << u"000,,1,1,獣,,1,1,I,%1,T"_qs.arg(others);
            mdlZorv::loadCardText(lines.join(u"\r\n"));
            const cardFind::FindIndex index(strMonstarData, cardFind::monsterFields);
            const cardFind::ReadingIndex readings(strMonstarData, mdlZorv::CardField::Name,
                                                  *readingDictionary().dictionary);
            cardFind::Narrowing narrowing(index);
            cardFind::Narrowing byReading(index, &readings);
            mdlZorv::RowList rows(static_cast<size_t>(intMonstarCount));
            std::iota(rows.begin(), rows.end(), 0);
            const QString find = randomFindText(random);
            for (qsizetype key = 1; key < 2 * find.size(); ++key) {
                const QStringList words =
                    textFold::words(find.first(std::min(key, 2 * find.size() - key)));
                if (random() % 8 == 0)
                    std::erase_if(rows, [&](qsizetype) { return random() % 3 == 0; });
                QVERIFY2(narrowing.narrow(rows, words) == plainFind(rows, words), qPrintable(find));
                QVERIFY2(byReading.narrow(rows, words) == plainFind(rows, words, true),
                         qPrintable(find));
                std::shuffle(rows.begin(), rows.end(), random);
                QVERIFY2(index.narrow(rows, words) == plainFind(rows, words), qPrintable(find));
                std::sort(rows.begin(), rows.end());
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_cardRules)
#include "tst_cardRules.moc"
