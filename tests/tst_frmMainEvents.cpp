#include "windowDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>

#include <tuple>

using namespace windowDriver;

namespace {

const QStringList cards = {
    u"001,Alpha,1300,800,天使,光,4,3,A-1,守る,T"_qs,
    u"002,Beta,42,0,獣,闇,4,0,B-2,,TJ"_qs,
    u"003,Gamma,40,1500,獣,光,7,5,C-3,走る,J"_qs,
    u"101,Spell,,,魔法,,,2,S-1,光る,TJ"_qs,
    u"102,Pit,,,罠,,,3,S-2,,O"_qs,
};

} // namespace

class tst_frmMainEvents final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void filterRerunsOnlyItsOwnPage_data();
    void filterRerunsOnlyItsOwnPage();
    void selectingANameShowsItsDetails();
    void emptyListShowsNothing();
    void tabSwitchEnablesOnlyTheFrontPage();
    void enteringABoxSelectsItsText_data();
    void enteringABoxSelectsItsText();
    void enterRewritesOnlyTheAttackBox();
    void ctrlTabSwitchesTabsFromEveryList_data();
    void ctrlTabSwitchesTabsFromEveryList();
    void upAndDownSelectWithinAnOptionPair();
    void findBarNarrowsBothListsUntilClosed();

private:
    int runs(const QString &list) const
    {
        return int((list == u"lstMagicName" ? magicRuns_ : monsterRuns_)->count());
    }

    Window window_;
    std::unique_ptr<QSignalSpy> monsterRuns_;
    std::unique_ptr<QSignalSpy> magicRuns_;
};

void tst_frmMainEvents::init()
{
    window_.open(cards);
    // Every search empties and refills its list at once.
    const auto spy = [this](const QString &list) {
        return std::make_unique<QSignalSpy>(window_.control<QListView>(list)->model(),
                                            &QAbstractItemModel::modelReset);
    };
    monsterRuns_ = spy(u"lstMonstarName"_qs);
    magicRuns_ = spy(u"lstMagicName"_qs);
}

void tst_frmMainEvents::cleanup()
{
    monsterRuns_.reset();
    magicRuns_.reset();
    window_.close();
}

// Every named control of each page but its name list and details box, found on the window itself:
// a control added to a page but not wired to its search fails here.
void tst_frmMainEvents::filterRerunsOnlyItsOwnPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("list"); // the list whose search must run, once
    const QStringList notFilters = names(u"lstMonstarName txtMonstarInf lstMagicName txtMagicInf");
    const frmMain window;
    const auto *tabs = window.findChild<QTabWidget *>(u"SSTab"_qs);
    for (const int page : {0, 1}) {
        for (const QWidget *control : tabs->widget(page)->findChildren<QWidget *>()) {
            const QString name = control->objectName();
            if (name.isEmpty() || name.startsWith(u"qt_") || notFilters.contains(name) ||
                qobject_cast<const QGroupBox *>(control))
                continue;
            QTest::newRow(qPrintable(name))
                << name << (page == 0 ? u"lstMonstarName"_qs : u"lstMagicName"_qs);
        }
    }
}

void tst_frmMainEvents::filterRerunsOnlyItsOwnPage()
{
    QFETCH(QString, name);
    QFETCH(QString, list);
    const QString other = list == u"lstMagicName" ? u"lstMonstarName"_qs : u"lstMagicName"_qs;
    if (list == u"lstMagicName")
        window_.showPage(1);
    QWidget *widget = window_.control(name);
    auto *option = qobject_cast<QRadioButton *>(widget);
    if (option && option->isChecked()) // "optAP(0)": select "optAP(1)" first
        window_.control<QRadioButton>(name.chopped(3) + u"(1)"_qs)->click();
    const int runsBefore = runs(list);
    const QStringList otherBefore = window_.entries(other);

    if (qobject_cast<QComboBox *>(widget))
        QTest::keyClick(widget, Qt::Key_Down); // the next entry, as a user picks it
    else if (qobject_cast<QLineEdit *>(widget))
        window_.pressEnter(name);
    else
        QTest::mouseClick(widget, Qt::LeftButton);

    QCOMPARE(runs(list) - runsBefore, 1);
    QCOMPARE(runs(other), 0);
    QCOMPARE(window_.entries(other), otherBefore);
    if (qobject_cast<QCheckBox *>(widget)) { // clearing it again searches again
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(runs(list) - runsBefore, 2);
    }
}

