#include "card_data/mdlZorv.h"
#include "search_window/frmMain.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

const QStringList monsterPageControls = {
    u"cmbType"_qs,        u"cmbMazoku"_qs,      u"cmbLevel"_qs,       u"chkKouka"_qs,
    u"chkDuelistC(0)"_qs, u"chkDuelistC(1)"_qs, u"chkDuelistC(2)"_qs, u"txtCostC"_qs,
    u"optCostC(0)"_qs,    u"optCostC(1)"_qs,    u"txtAP"_qs,          u"optAP(0)"_qs,
    u"optAP(1)"_qs,       u"txtDP"_qs,          u"optDP(0)"_qs,       u"optDP(1)"_qs,
    u"lstMonstarName"_qs, u"Frame2"_qs,         u"Frame1"_qs,         u"txtMonstarInf"_qs,
    u"frmDuelist"_qs,     u"Frame3"_qs};
const QStringList magicPageControls = {
    u"cmbMagic"_qs,    u"chkDuelistM(0)"_qs, u"chkDuelistM(1)"_qs, u"chkDuelistM(2)"_qs,
    u"txtCostM"_qs,    u"optCostM(0)"_qs,    u"optCostM(1)"_qs,    u"lstMagicName"_qs,
    u"txtMagicInf"_qs, u"Frame4"_qs,         u"Frame5"_qs};

QStringList entries(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

} // namespace

class tst_frmMainLayout final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void hasEveryControlByName();
    void startsInTheInitialState();
    void fillsFilterListsInOrderOfFirstOccurrence();
    void fillsOnlyFixedEntriesWithoutMonsters();
    void placesControlsAsTheLayoutTableSays_data();
    void placesControlsAsTheLayoutTableSays();
    void clipsAndOverlapsNothing();
    void tabKeyWalksTheMonsterPage();
    void everyControlHasASpokenName();

private:
    template <typename T = QWidget> T *control(const QString &name);
    void showWindow(const QStringList &cardLines);

    std::unique_ptr<frmMain> window_;
};

void tst_frmMainLayout::init()
{
    mdlZorv::loadCardText(QString());
    window_ = std::make_unique<frmMain>();
}

void tst_frmMainLayout::cleanup()
{
    window_.reset();
}

template <typename T> T *tst_frmMainLayout::control(const QString &name)
{
    T *found = window_->findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

void tst_frmMainLayout::showWindow(const QStringList &cardLines)
{
    mdlZorv::loadCardText(cardLines.join(u"\r\n"));
    window_->FormInit();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void tst_frmMainLayout::hasEveryControlByName()
{
    QCOMPARE(window_->windowTitle(), u"Zorvカード検索ツール"_qs);
    QCOMPARE(window_->size(), QSize(344, 505));
    auto *tabs = control<QTabWidget>(u"SSTab"_qs);
    QCOMPARE(tabs->parentWidget(), window_.get());
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), u"モンスター"_qs);
    QCOMPARE(tabs->tabText(1), u"魔法、罠、儀式"_qs);
    for (const QString &name : monsterPageControls)
        QVERIFY2(tabs->widget(0)->isAncestorOf(control(name)), qPrintable(name));
    for (const QString &name : magicPageControls)
        QVERIFY2(tabs->widget(1)->isAncestorOf(control(name)), qPrintable(name));
    QCOMPARE(monsterPageControls.size() + magicPageControls.size() + 1, 34);
}

