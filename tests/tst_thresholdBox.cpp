#include "search_window/thresholdBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

class tst_thresholdBox final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptiedShowsZero();
    void enterIsReportedOnReleaseOnly();
};

void tst_thresholdBox::emptiedShowsZero()
{
    ThresholdBox box(nullptr, 4, ThresholdBox::InputMethod::On);
    QCOMPARE(box.text(), u"0"_qs);
    for (const QString &blank : {QString(), u"  "_qs}) {
        box.setText(u"12"_qs);
        box.setText(blank);
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
