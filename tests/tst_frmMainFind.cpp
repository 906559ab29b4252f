// The find bar: its words narrow both pages' lists on top of their filters, from the keyboard,
// and it takes its room from the screen or from the lists.

#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "windowDriver.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>

using namespace windowDriver;

class tst_frmMainFind final : public QObject
{
    Q_OBJECT

    Window window_;
    QTemporaryDir dir_;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dir_.filePath(u"settings"_qs));
    }
    void cleanup()
    {
        window_.close();
        testFiles::forgetUserSettings();
    }

    // Keyboard only: Ctrl+F, type, filters and tabs keep the find, Tab into the list, Escape.
    void findBarNarrowsBothListsUntilClosed()
    {
        QVERIFY(window_.open(cards));
        frmMain *window = window_.get();
        const QSize size = window->size();
        auto *find = window_.control<QLineEdit>(u"txtFind"_qs);
        auto *count = window_.control<QLabel>(u"lblFindCount"_qs);

        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), find);
        QVERIFY(window->height() > size.height());
        typeText(find, u"am ３"_qs);
        QTRY_COMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"003  Gamma"_qs});
        QCOMPARE(count->text(), u"1 / 3 枚"_qs);
        window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 獣
        QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"003  Gamma"_qs});
        QCOMPARE(count->text(), u"1 / 2 枚"_qs);

        QVERIFY(window_.showPage(1));
        find->setText(u"光る"_qs);
        QCOMPARE(window_.entries(u"lstMagicName"_qs), QStringList{u"101  Spell"_qs});
        QCOMPARE(count->text(), u"1 / 2 枚"_qs);
        find->setFocus();
        QTest::keyClick(find, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window_.control(u"lstMagicName"_qs));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(window_.control(u"findBar"_qs)->isHidden());
        QCOMPARE(window->size(), size);
        QCOMPARE(find->text(), QString());
        QCOMPARE(window_.entries(u"lstMagicName"_qs).size(), 2);
        QVERIFY(window_.showPage(0));
        QCOMPARE(window_.entries(u"lstMonstarName"_qs).size(), 2);
    }

    // Opening the find bar grows the window while it stays on its screen, else takes the room
    // from the lists; closing gives back what opening took.
    void findBarTakesRoomWhereThereIsRoom()
    {
        QVERIFY(window_.open(cards));
        frmMain *w = window_.get();
        const QRect screen = w->screen()->availableGeometry();
        for (const bool atBottom : {false, true}) {
            w->move(screen.left(),
                    atBottom ? screen.bottom() - w->frameGeometry().height() : screen.top());
            const QSize size = w->size();
            const int list = window_.control(u"lstMonstarName"_qs)->height();
            QTest::keyClick(w, Qt::Key_F, Qt::ControlModifier);
            QCOMPARE(w->height(), size.height() + (atBottom ? 0 : FindBar::barHeight));
            QCOMPARE(window_.control(u"lstMonstarName"_qs)->height() < list, atBottom);
            QCOMPARE(window_.control(u"findBar"_qs)->geometry(),
                     QRect(0, w->height() - FindBar::barHeight, w->width(), FindBar::barHeight));
            QTest::keyClick(w, Qt::Key_Escape);
            QCOMPARE(w->size(), size);
            QCOMPARE(window_.control(u"lstMonstarName"_qs)->height(), list);
        }
    }

    // A word as the name reads, in kana or romaji, finds the card too once the readings are made,
    // and the details name the card with its reading.
    void findsCardsByHowTheirNamesRead()
    {
        QVERIFY(window_.open({u"001,白翼の歌い手,0,0,天使,光,1,1,I,守る,T"_qs,
                              u"002,燐光の鍛冶師,0,0,戦士,炎,1,1,I,打つ,T"_qs,
                              u"003,かじき丸,0,0,魚,水,1,1,I,泳ぐ,T"_qs}));
        QVERIFY(window_.click(u"lstMonstarName"_qs, 1));
        QTest::keyClick(window_.get(), Qt::Key_F, Qt::ControlModifier);
        auto *find = window_.control<QLineEdit>(u"txtFind"_qs);
        typeText(find, u"かじ"_qs);
        QTRY_COMPARE(window_.monsters(),
                     (QStringList{u"002  燐光の鍛冶師"_qs, u"003  かじき丸"_qs}));
        QCOMPARE(window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs)->toolTip(),
                 u"002 燐光の鍛冶師 (りんこうのかじし)"_qs);
        find->setText(u"shirotsubasa"_qs);
        QTRY_COMPARE(window_.monsters(), QStringList{u"001  白翼の歌い手"_qs});
    }
};

QTEST_MAIN(tst_frmMainFind)
#include "tst_frmMainFind.moc"