void tst_frmMainLayout::startsInTheInitialState()
{
    showWindow({});
    QCOMPARE(control<QTabWidget>(u"SSTab"_qs)->currentIndex(), 0);
    for (const char *pair : {"optAP", "optDP", "optCostC", "optCostM"}) {
        QVERIFY(control<QRadioButton>(QStringLiteral("%1(0)").arg(QLatin1StringView(pair)))
                    ->isChecked());
        QVERIFY(!control<QRadioButton>(QStringLiteral("%1(1)").arg(QLatin1StringView(pair)))
                     ->isChecked());
    }
    const auto boxes = window_->findChildren<QCheckBox *>();
    QCOMPARE(boxes.size(), 7);
    for (const QCheckBox *box : boxes)
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    for (const QString &name : {u"txtAP"_qs, u"txtDP"_qs, u"txtCostC"_qs, u"txtCostM"_qs}) {
        auto *box = control<QLineEdit>(name);
        QCOMPARE(box->text(), u"0"_qs);
        QCOMPARE(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }
    QCOMPARE(control<QLineEdit>(u"txtAP"_qs)->maxLength(), 4);
    QCOMPARE(control<QLineEdit>(u"txtDP"_qs)->maxLength(), 4);
    QCOMPARE(control<QLineEdit>(u"txtCostC"_qs)->maxLength(), 3);
    QVERIFY(!control(u"txtAP"_qs)->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(control(u"txtCostC"_qs)->testAttribute(Qt::WA_InputMethodEnabled));
    for (const QString &name : {u"txtMonstarInf"_qs, u"txtMagicInf"_qs}) {
        auto *box = control<QPlainTextEdit>(name);
        QCOMPARE(box->toPlainText(), QString());
        QVERIFY(box->isReadOnly());
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
    for (const QComboBox *box : window_->findChildren<QComboBox *>()) {
        QVERIFY(!box->isEditable());
        QCOMPARE(box->currentIndex(), 0);
    }
}

void tst_frmMainLayout::fillsFilterListsInOrderOfFirstOccurrence()
{
    showWindow({u"001,A,1,1,獣,闇,1,1,I,E,T"_qs, u"002,B,1,1,,光,1,1,I,E,T"_qs,
                u"003,C,1,1,天使,,1,1,I,E,T"_qs, u"004,D,1,1,獣,闇,1,1,I,E,T"_qs,
                u"005,E,1,1,abc,闇 ,1,1,I,E,T"_qs, u"006,F,1,1,ABC,ｱ,1,1,I,E,T"_qs,
                u"007,G,1,1,ａｂｃ,ア,1,1,I,E,T"_qs, u"008,H,1,1,(指定なし),光,1,1,I,E,T"_qs,
                u"009,M,0,0,魔法,水,,1,I,E,T"_qs});

    QCOMPARE(entries(control<QComboBox>(u"cmbType"_qs)),
             (QStringList{u"(指定なし)"_qs, u"獣"_qs, u"天使"_qs, u"abc"_qs, u"ABC"_qs,
                          u"ａｂｃ"_qs, u"(指定なし)"_qs}));
    QCOMPARE(entries(control<QComboBox>(u"cmbMazoku"_qs)),
             (QStringList{u"(指定なし)"_qs, u"闇"_qs, u"光"_qs, u"闇 "_qs, u"ｱ"_qs, u"ア"_qs}));
}

void tst_frmMainLayout::fillsOnlyFixedEntriesWithoutMonsters()
{
    showWindow({u"001,M,,,罠,,,1,I,E,T"_qs});

    QCOMPARE(entries(control<QComboBox>(u"cmbType"_qs)), QStringList{u"(指定なし)"_qs});
    QCOMPARE(entries(control<QComboBox>(u"cmbMazoku"_qs)), QStringList{u"(指定なし)"_qs});
    QStringList levels{u"(指定なし)"_qs};
    for (int level = 1; level <= 12; ++level)
        levels << QString::number(level);
    QCOMPARE(entries(control<QComboBox>(u"cmbLevel"_qs)), levels);
    QCOMPARE(entries(control<QComboBox>(u"cmbMagic"_qs)),
             (QStringList{u"(指定なし)"_qs, u"魔法"_qs, u"罠"_qs, u"儀式"_qs}));
}

void tst_frmMainLayout::placesControlsAsTheLayoutTableSays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected"); // in the tab control's or the frame's coordinates

    QTest::newRow("SSTab") << u"SSTab"_qs << twips(60, 60, 5025, 7470);
    QTest::newRow("cmbMazoku") << u"cmbMazoku"_qs << twips(1440, 390, 1290, 300);
    QTest::newRow("lstMonstarName") << u"lstMonstarName"_qs << twips(105, 1920, 4830, 4200);
    QTest::newRow("txtMonstarInf") << u"txtMonstarInf"_qs << twips(105, 6165, 4830, 1230);
    QTest::newRow("Frame2") << u"Frame2"_qs << twips(2715, 1320, 2220, 540);
    QTest::newRow("lstMagicName") << u"lstMagicName"_qs << twips(105, 1380, 4830, 4740);
    QTest::newRow("txtAP in Frame1") << u"txtAP"_qs << twips(150, 210, 600, 270);
    QTest::newRow("txtCostM in Frame5") << u"txtCostM"_qs << twips(90, 210, 510, 270);
    QTest::newRow("optDP(1) in Frame2") << u"optDP(1)"_qs << twips(1500, 210, 660, 300);
}

void tst_frmMainLayout::placesControlsAsTheLayoutTableSays()
{
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    showWindow({});
    QWidget *widget = control(name);
    auto *tabs = control<QTabWidget>(u"SSTab"_qs);
    QWidget *container = tabs;
    if (widget == tabs)
        container = window_.get();
    else if (qobject_cast<QGroupBox *>(widget->parentWidget()))
        container = widget->parentWidget();
    // Show the page the control is on: a hidden page may not be laid out.
    tabs->setCurrentIndex(tabs->widget(1)->isAncestorOf(widget) ? 1 : 0);
    QCOMPARE(QRect(widget->mapTo(container, QPoint(0, 0)), widget->size()), expected);
}

void tst_frmMainLayout::clipsAndOverlapsNothing()
{
    showWindow({});
    auto *tabs = control<QTabWidget>(u"SSTab"_qs);
    for (int page = 0; page < 2; ++page) {
        tabs->setCurrentIndex(page);
        QList<QWidget *> controls;
        for (const QString &name : page == 0 ? monsterPageControls : magicPageControls)
            controls << control(name);
        for (QWidget *a : controls) {
            const QRect inParent(QPoint(0, 0), a->parentWidget()->size());
            QVERIFY2(inParent.contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget *b : controls) {
                if (a != b && a->parentWidget() == b->parentWidget())
                    QVERIFY2(!a->geometry().intersects(b->geometry()),
                             qPrintable(a->objectName() + u" overlaps "_qs + b->objectName()));
            }
        }
    }
    // The captions fit their check boxes and option buttons.
    for (QAbstractButton *button : window_->findChildren<QAbstractButton *>()) {
        if (!qobject_cast<QCheckBox *>(button) && !qobject_cast<QRadioButton *>(button))
            continue;
        const int captionWidth = button->fontMetrics().horizontalAdvance(button->text());
        QVERIFY2(button->width() >= captionWidth + 14, qPrintable(button->objectName()));
    }
}

void tst_frmMainLayout::tabKeyWalksTheMonsterPage()
{
    showWindow({u"001,A,1,1,獣,闇,1,1,I,E,T"_qs});
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    control<QRadioButton>(u"optAP(1)"_qs)->setChecked(true);
    control<QTabWidget>(u"SSTab"_qs)->tabBar()->setFocus();

    const QStringList expected = {u"cmbType"_qs,        u"cmbMazoku"_qs,      u"cmbLevel"_qs,
                                  u"chkKouka"_qs,       u"chkDuelistC(0)"_qs, u"chkDuelistC(1)"_qs,
                                  u"chkDuelistC(2)"_qs, u"txtCostC"_qs,       u"optCostC(0)"_qs,
                                  u"txtAP"_qs,          u"optAP(1)"_qs,       u"txtDP"_qs,
                                  u"optDP(0)"_qs,       u"lstMonstarName"_qs, u"SSTab"_qs};
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
    showWindow({});
    QStringList unnamed;
    for (const QString &name : monsterPageControls + magicPageControls) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control(name));
        if (!accessible || accessible->text(QAccessible::Name).isEmpty())
            unnamed << name;
    }
    QCOMPARE(unnamed, QStringList());
    auto *attack = QAccessible::queryAccessibleInterface(control(u"optAP(1)"_qs));
    QCOMPARE(attack->text(QAccessible::Name), u"攻撃力 以下"_qs);
    auto *mazoku = QAccessible::queryAccessibleInterface(control(u"cmbMazoku"_qs));
    QCOMPARE(mazoku->text(QAccessible::Description), u"魔族"_qs);
    QCOMPARE(control(u"cmbMazoku"_qs)->toolTip(), u"魔族"_qs);
}

QTEST_MAIN(tst_frmMainLayout)
#include "tst_frmMainLayout.moc"
