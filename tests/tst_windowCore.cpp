// The window's workings that need no window: the arithmetic of its layout.

#include "search_window/windowLayout.h"

#include <QTest>

class tst_windowCore final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sharesHeightBetweenListAndDetails_data()
    {
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("details");
        QTest::newRow("default") << 0 << 280 << 82;
        QTest::newRow("odd pixel to the list") << 11 << 286 << 87;
        QTest::newRow("lower") << -10 << 275 << 77;
        QTest::newRow("details at its least") << -100 << 217 << 45;
        QTest::newRow("both at their least") << -400 << 40 << 45;
    }
    void sharesHeightBetweenListAndDetails()
    {
        QFETCH(int, extra);
        QFETCH(int, list);
        QFETCH(int, details);
        QCOMPARE(windowLayout::shareHeight(280, 82, extra, 40, 45), std::pair(list, details));
    }

    void placesTheWindowOnAScreenThatExists_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("expected");
        const QRect left(0, 0, 1366, 728), right(1366, 0, 1920, 1040); // available areas
        QTest::newRow("where it was") << QRect(1500, 100, 800, 600) << QRect(1500, 100, 800, 600);
        QTest::newRow("on a screen now gone: default size, centred")
            << QRect(4000, 100, 800, 600) << QRect(511, 111, 344, 505);
        QTest::newRow("never saved") << QRect() << QRect(511, 111, 344, 505);
        QTest::newRow("taller than its screen")
            << QRect(100, 50, 400, 900) << QRect(100, 30, 400, 694);
        QTest::newRow("wider than its screen")
            << QRect(1500, 100, 100000, 600) << QRect(1370, 100, 1912, 600);
        QTest::newRow("past its screen's right edge")
            << QRect(3000, 100, 800, 600) << QRect(2482, 100, 800, 600);
    }
    // The preferred screen is the left one; the frame adds 30 pixels above and 4 on the other
    // sides.
    void placesTheWindowOnAScreenThatExists()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, expected);
        const QList<QRect> screens = {QRect(0, 0, 1366, 728), QRect(1366, 0, 1920, 1040)};
        QCOMPARE(windowLayout::windowPlace(saved, QSize(344, 505), 240, screens, screens[0],
                                           QMargins(4, 30, 4, 4)),
                 expected);
    }
};

QTEST_GUILESS_MAIN(tst_windowCore)
#include "tst_windowCore.moc"
