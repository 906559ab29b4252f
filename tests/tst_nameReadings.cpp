// The readings of card names, finding cards by reading and in romaji, and sorting by reading,
// with the dictionary the build makes (beside this program, as beside the program itself).

#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "card_rules/nameReadings.h"
#include "card_rules/readingIndex.h"
#include "card_rules/romaji.h"
#include "card_rules/tableSort.h"
#include "card_rules/textFold.h"
#include "plainReadingKeys.h"
#include "testFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <numeric>
#include <random>

using mdlZorv::strMonstarData;

namespace {

nameReadings::LoadedDictionary &loaded()
{
    static nameReadings::LoadedDictionary dictionary = nameReadings::loadDictionary();
    return dictionary;
}

const nameReadings::Dictionary &dictionary()
{
    return *loaded().dictionary;
}

// Whether the word, typed as a player types it, finds the name by one of its readings.
bool readsAs(QStringView name, const QString &typed)
{
    nameReadings::Reader reader(dictionary());
    return plainReadingKeys::holds(plainReadingKeys::keys(reader, name),
                                   nameReadings::findKey(textFold::fold(typed)));
}

QString keyText(const std::string &key)
{
    return nameReadings::readingText(key).replace(QChar(0x3040 + nameReadings::keyBreak), u'|');
}

QString numbersOf(const mdlZorv::RowList &rows)
{
    QStringList numbers;
    for (const qsizetype row : rows)
        numbers << strMonstarData[mdlZorv::CardField::Number][row];
    return numbers.isEmpty() ? u"-"_qs : numbers.join(u' ');
}

// Monsters of the given names, numbered from 001 (a thousand on, 000 and on again).
void loadNames(const QStringList &names)
{
    QStringList lines;
    for (qsizetype i = 0; i < names.size(); ++i)
        lines << u"%1,%2,1,1,獣,,1,1,I,,T"_qs.arg((i + 1) % 1000, 3, 10, QChar(u'0')).arg(names[i]);
    mdlZorv::loadCardText(lines.join(u"\r\n"));
}

QByteArray dictionaryBytes()
{
    QFile file(nameReadings::defaultDictionaryPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_nameReadings final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(loaded().dictionary, qPrintable(loaded().problem)); }

    // Invented card names and the readings players give them. The first reading is the one
    // shown; a name misread there (wrongly) must still be found by each word of its right
    // reading.
    void readsNamesAsPlayersDo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QStringList>("words"); // the words of it that players type apart
        QTest::addColumn<QString>("wrongly");   // why the reading shown is another, or empty
        QTest::addColumn<bool>("found");        // by each of the words
        const QString voiced = u"the voicing of a compound's second word is not derived"_qs;
        const QString ranked = u"the dictionary ranks another reading of the word first"_qs;
        const QString unknown = u"an unknown word is read on first, and わにおう is no reading"_qs;
        const struct
        {
            const char16_t *name, *reading, *wrongly;
        } names[] = {
            {u"白翼の歌い手", u"はくよくのうたいて", u""},
            {u"燐光の鍛冶師", u"りんこうのかじし", u""},
            {u"雪原の狼", u"せつげんのおおかみ", u""},
            {u"黄昏の竜騎士", u"たそがれのりゅうきし", u""},
            {u"暁の大熊", u"あかつきのおおぐま", u"voiced"},
            {u"硝子の盾", u"がらすのたて", u""},
            {u"鋼鉄の巨兵", u"こうてつのきょへい", u""},
            {u"紅蓮の火竜", u"ぐれんのかりゅう", u""},
            {u"岩鱗の大蜥蜴", u"がんりんのおおとかげ", u"an unknown word is read on first: だい"},
            {u"月夜の人魚", u"つきよのにんぎょ", u""},
            {u"流浪の騎士", u"るろうのきし", u""},
            {u"星読みの賢者", u"ほしよみのけんじゃ", u""},
            {u"深淵の魔公", u"しんえんのまこう", u""},
            {u"潮騒の歌姫", u"しおさいのうたひめ", u""},
            {u"棘の樹人", u"とげのじゅじん", u""},
            {u"古代の守護者", u"こだいのしゅごしゃ", u""},
            {u"見えざる落とし穴", u"みえざるおとしあな", u""},
            {u"鏡の盾", u"かがみのたて", u""},
            {u"光の雨", u"ひかりのあめ", u""},
            {u"聖なる伝令", u"せいなる でんれい", u"ranked"},
            {u"癒し手の祈り", u"いやしてのいのり", u""},
            {u"歯車の番犬", u"はぐるまのばんけん", u""},
            {u"蛇竜の巣", u"じゃりゅうのす", u""},
            {u"山猫の爪", u"やまねこのつめ", u""},
            {u"双剣の剣士", u"そうけんのけんし", u""},
            {u"盾持ちの戦士", u"たてもちのせんし", u""},
            {u"仮面の道化師", u"かめんのどうけし", u""},
            {u"嘆きの亡霊", u"なげきのぼうれい", u""},
            {u"泉の乙女", u"いずみのおとめ", u""},
            {u"渦巻く海竜", u"うずまくかいりゅう", u""},
            {u"根張りの大樹", u"ねばりのたいじゅ", u"voiced"},
            {u"苔むした巨像", u"こけむしたきょぞう", u""},
            {u"花咲く妖精", u"はなさくようせい", u""},
            {u"呼び戻す鎖", u"よびもどすくさり", u""},
            {u"氷河の大蛇", u"ひょうがのだいじゃ", u""},
            {u"黒炎の悪魔", u"こくえんのあくま", u""},
            {u"霧の魔女", u"きりのまじょ", u""},
            {u"砂漠の蠍", u"さばくのさそり", u""},
            {u"沼地の鰐王", u"ぬまちのわにおう", u"unknown"},
            {u"森の番人", u"もりのばんにん", u""},
            {u"夜明けの鐘", u"よあけのかね", u""},
            {u"影縫いの忍", u"かげぬいのしのび", u"ranked"},
            {u"灼熱の獅子", u"しゃくねつのしし", u""},
            {u"氷結の槍兵", u"ひょうけつのそうへい", u""},
            {u"稲妻の剣", u"いなずまのつるぎ", u"the dictionary writes いなづま"},
            {u"千年の竜", u"せんねんのりゅう", u"ranked"},
            {u"三日月の弓", u"みかづきのゆみ", u""},
            {u"天空の城塞", u"てんくうのじょうさい", u""},
            {u"紫電の騎兵", u"しでんのきへい", u""},
            {u"銀色の狐", u"ぎんいろのきつね", u""},
            {u"炎の精霊", u"ほのおのせいれい", u""},
            {u"水晶の王冠", u"すいしょうのおうかん", u""},
            {u"人々の祈り", u"ひとびとのいのり", u""},
            {u"時々の風", u"ときどきのかぜ", u""},
            {u"闇夜の鴉", u"やみよのからす", u""},
            {u"鋼の巨人", u"はがねのきょじん", u""},
            {u"紅の翼", u"くれないのつばさ", u""},
            {u"碧眼の魔術師", u"へきがんのまじゅつし", u""},
            {u"骸骨の兵士", u"がいこつのへいし", u""},
            {u"月光の舞姫", u"げっこうのまいひめ", u""},
            {u"業火の魔神", u"ごうかのまじん", u""},
            {u"小さな守り神", u"ちいさなまもりがみ", u"voiced"},
            {u"くらげ姫", u"くらげひめ", u""},
            {u"かじき丸", u"かじきまる", u""},
            {u"ドラゴンの子", u"ドラゴンのこ", u""},
            {u"ﾄﾞﾗｺﾞﾝの卵", u"ドラゴンのたまご", u""},
            {u"ABCの竜", u"abcのりゅう", u""},
        };
        for (const auto &[name, reading, wrongly] : names) {
            const QStringView why(wrongly);
            const QString text = QString::fromUtf16(name);
            QString words = QString::fromUtf16(reading);
            if (text.count(u'の') == words.count(u'の'))
                words.replace(u'の', u' ');
            QTest::newRow(text.toUtf8().constData())
                << text << QString::fromUtf16(reading).remove(u' ')
                << words.split(u' ', Qt::SkipEmptyParts)
                << (why == u"voiced"    ? voiced
                    : why == u"ranked"  ? ranked
                    : why == u"unknown" ? unknown
                                        : why.toString())
                << (why != u"unknown");
        }
    }
    void readsNamesAsPlayersDo()
    {
        QFETCH(QString, name);
        QFETCH(QString, reading);
        QFETCH(QStringList, words);
        QFETCH(QString, wrongly);
        QFETCH(bool, found);
        const QStringList readings = nameReadings::readings(dictionary(), name);
        QVERIFY(!readings.isEmpty() && readings.size() <= nameReadings::mostReadings);
        const bool latin = reading.front().unicode() < 0x80;
        const bool byEveryWord = std::all_of(words.begin(), words.end(), [&](const QString &word) {
            return latin || readsAs(name, word);
        });
        if (!found)
            QEXPECT_FAIL("", qPrintable(wrongly), Continue);
        QVERIFY2(byEveryWord, qPrintable(readings.join(u" / ")));
        if (!wrongly.isEmpty())
            QEXPECT_FAIL("", qPrintable(wrongly), Continue);
        QCOMPARE(readings.front(), reading);
    }

