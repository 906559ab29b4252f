#include "windowDriver.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

using namespace windowDriver;

namespace {

const QStringList monsterPage =
    monsterFilters + names(u"Frame1 Frame2 Frame3 frmDuelist txtMonstarInf");
const QStringList magicPage = magicFilters + names(u"Frame4 Frame5 txtMagicInf");

QStringList entries(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

} // namespace

class tst_frmMainLayout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { window_.close(); }

    void startsWithEveryControlInItsInitialState();
    void fillsFilterListsInOrderOfFirstOccurrence_data();
    void fillsFilterListsInOrderOfFirstOccurrence();
    void clipsAndOverlapsNothing();
    void tabKeyWalksTheMonsterPage();
    void everyControlHasASpokenName();

private:
    Window window_;
};

void tst_frmMainLayout::startsWithEveryControlInItsInitialState()
{
    window_.open(QString());
    frmMain *w = window_.get();
    auto *tabs = window_.control<QTabWidget>(u"SSTab"_qs);
    QCOMPARE(w->windowTitle(), u"Zorvカード検索ツール"_qs);
    QCOMPARE(w->size(), QSize(344, 505));
    QCOMPARE((QStringList{tabs->tabText(0), tabs->tabText(1)}),
             names(u"モンスター 魔法、罠、儀式"));
    QCOMPARE(tabs->currentIndex(), 0);
    for (const QString &name : monsterPage)
        QVERIFY2(tabs->widget(0)->isAncestorOf(window_.control(name)), qPrintable(name));
    for (const QString &name : magicPage)
        QVERIFY2(tabs->widget(1)->isAncestorOf(window_.control(name)), qPrintable(name));
    QCOMPARE(monsterPage.size() + magicPage.size() + 1, 34);

    for (const QString &pair : names(u"optAP optDP optCostC optCostM")) {
        QVERIFY(window_.control<QRadioButton>(pair + u"(0)"_qs)->isChecked());
        QVERIFY(!window_.control<QRadioButton>(pair + u"(1)"_qs)->isChecked());
    }
    for (const QCheckBox *box : w->findChildren<QCheckBox *>())
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    QList<int> limits;
    QList<bool> inputMethods;
    for (const QString &name : names(u"txtAP txtDP txtCostC txtCostM")) {
        auto *box = window_.control<ThresholdBox>(name);
        QCOMPARE(box->text(), u"0"_qs);
        limits << box->digitLimit();
        inputMethods << box->inputMethodQuery(Qt::ImEnabled).toBool();
    }
    QCOMPARE(limits, (QList<int>{4, 4, 3, ThresholdBox::noLimit}));
    QCOMPARE(inputMethods, (QList<bool>{false, false, true, true}));
    for (const QComboBox *box : w->findChildren<QComboBox *>())
        QCOMPARE(box->currentIndex(), 0);
}

void tst_frmMainLayout::fillsFilterListsInOrderOfFirstOccurrence_data()
{
    QTest::addColumn<QStringList>("cards");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("mazoku");

    QTest::newRow("case, width, blanks and the no-selection text count")
        << QStringList{u"001,A,1,1,獣,闇,1,1,I,E,T"_qs,     u"002,B,1,1,,光,1,1,I,E,T"_qs,
                       u"003,C,1,1,天使,,1,1,I,E,T"_qs,     u"004,D,1,1,獣,闇,1,1,I,E,T"_qs,
                       u"005,E,1,1,abc,闇 ,1,1,I,E,T"_qs,   u"006,F,1,1,ABC,ｱ,1,1,I,E,T"_qs,
                       u"007,G,1,1,ａｂｃ,ア,1,1,I,E,T"_qs, u"008,H,1,1,(指定なし),光,1,1,I,E,T"_qs,
                       u"009,M,0,0,魔法,水,,1,I,E,T"_qs}
        << names(u"(指定なし) 獣 天使 abc ABC ａｂｃ (指定なし)")
        << QStringList{u"(指定なし)"_qs, u"闇"_qs, u"光"_qs, u"闇 "_qs, u"ｱ"_qs, u"ア"_qs};
    QTest::newRow("no monsters") << QStringList{u"001,M,,,罠,,,1,I,E,T"_qs} << names(u"(指定なし)")
                                 << names(u"(指定なし)");
}

void tst_frmMainLayout::fillsFilterListsInOrderOfFirstOccurrence()
{
    QFETCH(QStringList, cards);
    QFETCH(QStringList, types);
    QFETCH(QStringList, mazoku);
    window_.open(cards);
    QCOMPARE(entries(window_.control<QComboBox>(u"cmbType"_qs)), types);
    QCOMPARE(entries(window_.control<QComboBox>(u"cmbMazoku"_qs)), mazoku);
    QCOMPARE(entries(window_.control<QComboBox>(u"cmbLevel"_qs)),
             names(u"(指定なし) 1 2 3 4 5 6 7 8 9 10 11 12"));
    QCOMPARE(entries(window_.control<QComboBox>(u"cmbMagic"_qs)),
             names(u"(指定なし) 魔法 罠 儀式"));
}

void tst_frmMainLayout::clipsAndOverlapsNothing()
{
    window_.open(QString());
    auto *tabs = window_.control<QTabWidget>(u"SSTab"_qs);
    for (const QStringList &page : {monsterPage, magicPage}) {
        tabs->setCurrentIndex(page == magicPage ? 1 : 0);
        for (const QString &a : page) {
            QWidget *first = window_.control(a);
            QVERIFY2(QRect(QPoint(), first->parentWidget()->size()).contains(first->geometry()),
                     qPrintable(a));
            for (const QString &b : page) {
                QWidget *second = window_.control(b);
                if (a != b && first->parentWidget() == second->parentWidget())
                    QVERIFY2(!first->geometry().intersects(second->geometry()),
                             qPrintable(a + u" overlaps "_qs + b));
            }
        }
    }
    for (QAbstractButton *button : window_.get()->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button)) {
            const int captionWidth = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(button->width() >= captionWidth + 14, qPrintable(button->objectName()));
        }
    }
}

void tst_frmMainLayout::tabKeyWalksTheMonsterPage()
{
    window_.open(QStringList{u"001,A,1,1,獣,闇,1,1,I,E,T"_qs});
    window_.control<QRadioButton>(u"optAP(1)"_qs)->setChecked(true);
    window_.control<QTabWidget>(u"SSTab"_qs)->tabBar()->setFocus();

    const QStringList expected = names(u"cmbType cmbMazoku cmbLevel chkKouka chkDuelistC(0) "
                                       u"chkDuelistC(1) chkDuelistC(2) txtCostC optCostC(0) txtAP "
                                       u"optAP(1) txtDP optDP(0) lstMonstarName SSTab");
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        while (focus && !expected.contains(focus->objectName())) // the tab strip is in SSTab
            focus = focus->parentWidget();
        visited << (focus ? focus->objectName() : QString());
    }
    QCOMPARE(visited, expected);
}

void tst_frmMainLayout::everyControlHasASpokenName()
{
    window_.open(QString());
    const auto spoken = [this](const QString &name, QAccessible::Text text) {
        return QAccessible::queryAccessibleInterface(window_.control(name))->text(text);
    };
    QStringList unnamed;
    for (const QString &name : monsterPage + magicPage) {
        if (spoken(name, QAccessible::Name).isEmpty())
            unnamed << name;
    }
    QCOMPARE(unnamed, QStringList());
    QCOMPARE(spoken(u"optAP(1)"_qs, QAccessible::Name), u"攻撃力 以下"_qs);
}

QTEST_MAIN(tst_frmMainLayout)
#include "tst_frmMainLayout.moc"
