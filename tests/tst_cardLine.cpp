#include "card_data/cardLine.h"

#include <QTest>

using namespace mdlZorv;

namespace {

QStringList fieldsOf(const QString &line)
{
    const FieldBounds bounds = cutLine(line);
    QStringList fields;
    for (int field = firstField; field <= lastField; ++field)
        fields << bounds.field(line, field).toString();
    return fields;
}

QStringList split(const QString &fields)
{
    return fields.split(u'|');
}

} // namespace

class tst_cardLine final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cutsLineIntoElevenFields_data();
    void cutsLineIntoElevenFields();
    void routesOnlyExactKindsToMagic_data();
    void routesOnlyExactKindsToMagic();
};

void tst_cardLine::cutsLineIntoElevenFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fields"); // the eleven fields joined by |

    QTest::newRow("ten commas") << QStringLiteral("001,A,1,2,T,M,3,4,I,E,D")
                                << QStringLiteral("001|A|1|2|T|M|3|4|I|E|D");
    QTest::newRow("eleven commas keep the last comma in field 11")
        << QStringLiteral("001,A,1,2,T,M,3,4,I,E,D,X")
        << QStringLiteral("001|A|1|2|T|M|3|4|I|E|D,X");
    QTest::newRow("too few commas lose the tail")
        << QStringLiteral("001,A,B") << QStringLiteral("001|A|||||||||");
    QTest::newRow("empty line") << QString() << QStringLiteral("||||||||||");
    QTest::newRow("four-character number shifts fields")
        << QStringLiteral("0001,A,1,2,T,M,3,4,I,E,D") << QStringLiteral("000||A|1|2|T|M|3|4|I|E,D");
    QTest::newRow("short line is field 1")
        << QStringLiteral("ab") << QStringLiteral("ab||||||||||");
    QTest::newRow("fourth character skipped unexamined")
        << QStringLiteral("001XA,1,2,T,M,3,4,I,E,D") << QStringLiteral("001|A|1|2|T|M|3|4|I|E|D");
    QTest::newRow("blanks and quotes belong to fields")
        << QStringLiteral("001, \"A\" ,1,2,T,M,3,4,I,E,D")
        << QStringLiteral("001| \"A\" |1|2|T|M|3|4|I|E|D");
    QTest::newRow("full-width comma is ordinary") << QStringLiteral("001,A，B,1,2,T,M,3,4,I,E,D")
                                                  << QStringLiteral("001|A，B|1|2|T|M|3|4|I|E|D");
    QTest::newRow("missing comma moves the scan one on")
        << QStringLiteral("001,A,BCDEFGHIJKLMNOPQ") << QStringLiteral("001|A|||||||||JKLMNOPQ");
    QTest::newRow("surrogate pairs in field 1 are one character each")
        << QStringLiteral("😀😀😀,A,1,2,T,M,3,4,I,E,D") << QStringLiteral("😀😀😀|A|1|2|T|M|3|4|I|E|D");
    QTest::newRow("a surrogate pair as the separator is skipped whole")
        << QStringLiteral("001😀A,1,2,T,M,3,4,I,E,D") << QStringLiteral("001|A|1|2|T|M|3|4|I|E|D");
}

void tst_cardLine::cutsLineIntoElevenFields()
{
    QFETCH(QString, line);
    QFETCH(QString, fields);
    QCOMPARE(fieldsOf(line), split(fields));
}

void tst_cardLine::routesOnlyExactKindsToMagic_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("magic");

    QTest::newRow("magic") << QStringLiteral("魔法") << true;
    QTest::newRow("trap") << QStringLiteral("罠") << true;
    QTest::newRow("ritual") << QStringLiteral("儀式") << true;
    QTest::newRow("trailing blank") << QStringLiteral("魔法 ") << false;
    QTest::newRow("leading ideographic space") << QStringLiteral("\u3000罠") << false;
    QTest::newRow("katakana look-alike") << QStringLiteral("魔ホウ") << false;
}

void tst_cardLine::routesOnlyExactKindsToMagic()
{
    QFETCH(QString, type);
    QFETCH(bool, magic);
    QCOMPARE(isMagicKind(type), magic);
}

QTEST_GUILESS_MAIN(tst_cardLine)
#include "tst_cardLine.moc"
