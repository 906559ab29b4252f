#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"

#include <QTest>

using namespace mdlZorv;

class tst_cardFind final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsCardsHoldingEveryWord_data();
    void findsCardsHoldingEveryWord();
};

void tst_cardFind::findsCardsHoldingEveryWord_data()
{
    QTest::addColumn<QString>("line"); // one card
    QTest::addColumn<QString>("find");
    QTest::addColumn<bool>("found");

    const QString dragon = u"012,ドラゴンの子ABC,1,1,竜,,1,1,I,墓地から戻る,T"_qs;
    QTest::newRow("no words") << dragon << u"  　"_qs << true;
    QTest::newRow("half-width katakana") << dragon << u"ﾄﾞﾗｺﾞﾝ"_qs << true;
    QTest::newRow("hiragana for katakana") << dragon << u"どらごん"_qs << true;
    QTest::newRow("full-width letters, any case") << dragon << u"ａｂｃ"_qs << true;
    QTest::newRow("full-width digits in the number") << dragon << u"０１２"_qs << true;
    QTest::newRow("effect text only") << dragon << u"墓地"_qs << true;
    QTest::newRow("every word, blanks of both widths") << dragon << u"子 墓地　abc"_qs << true;
    QTest::newRow("one word missing") << dragon << u"子 天使"_qs << false;
    QTest::newRow("not a pattern") << dragon << u"ド.*"_qs << false;
    QTest::newRow("a word never spans two fields") << dragon << u"ABC墓"_qs << false;
    QTest::newRow("other fields are not looked at") << dragon << u"竜"_qs << false;
}

void tst_cardFind::findsCardsHoldingEveryWord()
{
    QFETCH(QString, line);
    QFETCH(QString, find);
    QFETCH(bool, found);
    loadCardText(line);
    const cardFind::FindIndex index(strMonstarData,
                                    {CardField::Number, CardField::Name, CardField::Effect});
    QCOMPARE(index.matches(0, cardFind::words(find)), found);
}

QTEST_GUILESS_MAIN(tst_cardFind)
#include "tst_cardFind.moc"