void tst_frmMainEvents::selectingANameShowsItsDetails()
{
    auto *list = window_.control<QListView>(u"lstMonstarName"_qs);
    auto *details = window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs);
    QCOMPARE(window_.showEntry(u"lstMonstarName"_qs, 0),
             u"Lv-4       ｺｽﾄ-3\nAP-1300 → 910\nDP-800  → 560\n天使\n光\nID-A-1\n守る"_qs);
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(details->toPlainText().startsWith(u"Lv-4       ｺｽﾄ-0\nAP-42 → 54.6"_qs));
    QTest::keyClick(list, Qt::Key_End);
    QVERIFY(details->toPlainText().endsWith(u"ID-C-3\n走る"_qs));

    // A search that drops the card leaves its details in place, and selects no entry.
    window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(1); // 天使
    QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"001  Alpha"_qs});
    QVERIFY(details->toPlainText().endsWith(u"ID-C-3\n走る"_qs));
    QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());

    window_.showPage(1);
    QCOMPARE(window_.showEntry(u"lstMagicName"_qs, 1), u"ｺｽﾄ-3\nID-S-2\n"_qs);
}

void tst_frmMainEvents::emptyListShowsNothing()
{
    const QString shown = window_.showEntry(u"lstMonstarName"_qs, 0);
    window_.control<QComboBox>(u"cmbLevel"_qs)->setCurrentIndex(12); // level 12: no card
    auto *list = window_.control<QListView>(u"lstMonstarName"_qs);
    QCOMPARE(list->model()->rowCount(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(window_.control<QPlainTextEdit>(u"txtMonstarInf"_qs)->toPlainText(), shown);
}

void tst_frmMainEvents::tabSwitchEnablesOnlyTheFrontPage()
{
    window_.control<QCheckBox>(u"chkKouka"_qs)->setChecked(true);
    const QStringList monsterEntries = window_.entries(u"lstMonstarName"_qs);
    const int runsBefore = runs(u"lstMonstarName"_qs);
    for (const int page : {1, 0}) {
        window_.showPage(page);
        for (const QString &name : monsterFilters + magicFilters)
            QCOMPARE(window_.control(name)->isEnabled(),
                     monsterFilters.contains(name) == (page == 0));
        QVERIFY(window_.control(u"Frame4"_qs)->isEnabled() &&
                window_.control(u"txtMagicInf"_qs)->isEnabled());
    }
    QCOMPARE(runs(u"lstMonstarName"_qs), runsBefore); // switching searches nothing
    QCOMPARE(runs(u"lstMagicName"_qs), 0);
    QCOMPARE(window_.entries(u"lstMonstarName"_qs), monsterEntries);
}

void tst_frmMainEvents::enteringABoxSelectsItsText_data()
{
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("Tab key") << false;
    QTest::newRow("mouse click") << true;
}

void tst_frmMainEvents::enteringABoxSelectsItsText()
{
    QFETCH(bool, byMouse);
    auto *edit = window_.control<QLineEdit>(u"txtAP"_qs);
    if (byMouse) {
        QTest::mouseClick(edit, Qt::LeftButton);
    } else {
        window_.control(u"optCostC(0)"_qs)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->selectedText(), u"0"_qs);
    QTest::keyClicks(edit, u"12"_qs);
    QCOMPARE(edit->text(), u"12"_qs);
    QTest::mouseClick(edit, Qt::LeftButton); // a second click places the cursor
    QVERIFY(!edit->hasSelectedText());
}

// Enter, Return or keypad Enter, writes the attack box's number back as a number, and only its
// own; the search then uses the thresholds as typed.
void tst_frmMainEvents::enterRewritesOnlyTheAttackBox()
{
    for (const auto &[box, typed, shown] : {std::tuple{u"txtAP"_qs, u"0042"_qs, u"42"_qs},
                                            std::tuple{u"txtDP"_qs, u"0800"_qs, u"0800"_qs}}) {
        auto *edit = window_.control<QLineEdit>(box);
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, typed);
        window_.pressEnter(box, Qt::Key_Enter, Qt::ShiftModifier);
        QCOMPARE(edit->text(), shown);
    }
    QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"001  Alpha"_qs});
}