    // Words the dictionary does not know are read by their kanji, both ways; words it knows by
    // its readings and by their kanji's kun readings; "々" repeats the kanji before; a kanji it
    // knows nothing of stays.
    void readsUnknownWordsByTheirKanji_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("among"); // readings among the name's, the first first
        QTest::newRow("unknown compound")
            << u"白翼"_qs << QStringList{u"はくよく"_qs, u"しろつばさ"_qs};
        QTest::newRow("unknown, three kanji") << u"蒼炎竜"_qs << QStringList{u"そうえんりゅう"_qs};
        QTest::newRow("known word, also by kun")
            << u"雪原"_qs << QStringList{u"せつげん"_qs, u"ゆきはら"_qs};
        QTest::newRow("a word and a kanji") << u"鍛冶師"_qs << QStringList{u"かじし"_qs};
        QTest::newRow("repeated kanji") << u"翼々"_qs << QStringList{u"よくよく"_qs};
        QTest::newRow("okurigana") << u"癒し"_qs << QStringList{u"いやし"_qs};
        QTest::newRow("unknown kanji") << u"鿂の竜"_qs << QStringList{u"鿂のりゅう"_qs};
        QTest::newRow("kana only") << u"かーど"_qs << QStringList{u"かーど"_qs};
    }
    void readsUnknownWordsByTheirKanji()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, among);
        const QStringList readings = nameReadings::readings(dictionary(), name);
        QCOMPARE(readings.front(), among.front());
        for (const QString &reading : std::as_const(among))
            QVERIFY2(readings.contains(reading), qPrintable(readings.join(u" / ")));
    }

    void readsRomajiAsKana_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kana"); // empty: no romaji
        const QStringList cases = {
            u"ryukishi りゅきし"_qs,
            u"kotetsu こてつ"_qs,
            u"shi し"_qs,
            u"si し"_qs,
            u"tsu つ"_qs,
            u"tu つ"_qs,
            u"chi ち"_qs,
            u"ti ち"_qs,
            u"fu ふ"_qs,
            u"hu ふ"_qs,
            u"ji じ"_qs,
            u"zi じ"_qs,
            u"jya じゃ"_qs,
            u"zya じゃ"_qs,
            u"ja じゃ"_qs,
            u"kanna かんな"_qs,
            u"kannna かんな"_qs,
            u"konnichiha こんにちは"_qs,
            u"kan'i かんい"_qs,
            u"kan かん"_qs,
            u"kanji かんじ"_qs,
            u"xtu っ"_qs,
            u"ltsu っ"_qs,
            u"kakko かっこ"_qs,
            u"matcha まっちゃ"_qs,
            u"shimbun しんぶん"_qs,
            u"ko-do こーど"_qs,
            u"ryūkishi りゅーきし"_qs,
            u"xya ゃ"_qs,
            u"wo を"_qs,
            u"vu ゔ"_qs,
            u"ryuk"_qs,
            u"dark"_qs,
            u"abc"_qs,
            u"k"_qs,
            u"q"_qs,
        };
        for (const QString &row : cases) {
            const QStringList parts = row.split(u' ');
            QTest::newRow(parts[0].toUtf8().constData()) << parts[0] << parts.value(1);
        }
    }
    void readsRomajiAsKana()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kana);
        QCOMPARE(romaji::toKana(typed), kana);
    }

    // The key forgives voicing, small kana, long vowels and the kind of kana, on both sides.
    void foldsReadingsToTolerantKeys_data()
    {
        QTest::addColumn<QString>("typed"); // a find word
        QTest::addColumn<QString>("key");   // empty: not found by reading
        QTest::newRow("voiced") << u"おおぐま"_qs << u"おくま"_qs;
        QTest::newRow("katakana") << u"オオクマ"_qs << u"おくま"_qs;
        QTest::newRow("half-width") << u"ｵｵｸﾞﾏ"_qs << u"おくま"_qs;
        QTest::newRow("ou, uu, ー") << u"りゅうこーくうう"_qs << u"りゆこく"_qs;
        QTest::newRow("small kana") << u"きゃっと"_qs << u"きやつと"_qs;
        QTest::newRow("ji, di") << u"じぢずづ"_qs << u"ししすす"_qs;
        QTest::newRow("o after a, not dropped") << u"かお"_qs << u"かお"_qs;
        QTest::newRow("romaji") << u"Ryukishi"_qs << u"りゆきし"_qs;
        QTest::newRow("kanji") << u"竜"_qs << QString();
        QTest::newRow("kana and kanji") << u"かじ師"_qs << QString();
        QTest::newRow("long mark alone") << u"ー"_qs << QString();
        QTest::newRow("middle dot") << u"か・じ"_qs << QString();
    }
    void foldsReadingsToTolerantKeys()
    {
        QFETCH(QString, typed);
        QFETCH(QString, key);
        QCOMPARE(keyText(nameReadings::findKey(textFold::fold(typed))), key);
    }

    // A word in kana or romaji also finds the cards whose name reads so; every word must match,
    // each in the texts or by reading.
    void findsByReading_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("found");
        QTest::newRow("かじ: read and written") << u"かじ"_qs << u"001 002 003"_qs;
        QTest::newRow("katakana") << u"カジシ"_qs << u"001 002"_qs;
        QTest::newRow("half-width") << u"ｶｼﾞ"_qs << u"001 002 003"_qs;
        QTest::newRow("kun reading") << u"ゆきはら"_qs << u"004"_qs;
        QTest::newRow("on reading") << u"せつげん"_qs << u"004"_qs;
        QTest::newRow("romaji, no long vowels") << u"ryukishi"_qs << u"005"_qs;
        QTest::newRow("voiced either way") << u"おおぐま"_qs << u"006"_qs;
        QTest::newRow("words literal and by reading") << u"りんこう 001"_qs << u"001"_qs;
        QTest::newRow("every word must match") << u"りんこう ゆきはら"_qs << u"-"_qs;
        QTest::newRow("kanji: literal only") << u"鍛冶"_qs << u"001 002"_qs;
        QTest::newRow("Latin, literal as before") << u"ab"_qs << u"007"_qs;
        QTest::newRow("no such reading") << u"かじきし"_qs << u"-"_qs;
        QTest::newRow("long vowels across kana and kanji") << u"どらごおうこく"_qs << u"008"_qs;
        QTest::newRow("a word after one ending in o") << u"おおかみ"_qs << u"004 009"_qs;
        QTest::newRow("both words as one") << u"どらごおおかみ"_qs << u"009"_qs;
    }
    void findsByReading()
    {
        QFETCH(QString, find);
        QFETCH(QString, found);
        loadNames({u"燐光の鍛冶師"_qs, u"鍛冶師"_qs, u"かじき丸"_qs, u"雪原の狼"_qs,
                   u"黄昏の竜騎士"_qs, u"暁の大熊"_qs, u"ABCの竜"_qs, u"ドラゴー王国"_qs,
                   u"ドラゴ狼"_qs});
        const cardFind::FindIndex index(strMonstarData, cardFind::monsterFields);
        const cardFind::ReadingIndex readings(strMonstarData, mdlZorv::CardField::Name,
                                              dictionary());
        cardFind::Narrowing narrowing(index, &readings);
        mdlZorv::RowList rows(9);
        std::iota(rows.begin(), rows.end(), 0);
        QCOMPARE(numbersOf(narrowing.narrow(rows, textFold::words(find))), found);
        QCOMPARE(readings.reading(0), u"りんこうのかじし"_qs);
        QCOMPARE(readings.reading(9), QString());
    }

    // Typing a word narrows the last result where that gives the same rows as a search afresh:
    // not after a lone vowel, which a reading's key may leave out where longer words find it.
    void findsByReadingKeystrokeByKeystroke_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("a vowel left out") << u"おおかみ"_qs;
        QTest::newRow("romaji") << u"ryukishi"_qs;
        QTest::newRow("two words") << u"かじ りん"_qs;
    }
    void findsByReadingKeystrokeByKeystroke()
    {
        QFETCH(QString, typed);
        loadNames({u"雪原の狼"_qs, u"黄昏の竜騎士"_qs, u"燐光の鍛冶師"_qs, u"おかみ"_qs});
        const cardFind::FindIndex index(strMonstarData, cardFind::monsterFields);
        const cardFind::ReadingIndex readings(strMonstarData, mdlZorv::CardField::Name,
                                              dictionary());
        cardFind::Narrowing narrowing(index, &readings);
        const mdlZorv::RowList rows = {0, 1, 2, 3};
        for (qsizetype length = 1; length <= typed.size(); ++length) {
            const QStringList words = textFold::words(typed.first(length));
            cardFind::Narrowing afresh(index, &readings);
            QCOMPARE(numbersOf(narrowing.narrow(rows, words)),
                     numbersOf(afresh.narrow(rows, words)));
        }
    }

    // A long table is read in two halves side by side and joined: every row as in a short one.
    void readsLongTablesAsShortOnes()
    {
        const QStringList names = {u"燐光の鍛冶師"_qs, u"雪原の狼"_qs,     u"ﾄﾞﾗｺﾞﾝ"_qs,  QString(),
                                   u"黄昏の竜騎士"_qs, u"白翼の歌い手"_qs, u"かじき丸"_qs};
        QStringList many;
        for (qsizetype row = 0; row < 30'001; ++row)
            many << names[row * 5 % names.size()];
        loadNames(many);
        const cardFind::ReadingIndex readings(strMonstarData, mdlZorv::CardField::Name,
                                              dictionary());
        mdlZorv::RowList rows(many.size());
        std::iota(rows.begin(), rows.end(), 0);
        for (const QString &word : {u"かじ"_qs, u"ryukishi"_qs, u"どらごん"_qs}) {
            const std::string key = nameReadings::findKey(textFold::fold(word));
            mdlZorv::RowList expected;
            std::copy_if(rows.begin(), rows.end(), std::back_inserter(expected),
                         [&](quint32 row) { return readsAs(many[row], word); });
            QVERIFY2(readings.narrow(rows, key) == expected, qPrintable(word));
        }
        for (const quint32 row : rows) {
            QCOMPARE(readings.reading(row),
                     nameReadings::readings(dictionary(), many[row]).value(0));
        }
    }

    // Names in 五十音 order by their reading, kana names by their kana; equal readings keep the
    // list's order whichever the direction.
    void sortsNamesByReading_data()
    {
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<QString>("expected");
        QTest::newRow("up") << Qt::AscendingOrder << u"002 005 003 006 001 004"_qs;
        QTest::newRow("down") << Qt::DescendingOrder << u"004 001 006 005 003 002"_qs;
    }
    void sortsNamesByReading()
    {
        QFETCH(Qt::SortOrder, order);
        QFETCH(QString, expected);
        if (QCollator(QLocale(QLocale::Japanese, QLocale::Japan)).compare(u"ア", u"い") > 0)
            QSKIP("Qt's collation here knows no Japanese (built without ICU, no ja_JP locale)");
        // りんこう, あかつき, かじし, わに, かじし, ゆき
        loadNames({u"燐光"_qs, u"暁"_qs, u"鍛冶師"_qs, u"鰐"_qs, u"かじし"_qs, u"雪"_qs});
        const cardFind::ReadingIndex readings(strMonstarData, mdlZorv::CardField::Name,
                                              dictionary());
        const tableSort::ColumnOrder byReading(
            mdlZorv::intMonstarCount, [&](qsizetype row) { return readings.reading(row); });
        QCOMPARE(numbersOf(byReading.sorted({1, 4, 2, 0, 5, 3}, order)), expected);
        // Rows of a longer table read since go last, in the list's order, never out of bounds.
        const mdlZorv::RowList longer = byReading.sorted({7, 1, 4, 2, 0, 6, 5, 3}, order);
        QCOMPARE(longer.size(), size_t(8));
        QCOMPARE(numbersOf({longer.begin(), longer.begin() + 6}), expected);
        QCOMPARE(longer[6], 7U);
        QCOMPARE(longer[7], 6U);
    }

    // A damaged dictionary file gives no dictionary and a problem, never a crash; nor does a
    // byte changed anywhere (then the file may still read, and must read names safely).
    void refusesDamagedDictionaries_data()
    {
        QTest::addColumn<int>("cut");   // bytes kept, or -1 for all
        QTest::addColumn<int>("place"); // of a byte set to value, or -1
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << 0 << -1 << 0;
        QTest::newRow("header only") << 24 << -1 << 0;
        QTest::newRow("cut short") << 1'000'000 << -1 << 0;
        QTest::newRow("another file") << -1 << 0 << int('X');
        QTest::newRow("unit count changed") << -1 << 12 << 0xFF;
        QTest::newRow("word offset past the end") << -1 << 31 << 0x7F;
        QTest::newRow("not a kana") << -1 << -2 << 0x7F; // the last byte
    }
    void refusesDamagedDictionaries()
    {
        QFETCH(int, cut);
        QFETCH(int, place);
        QFETCH(int, value);
        QByteArray bytes = dictionaryBytes();
        if (cut >= 0)
            bytes.truncate(cut);
        if (place != -1)
            bytes[place >= 0 ? place : bytes.size() + place + 1] = char(value);
        QString problem;
        QVERIFY(!nameReadings::Dictionary::fromBytes(bytes, problem));
        QVERIFY2(problem.startsWith(u"読みの辞書が壊れています"), qPrintable(problem));
    }
    void survivesAnyChangedByte()
    {
        const QByteArray good = dictionaryBytes();
        std::mt19937 random(3);
        for (int round = 0; round < 40; ++round) {
            QByteArray bytes = good;
            bytes[qsizetype(random() % quint32(bytes.size()))] = char(random());
            QString problem;
            const auto changed = nameReadings::Dictionary::fromBytes(bytes, problem);
            if (changed)
                QVERIFY(!nameReadings::readings(*changed, u"燐光の鍛冶師々").isEmpty());
        }
    }

    void reportsMissingDictionary()
    {
        const QTemporaryDir dir;
        const nameReadings::LoadedDictionary none =
            nameReadings::loadDictionary(dir.filePath(u"NameReadings.dat"_qs));
        QVERIFY(!none.dictionary);
        QVERIFY2(none.problem.contains(u"NameReadings.dat"), qPrintable(none.problem));
    }
};

QTEST_GUILESS_MAIN(tst_nameReadings)
#include "tst_nameReadings.moc"
