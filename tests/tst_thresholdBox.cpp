#include "search_window/thresholdBox.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

class tst_thresholdBox final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entersDigitsOnly_data();
    void entersDigitsOnly();
    void compositionTakesThePlaceOfTheSelection();
    void enterIsReportedOnReleaseOnly();
};

void tst_thresholdBox::entersDigitsOnly_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("typed"); // over the selected "0"; \b: backspace; \v: paste the rest
    QTest::addColumn<QString>("expected");

    QTest::newRow("letters dropped") << 4 << u"ab"_qs << u"0"_qs;
    QTest::newRow("digits replace the 0") << 4 << u"1x2"_qs << u"12"_qs;
    QTest::newRow("full-width digits") << 3 << u"１２"_qs << u"12"_qs;
    QTest::newRow("the limit") << 3 << u"12345"_qs << u"123"_qs;
    QTest::newRow("full-width digits to the limit") << 4 << u"１２３４５"_qs << u"1234"_qs;
    QTest::newRow("emptied shows 0") << 4 << u"7\b"_qs << u"0"_qs;
    QTest::newRow("paste with a leading blank") << 4 << u"\v 12"_qs << u"12"_qs;
    QTest::newRow("paste of full-width digits") << 4 << u"\v１２3"_qs << u"123"_qs;
    QTest::newRow("paste: the limit counts digits") << 3 << u"\vコスト１2"_qs << u"12"_qs;
    const QString digits(40'000, u'7');
    QTest::newRow("paste of 40,000 digits") << ThresholdBox::noLimit << u"\v"_qs + digits << digits;
}

void tst_thresholdBox::entersDigitsOnly()
{
    QFETCH(int, limit);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    ThresholdBox box(nullptr, limit, ThresholdBox::InputMethod::On);
    box.selectAll();
    if (typed.startsWith(u'\v')) {
        QApplication::clipboard()->setText(typed.mid(1));
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        typed.clear();
    }
    for (const QChar c : typed) { // keyClicks sends Latin-1 only
        QKeyEvent press(QEvent::KeyPress, c == u'\b' ? Qt::Key_Backspace : 0, Qt::NoModifier,
                        QString(c));
        QApplication::sendEvent(&box, &press);
    }
    QCOMPARE(box.text(), expected);
}

// The platform is told whether to use an input method; a composition replaces the selected "0"
// at once, its commit enters its digits, and one given up leaves "0".
void tst_thresholdBox::compositionTakesThePlaceOfTheSelection()
{
    for (const auto inputMethod : {ThresholdBox::InputMethod::On, ThresholdBox::InputMethod::Off}) {
        ThresholdBox box(nullptr, 4, inputMethod);
        QCOMPARE(box.inputMethodQuery(Qt::ImEnabled).toBool(),
                 inputMethod == ThresholdBox::InputMethod::On);
        box.selectAll();
        QInputMethodEvent composing(u"１"_qs, {});
        QApplication::sendEvent(&box, &composing);
        QCOMPARE(box.text(), QString());
        QInputMethodEvent commit;
        commit.setCommitString(u"７８ｘ"_qs);
        QApplication::sendEvent(&box, &commit);
        QCOMPARE(box.text(), u"78"_qs);
        box.selectAll();
        QApplication::sendEvent(&box, &composing);
        QInputMethodEvent givenUp;
        QApplication::sendEvent(&box, &givenUp);
        QCOMPARE(box.text(), u"0"_qs);
    }
}

void tst_thresholdBox::enterIsReportedOnReleaseOnly()
{
    ThresholdBox box(nullptr, 4, ThresholdBox::InputMethod::Off);
    QSignalSpy entered(&box, &ThresholdBox::entered);
    QTest::keyPress(&box, Qt::Key_Return);
    QCOMPARE(entered.count(), 0);
    QTest::keyRelease(&box, Qt::Key_Return);
    QTest::keyRelease(&box, Qt::Key_Enter, Qt::KeypadModifier);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&box, &repeated);
    QTest::keyRelease(&box, Qt::Key_A);
    QCOMPARE(entered.count(), 2);
}

QTEST_MAIN(tst_thresholdBox)
#include "tst_thresholdBox.moc"