void tst_frmMainEvents::ctrlTabSwitchesTabsFromEveryList_data()
{
    QTest::addColumn<QString>("list");
    for (const QString &list : names(u"cmbType cmbMazoku cmbLevel cmbMagic"))
        QTest::newRow(qPrintable(list)) << list;
}

void tst_frmMainEvents::ctrlTabSwitchesTabsFromEveryList()
{
    QFETCH(QString, list);
    auto *tabs = window_.control<QTabWidget>(u"SSTab"_qs);
    const int page = list == u"cmbMagic" ? 1 : 0;
    window_.showPage(page);
    window_.control(list)->setFocus();
    QTest::keyClick(window_.control(list), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1 - page);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), page);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1 - page);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), page);
}

void tst_frmMainEvents::upAndDownSelectWithinAnOptionPair()
{
    auto *atLeast = window_.control<QRadioButton>(u"optAP(0)"_qs);
    auto *atMost = window_.control<QRadioButton>(u"optAP(1)"_qs);
    atLeast->setFocus();
    QTest::keyClick(atLeast, Qt::Key_Down);
    QVERIFY(atMost->isChecked());
    QCOMPARE(runs(u"lstMonstarName"_qs), 1);
    QTest::keyClick(atMost, Qt::Key_Up);
    QVERIFY(atLeast->isChecked());
    QCOMPARE(runs(u"lstMonstarName"_qs), 2);
}

// Keyboard only: Ctrl+F, type, filters and tabs keep the find, Tab into the list, Escape.
void tst_frmMainEvents::findBarNarrowsBothListsUntilClosed()
{
    frmMain *window = window_.get();
    const QSize size = window->size();
    const QStringList monsters = window_.entries(u"lstMonstarName"_qs);
    auto *find = window_.control<QLineEdit>(u"txtFind"_qs);
    auto *count = window_.control<QLabel>(u"lblFindCount"_qs);

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), find);
    QCOMPARE(window->width(), size.width());
    QVERIFY(window->height() > size.height());
    QCOMPARE(window_.control(u"SSTab"_qs)->geometry().bottom() < size.height(), true);
    QTest::keyClicks(find, u"A"_qs);
    QCOMPARE(window_.entries(u"lstMonstarName"_qs), monsters); // every name holds an a
    QTest::keyClicks(find, u"m "_qs);
    QKeyEvent fullWidthThree(QEvent::KeyPress, 0, Qt::NoModifier, u"３"_qs);
    QApplication::sendEvent(find, &fullWidthThree);
    QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"003  Gamma"_qs});
    QCOMPARE(count->text(), u"1 / 3 枚"_qs);
    window_.control<QComboBox>(u"cmbType"_qs)->setCurrentIndex(2); // 獣
    QCOMPARE(window_.entries(u"lstMonstarName"_qs), QStringList{u"003  Gamma"_qs});
    QCOMPARE(count->text(), u"1 / 2 枚"_qs);

    window_.showPage(1);
    QCOMPARE(window_.entries(u"lstMagicName"_qs), QStringList());
    find->setText(u"光る"_qs);
    QCOMPARE(window_.entries(u"lstMagicName"_qs), QStringList{u"101  Spell"_qs});
    QCOMPARE(count->text(), u"1 / 2 枚"_qs);
    find->setText(u"10"_qs);
    find->setFocus();
    QTest::keyClick(find, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window_.control(u"lstMagicName"_qs));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(window_.control<QPlainTextEdit>(u"txtMagicInf"_qs)->toPlainText(),
             u"ｺｽﾄ-3\nID-S-2\n"_qs);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(window_.control(u"findBar"_qs)->isHidden());
    QCOMPARE(window->size(), size);
    QCOMPARE(find->text(), QString());
    QCOMPARE(window_.entries(u"lstMagicName"_qs).size(), 2);
    window_.showPage(0);
    QCOMPARE(window_.entries(u"lstMonstarName"_qs),
             (QStringList{u"002  Beta"_qs, u"003  Gamma"_qs}));
}

QTEST_MAIN(tst_frmMainEvents)
#include "tst_frmMainEvents.moc"
